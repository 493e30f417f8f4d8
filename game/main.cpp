// The executable: the arguments joined by blanks are the command line.
#include <string>

#include "game/app.h"

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return MornaMain(commandLine.c_str(), 1);
}

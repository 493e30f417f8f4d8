// The executable: the arguments joined by blanks are the command line.
#include <string>

#include "foundation/vtl/log_device.h"
#include "game/app.h"
#include "platform/window.h"

int main(int argc, char** argv) {
    // The failures the layers below survive go to standard error, one dated line each.
    tovarineGameSDK3rd::GetErrorLog().SetDevice(new tovarineGameSDK3rd::CTextOutputStreamLogDevice);
    // A termination signal closes the game as its close box does, settings saved.
    morna::platform::CloseOnSignals();
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return MornaMain(commandLine.c_str(), 1);
}

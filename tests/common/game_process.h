// Test helper: the built game (MORNA_EXECUTABLE) copied into a folder of its own under /tmp
// with the data/ the build put beside it, run as a process with its standard error kept, and
// waited for within a bound.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace morna::test {

class GameFolder {
public:
    explicit GameFolder(const std::string& name) : top_(MakeTemporary()), path_(top_ + "/" + name) {
        std::filesystem::create_directories(path_);
        std::filesystem::copy_file(MORNA_EXECUTABLE, path_ + "/morna");
        std::filesystem::copy(std::filesystem::path(MORNA_EXECUTABLE).parent_path() / "data", path_ + "/data",
                              std::filesystem::copy_options::recursive);
    }
    ~GameFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(top_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // A variable of the game's environment: set to `value`, or unset where it is null.
    struct Variable {
        const char* name;
        const char* value;
    };
    // Starts the game; its standard error goes to a file beside the folder, and its environment is
    // the test's with `environment`'s changes.
    pid_t Start(std::vector<std::string> args, std::initializer_list<Variable> environment = {}) const {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        for (const Variable& v : environment) {
            if (v.value != nullptr) ::setenv(v.name, v.value, 1);
            else ::unsetenv(v.name);
        }
        if (std::freopen((top_ + "/stderr.txt").c_str(), "w", stderr) == nullptr) ::_exit(126);
        args.insert(args.begin(), path_ + "/morna");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    std::string Stderr() const {
        std::stringstream text;
        text << std::ifstream(top_ + "/stderr.txt").rdbuf();
        return text.str();
    }

private:
    static std::string MakeTemporary() {
        std::string pattern = "/tmp/morna-game-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
        return pattern;
    }
    std::string top_, path_;
};

// Waits up to `seconds` for the game to end: its exit code, or -1 when it still ran (it is
// killed then).
inline int Finish(pid_t pid, int seconds) {
    int status = 0;
    for (const uint32_t start = platform::MonotonicMilliseconds();
         platform::MonotonicMilliseconds() - start < static_cast<uint32_t>(seconds) * 1000; ::usleep(20000))
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

// Whether the running game makes the file within a minute (false once it has ended).
inline bool Started(pid_t pid, const std::string& file) {
    for (const uint32_t start = platform::MonotonicMilliseconds();
         platform::MonotonicMilliseconds() - start < 60000 && ::waitpid(pid, nullptr, WNOHANG) == 0; ::usleep(20000))
        if (std::filesystem::exists(file)) return true;
    return false;
}

}  // namespace morna::test

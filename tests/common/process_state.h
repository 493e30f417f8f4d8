// Test helper: what a process is doing, from /proc, for the message of a failed wait on it.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace morna::test {

// A process's /proc/<pid>/<file>, whole ("" when gone).
inline std::string ProcFile(pid_t pid, const std::string& file) {
    std::stringstream text;
    text << std::ifstream("/proc/" + std::to_string(pid) + "/" + file).rdbuf();
    return text.str();
}

// CPU seconds a process has used, from /proc; -1 when it is gone.
inline double CpuSeconds(pid_t pid) {
    const std::string line = ProcFile(pid, "stat");
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) user = std::stoull(field);
        if (i == 15) system = std::stoull(field);
    }
    return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// What a process is doing, for a failed wait on it: gone, or its CPU time and each thread's name,
// state and the kernel function it waits in.
inline std::string ProcessState(pid_t pid) {
    const double cpu = CpuSeconds(pid);
    if (cpu < 0) return "the process is gone";
    std::ostringstream said;
    said << "the process has used " << cpu << " s of CPU; threads:";
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ignored)) {
        const std::string stat = ProcFile(pid, "task/" + task.path().filename().string() + "/stat");
        const size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close + 2 >= stat.size()) continue;
        said << " " << stat.substr(open + 1, close - open - 1) << " " << stat[close + 2] << " in "
             << ProcFile(pid, "task/" + task.path().filename().string() + "/wchan") << ";";
    }
    return said.str();
}

}  // namespace morna::test

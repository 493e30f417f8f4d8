#include "platform/memory_status.h"

#include <cstdio>
#include <cstring>
#include <sys/sysinfo.h>

namespace morna::platform {
namespace {

// MemAvailable counts reclaimable cache too, which is what "available" means
// to a program; MemFree alone would report a busy machine as nearly full.
bool ReadMeminfo(MemoryStatus& out) {
    FILE* f = std::fopen("/proc/meminfo", "re");
    if (!f) return false;
    char line[256];
    bool haveTotal = false, haveAvail = false;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::sscanf(line, "MemTotal: %llu kB", &kb) == 1) {
            out.totalPhysical = kb * 1024u;
            haveTotal = true;
        } else if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
            out.availablePhysical = kb * 1024u;
            haveAvail = true;
        }
    }
    std::fclose(f);
    return haveTotal && haveAvail;
}

}  // namespace

bool QueryMemoryStatus(MemoryStatus& out) {
    out = MemoryStatus{};
    if (ReadMeminfo(out)) return true;
    out = MemoryStatus{};
    struct sysinfo si;
    if (sysinfo(&si) != 0) return false;
    out.totalPhysical = static_cast<uint64_t>(si.totalram) * si.mem_unit;
    out.availablePhysical = (static_cast<uint64_t>(si.freeram) + si.bufferram) * si.mem_unit;
    return true;
}

}  // namespace morna::platform

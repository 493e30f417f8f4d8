// Test helpers for streams: a memory name for bytes, and everything a stream
// hands out when read in pieces of a given size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/sound_stream.h"

namespace morna::test {

inline std::string MemoryName(const std::vector<uint8_t>& b) {
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(b.data())),
                  b.size());
    return name;
}

inline std::vector<uint8_t> ReadAll(tovarineGameSDK3rd::Multimedia::ISoundStream& s, uint32_t piece) {
    std::vector<uint8_t> out, buffer(piece);
    while (uint32_t n = s.Read(buffer.data(), piece)) {
        if (n > piece) break;
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    return out;
}

}  // namespace morna::test

// Test helpers for streams: a memory name for bytes, and everything a stream
// hands out when read in pieces of a given size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound_stream.h"
#include "tests/common/memory_name.h"

namespace morna::test {

inline std::vector<uint8_t> ReadAll(tovarineGameSDK3rd::Multimedia::ISoundStream& s, uint32_t piece) {
    std::vector<uint8_t> out, buffer(piece);
    while (uint32_t n = s.Read(buffer.data(), piece)) {
        if (n > piece) break;
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    return out;
}

}  // namespace morna::test

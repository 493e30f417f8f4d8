// Opens arbitrary bytes as a compressed-audio stream (a compressed RIFF WAVE or a
// bare MPEG file, as the bytes decide) through a memory name, then reads to the
// end in sizes taken from the input, with a few seeks on the way. Every answer
// must stay inside what was asked for.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sound/acm_stream.h"

using tovarineGameSDK3rd::Multimedia::CACMStream;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> copy(data, data + size);
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(copy.data())),
                  size);
    CACMStream s;
    if (s.Open(name) != 0) return 0;
    const uint32_t rate = s.GetFormat()->avgBytesPerSec;
    std::vector<uint8_t> buffer(1 << 17);
    uint64_t total = 0;
    for (int round = 0; round < 64; ++round) {
        const uint8_t pick = size ? data[round % size] : 0;
        if (round % 16 == 15) s.SetCurrentPos(static_cast<int32_t>(pick) * 37 - 100);
        const uint32_t want = 1 + (static_cast<uint32_t>(pick) * 521 % buffer.size());
        const uint32_t n = s.Read(buffer.data(), want);
        if (n > want) std::abort();
        total += n;
        if (n == 0 && round % 16 != 15) round = (round | 15) - 1;  // at the end: on to the next seek
        if (total > 64ull * 1024 * 1024) break;
    }
    (void)rate;
    return 0;
}

// Unpacks arbitrary streams: the first two bytes give the size asked for, the
// rest is the packed stream. Whatever unpacks is packed again and must come back.
#include "foundation/auxiliary/lzss.h"

#include <cstdlib>
#include <cstring>

using tovarineGameSDK3rd::Auxiliary::CLZSS;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint32_t want = 1u + (data[0] | (data[1] << 8)) * 4u;
    static CLZSS lz;
    uint8_t* out = nullptr;
    const int32_t r = lz.Decode(data + 2, static_cast<uint32_t>(size - 2), &out, want, true);
    if (r != 0) {
        if (out != nullptr) std::abort();
        return 0;
    }
    uint8_t* packed = nullptr;
    uint32_t packedSize = 0;
    if (lz.Encode(out, &packed, want, &packedSize, true) == 0) {
        uint8_t* back = nullptr;
        if (lz.Decode(packed, packedSize, &back, want, true) != 0 || std::memcmp(back, out, want) != 0)
            std::abort();
        delete[] back;
        delete[] packed;
    }
    delete[] out;
    return 0;
}

// The 16-bit saturating forms of ops 2 and 3: the one-pixel form over every (d, s) pair, and
// the many-pixel words of the 1:1 rows against it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "blit/addsub/add_sub.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

struct Form {
    int32_t type;
    bool sub;
};

template <int32_t T, bool Sub>
using Op = AddSubOp<PixelFormat<T>, PixelFormat<T>, Sub, false, false>;

// Per channel min(max, d + s) or max(0, d - s); RGB555 bit 15 is d15 XOR s15.
uint32_t Reference(Form f, uint32_t d, uint32_t s) {
    const bool g6 = f.type == RGB565;
    const int shift[3] = {g6 ? 11 : 10, 5, 0}, max[3] = {31, g6 ? 63 : 31, 31};
    uint32_t out = g6 ? 0 : (d ^ s) & 0x8000;
    for (int c = 0; c < 3; ++c) {
        const int dc = static_cast<int>(d >> shift[c]) & max[c], sc = static_cast<int>(s >> shift[c]) & max[c];
        out |= static_cast<uint32_t>(f.sub ? std::max(0, dc - sc) : std::min(max[c], dc + sc)) << shift[c];
    }
    return out;
}

uint32_t OnePixel(Form f, uint32_t d, uint32_t s) {
    if (f.type == RGB565) return f.sub ? Op<RGB565, true>::Combine(d, s) : Op<RGB565, false>::Combine(d, s);
    return f.sub ? Op<RGB555, true>::Combine(d, s) : Op<RGB555, false>::Combine(d, s);
}

U32x4 Words(Form f, U32x4 d, U32x4 s) {
    const BltParam p;
    if (f.type == RGB565) return f.sub ? Op<RGB565, true>(p).Apply(s, d) : Op<RGB565, false>(p).Apply(s, d);
    return f.sub ? Op<RGB555, true>(p).Apply(s, d) : Op<RGB555, false>(p).Apply(s, d);
}

class SixteenBitForm : public testing::TestWithParam<Form> {};

}  // namespace

TEST_P(SixteenBitForm, OnePixelEqualsReferenceForEveryPair) {
    const Form f = GetParam();
    // The reference per channel, tabled for one s at a time.
    const int rs = f.type == RGB565 ? 11 : 10;
    for (uint32_t s = 0; s < 65536; ++s) {
        uint32_t part[3][64];
        for (uint32_t v = 0; v < 64; ++v) {
            part[0][v] = Reference(f, (v & 31) << rs, s) & 31u << rs;
            part[1][v] = Reference(f, v << 5, s) & (f.type == RGB565 ? 0x07E0 : 0x03E0);
            part[2][v] = Reference(f, v & 31, s) & 0x1F;
        }
        for (uint32_t d = 0; d < 65536; ++d) {
            const uint32_t want = part[0][d >> rs & 31] | part[1][d >> 5 & 63] | part[2][d & 31] |
                                  (f.type == RGB565 ? 0 : (d ^ s) & 0x8000);
            if (OnePixel(f, d, s) != want) {
                ASSERT_EQ(OnePixel(f, d, s), Reference(f, d, s)) << std::hex << "d " << d << " s " << s;
            }
        }
    }
}

// 10^8 random words of two pixels, and pixels with bit 15 set at both halves.
TEST_P(SixteenBitForm, WordsOfPixelsEqualOnePixelEach) {
    const Form f = GetParam();
    std::mt19937 rng(static_cast<uint32_t>(f.type * 2 + f.sub));
    const uint32_t edge[] = {0x80008000u, 0x00008000u, 0x80000000u, 0, 0xFFFFFFFFu, 0x7FFF7FFFu};
    for (int i = 0; i < 100'000'000 / 4; ++i) {
        U32x4 d, s;
        for (int k = 0; k < 4; ++k) d[k] = rng(), s[k] = rng();
        if (i < 36) d[0] = edge[i % 6], s[0] = edge[i / 6];
        const U32x4 got = Words(f, d, s);
        for (int k = 0; k < 4; ++k) {
            const uint32_t want = OnePixel(f, d[k] & 0xFFFF, s[k] & 0xFFFF) | OnePixel(f, d[k] >> 16, s[k] >> 16) << 16;
            if (got[k] != want) {
                ASSERT_EQ(got[k], want) << std::hex << "d " << d[k] << " s " << s[k];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, SixteenBitForm,
                         testing::Values(Form{RGB565, false}, Form{RGB565, true}, Form{RGB555, false}, Form{RGB555, true}),
                         [](const auto& i) { return std::string(i.param.type == RGB565 ? "RGB565" : "RGB555") + (i.param.sub ? "Sub" : "Add"); });

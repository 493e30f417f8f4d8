// The 16-bit saturating forms of ops 2 and 3 over every (d, s) pair: the one-pixel form, and
// the vector words of the 1:1 rows (eight pixels, so four words of two) against it.
#include <gtest/gtest.h>

#include <algorithm>

#include "blit/addsub/add_sub.h"

using namespace tovarineGameSDK3rd::Draw;

template <class Op>
void CheckEveryPair(bool is565, bool sub) {
    const int shift[3] = {is565 ? 11 : 10, 5, 0}, max[3] = {31, is565 ? 63 : 31, 31};
    const Op op{BltParam{}};
    for (uint32_t s = 0; s < 65536; ++s) {
        // Per channel min(max, d + s) or max(0, d - s), for each value d of the channel.
        uint32_t part[3][64];
        for (int c = 0; c < 3; ++c)
            for (int v = 0; v <= max[c]; ++v) {
                const int sc = static_cast<int>(s >> shift[c]) & max[c];
                part[c][v] = static_cast<uint32_t>(sub ? std::max(0, v - sc) : std::min(max[c], v + sc)) << shift[c];
            }
        for (uint32_t d0 = 0; d0 < 65536; d0 += 8) {
            U32x4 dv, sv = U32x4{} + (s | s << 16);
            for (uint32_t k = 0; k < 4; ++k) dv[k] = (d0 + 2 * k) | (d0 + 2 * k + 1) << 16;
            const U32x4 words = op.Apply(sv, dv);
            for (uint32_t d = d0; d < d0 + 8; ++d) {
                const uint32_t want = part[0][d >> shift[0] & 31] | part[1][d >> 5 & max[1]] | part[2][d & 31] |
                                      (is565 ? 0 : (d ^ s) & 0x8000);  // RGB555 bit 15: d15 XOR s15
                const uint32_t one = Op::Combine(d, s), word = words[(d - d0) / 2] >> (d & 1) * 16 & 0xFFFF;
                if (one != want || word != want) {
                    ASSERT_EQ(one, want) << std::hex << "d " << d << " s " << s;
                    ASSERT_EQ(word, want) << std::hex << "d " << d << " s " << s << " in a word";
                }
            }
        }
    }
}

template <int32_t T, bool Sub>
using Op = AddSubOp<PixelFormat<T>, PixelFormat<T>, Sub, false, false>;

TEST(AddSubForms, RGB565AddEveryPair) { CheckEveryPair<Op<RGB565, false>>(true, false); }
TEST(AddSubForms, RGB565SubEveryPair) { CheckEveryPair<Op<RGB565, true>>(true, true); }
TEST(AddSubForms, RGB555AddEveryPair) { CheckEveryPair<Op<RGB555, false>>(false, false); }
TEST(AddSubForms, RGB555SubEveryPair) { CheckEveryPair<Op<RGB555, true>>(false, true); }

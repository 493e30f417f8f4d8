#include "foundation/auxiliary/lzss.h"
#include "tests/common/log_capture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace tovarineGameSDK3rd;
using namespace tovarineGameSDK3rd::Auxiliary;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromText(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Packs with the allocating form; empty on refusal.
int32_t Pack(CLZSS& lz, const Bytes& in, Bytes& packed) {
    uint8_t* out = reinterpret_cast<uint8_t*>(1);
    uint32_t packedSize = 12345;
    const int32_t r = lz.Encode(in.data(), &out, static_cast<uint32_t>(in.size()), &packedSize, true);
    packed.clear();
    if (r == 0) {
        packed.assign(out, out + packedSize);
        delete[] out;
    } else {
        EXPECT_EQ(out, nullptr);
    }
    return r;
}

int32_t Unpack(CLZSS& lz, const Bytes& packed, uint32_t size, Bytes& out) {
    out.assign(size, 0xCD);
    uint8_t* p = out.data();
    return lz.Decode(packed.data(), static_cast<uint32_t>(packed.size()), &p, size, false);
}

}  // namespace

// Worked streams, packed and unpacked again. The ring starts zeroed and writes from 4078; a
// reference is the position's low byte, then its high nibble over the length - 3.
TEST(Lzss, WorkedStreams) {
    const struct {
        Bytes in, packed;
    } cases[] = {
        // 'A' is new: a literal, then 4078 copied 18 times over the write position.
        {Bytes(19, 'A'), {0x01, 'A', 0xEE, 0xFF}},
        {FromText("abcdefabcdefabcdefab"), {0x3F, 'a', 'b', 'c', 'd', 'e', 'f', 0xEE, 0xFB}},
        // Equal lengths: the match found first (higher up the tree, 4078) stays, not the
        // nearer 4085 of the same length.
        {FromText("abcdefXabcdefYabcdefZabcdefW"),
         {0x7F, 'a', 'b', 'c', 'd', 'e', 'f', 'X', 0xEE, 0xF3, 0x15, 'Y', 0xEE, 0xF3, 'Z', 0xEE, 0xF3, 'W'}},
    };
    for (const auto& c : cases) {
        CLZSS lz;
        Bytes packed, back;
        ASSERT_EQ(Pack(lz, c.in, packed), 0);
        EXPECT_EQ(packed, c.packed);
        ASSERT_EQ(Unpack(lz, packed, static_cast<uint32_t>(c.in.size()), back), 0);
        EXPECT_EQ(back, c.in);
    }
}

TEST(Lzss, ZerosMatchTheZeroedRingAtOnce) {
    CLZSS lz;
    Bytes packed;
    ASSERT_EQ(Pack(lz, Bytes(1000, 0), packed), 0);
    // 55 references of 18 and one of 10: seven groups of eight references.
    ASSERT_EQ(packed.size(), 7u * 17u);
    // Flags 0, then 4060 (the last of the 18 zero strings inserted first) for 18, then
    // 4095 (one before the write position) for 17 on each next reference.
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 7), (Bytes{0x00, 0xDC, 0xFF, 0xFF, 0xFF, 0x11, 0x0F}));
    EXPECT_EQ(packed[packed.size() - 2], 0xCB);  // 971, cut to the 10 bytes left
    EXPECT_EQ(packed[packed.size() - 1], 0x37);
    for (size_t g = 0; g < 7; ++g) EXPECT_EQ(packed[g * 17], 0x00) << g;
}

TEST(Lzss, NineLiteralsFillTheFirstFlagByte) {
    CLZSS lz;
    Bytes in = FromText("ponmlkjihgfedcba");
    in.insert(in.end(), 40, 'z');
    Bytes packed;
    ASSERT_EQ(Pack(lz, in, packed), 0);
    EXPECT_EQ(packed[0], 0xFF);
    EXPECT_EQ(packed[9] & 1, 1);
}

TEST(Lzss, EncoderRefusesWhatDoesNotShrink) {
    CLZSS lz;
    Bytes packed;
    EXPECT_EQ(Pack(lz, Bytes(16, 0), packed), 1);  // 16 bytes or fewer: never packed
    EXPECT_EQ(Pack(lz, Bytes(1, 0), packed), 1);
    Bytes distinct;
    for (uint8_t i = 1; i <= 17; ++i) distinct.push_back(i);
    EXPECT_EQ(Pack(lz, distinct, packed), 1);  // the first group alone is 9 = 17 - 8 bytes
    std::mt19937 rng(7);
    Bytes noise(5000);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    EXPECT_EQ(Pack(lz, noise, packed), 1);
    uint32_t measured = 0;
    EXPECT_EQ(lz.Encode(noise.data(), nullptr, 5000, &measured, false), 1);
    EXPECT_GE(measured, 5000u - 8u);
}

TEST(Lzss, DecodeStopsInsideAReference) {
    CLZSS lz;
    Bytes packed;
    ASSERT_EQ(Pack(lz, Bytes(1000, 0), packed), 0);
    Bytes out;
    ASSERT_EQ(Unpack(lz, packed, 5, out), 0);
    EXPECT_EQ(out, Bytes(5, 0));
    // A reference to the byte just written repeats it.
    const Bytes overlap{0x01, 'q', 0xEE, 0xF2};  // literal at 4078, then 4078 for 5
    ASSERT_EQ(Unpack(lz, overlap, 6, out), 0);
    EXPECT_EQ(out, Bytes(6, 'q'));
}

TEST(Lzss, DecoderRejectsTruncatedAndImpossibleStreams) {
    CLZSS lz;
    Bytes packed;
    const Bytes text = FromText("abcdefabcdefabcdefab");
    ASSERT_EQ(Pack(lz, text, packed), 0);
    Bytes out;
    for (size_t cut = 0; cut < packed.size(); ++cut) {
        Bytes head(packed.begin(), packed.begin() + cut);
        EXPECT_EQ(Unpack(lz, head, 20, out), kLzssDamaged) << cut;
    }
    // More than the stream can yield, even wholly of references, is refused
    // before anything is allocated.
    uint8_t* block = reinterpret_cast<uint8_t*>(1);
    EXPECT_EQ(lz.Decode(packed.data(), 9, &block, 0x7FFFFFFF, true), kLzssDamaged);
    EXPECT_EQ(block, nullptr);
    const Bytes allRefs(17, 0x00);  // one group of eight references of length 3
    EXPECT_EQ(CLZSS::MaxUnpackedSize(17), 144u);
    EXPECT_EQ(lz.Decode(allRefs.data(), 17, &block, 24, true), 0);
    delete[] block;
    EXPECT_EQ(lz.Decode(allRefs.data(), 17, &block, 25, true), kLzssDamaged);
    EXPECT_EQ(lz.Decode(allRefs.data(), 17, &block, 0, true), kLzssNothingToDo);
}

TEST(Lzss, RandomCompressibleInputsRoundTrip) {
    std::mt19937 rng(12345);
    CLZSS lz;  // one object reused: each call starts from a clean state
    std::vector<uint32_t> sizes;
    for (uint32_t n = 17; n < 300; n += 7) sizes.push_back(n);
    for (uint32_t n : {4095u, 4096u, 4097u, 4113u, 9000u, 70000u}) sizes.push_back(n);
    for (uint32_t n : sizes) {
        Bytes in(n);
        // Words from a small dictionary with noise: what tables and pictures look like.
        const std::string words[] = {"stage", "enemy", "0,0,0,", "\r\n", "boss", std::string("\xFF\x00\x00\x80", 4)};
        size_t i = 0;
        while (i < n) {
            if (rng() % 5 == 0) {
                in[i++] = static_cast<uint8_t>(rng());
            } else {
                const std::string& w = words[rng() % 6];
                for (size_t k = 0; k < w.size() && i < n; ++k) in[i++] = static_cast<uint8_t>(w[k]);
            }
        }
        Bytes packed;
        const int32_t r = Pack(lz, in, packed);
        if (n >= 100) {
            ASSERT_EQ(r, 0) << n;
        }
        if (r != 0) continue;
        CLZSS fresh;  // a reused object packs exactly as a new one
        Bytes again;
        ASSERT_EQ(Pack(fresh, in, again), 0);
        EXPECT_EQ(again, packed) << n;
        EXPECT_LT(packed.size(), n - 8u);
        uint32_t measured = 0;
        EXPECT_EQ(lz.Encode(in.data(), nullptr, n, &measured, false), 0);
        EXPECT_EQ(measured, packed.size());
        uint8_t* back = nullptr;
        ASSERT_EQ(lz.Decode(packed.data(), static_cast<uint32_t>(packed.size()), &back, n, true), 0) << n;
        EXPECT_TRUE(std::equal(in.begin(), in.end(), back)) << n;
        delete[] back;
    }
}

TEST(Lzss, SmartArrayForms) {
    CLZSS lz;
    const Bytes text = FromText("abcdefabcdefabcdefab");
    VTL::smart_ptr<uint8_t> packed;
    uint32_t packedSize = 0;
    ASSERT_EQ(lz.Encode(text.data(), packed, 20, &packedSize), 0);
    ASSERT_EQ(packedSize, 9u);
    EXPECT_EQ(packed.GetElementCount(), 9u);
    EXPECT_EQ(Bytes(packed.GetNoCheck(), packed.GetNoCheck() + 9),
              (Bytes{0x3F, 'a', 'b', 'c', 'd', 'e', 'f', 0xEE, 0xFB}));
    // A pointer that already holds a block only measures.
    VTL::smart_ptr<uint8_t> held;
    held.AddArray(1);
    packedSize = 0;
    ASSERT_EQ(lz.Encode(text.data(), held, 20, &packedSize), 0);
    EXPECT_EQ(packedSize, 9u);
    EXPECT_EQ(held.GetElementCount(), 1u);

    VTL::smart_ptr<uint8_t> out;
    ASSERT_EQ(lz.Decode(packed.GetNoCheck(), 9, out, 20), 0);
    ASSERT_EQ(out.GetElementCount(), 20u);
    EXPECT_EQ(Bytes(out.GetNoCheck(), out.GetNoCheck() + 20), text);
    // Into a given block, which must have room for the whole size.
    VTL::smart_ptr<uint8_t> small;
    small.AddArray(19);
    morna::test::LogCapture log;
    EXPECT_EQ(lz.Decode(packed.GetNoCheck(), 9, small, 20), kLzssNoMemory);
    EXPECT_EQ(lz.Decode(packed.GetNoCheck(), 8, out, 20), kLzssDamaged);
    EXPECT_EQ(log.Lines().size(), 2u);
}

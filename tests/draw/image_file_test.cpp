// The BMP and tvg writers byte for byte, and tvg files read back through the loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/graphic_loader.h"
#include "draw/image_file.h"
#include "draw/image_writer.h"
#include "foundation/auxiliary/lzss.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/draw/base/test_surface.h"
#include "tests/draw/image_test_files.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using morna::test::ReadBytes;
using morna::test::TestSurface;

uint32_t U32(const std::vector<uint8_t>& f, size_t at) {
    return static_cast<uint32_t>(f[at] | f[at + 1] << 8 | f[at + 2] << 16) | uint32_t{f[at + 3]} << 24;
}

// A surface whose pixel (x, y) is a distinct colour with alpha, stored in its format.
void Paint(TestSurface& s) {
    for (int y = 0; y < s.info.height; ++y)
        for (int x = 0; x < s.info.width; ++x) {
            const uint32_t c = 0x80000000u | uint32_t(x * 40 + 8) << 16 | uint32_t(y * 60 + 16) << 8 | uint32_t(x * 8 + y * 16);
            VisitPixelFormat(s.info.type, [&](auto f) {
                using F = decltype(f);
                F::Store(s.At(x, y), FromColor<F>(c));
            });
        }
}

TEST(SaveBitmap, ThreeByTwoRectangleIsByteExact) {
    morna::test::TempBaseFolder folder("morna-img");
    TestSurface s(XRGB8888, 5, 4);
    Paint(s);
    const Rect r{1, 1, 4, 3};
    ASSERT_EQ(SaveBitmap(s.info, "out.bmp", &r), 0);
    const auto f = ReadBytes(folder.Path() + "/out.bmp");
    ASSERT_EQ(f.size(), 78u);
    const std::vector<uint8_t> head(f.begin(), f.begin() + 54);
    std::vector<uint8_t> expected = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,
                                     1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0};
    expected.resize(54, 0);
    EXPECT_EQ(head, expected);
    // The first row after the headers is the rectangle's bottom row (y = 2); fill bytes 0.
    std::vector<uint8_t> rows;
    for (int y = 2; y >= 1; --y) {
        for (int x = 1; x < 4; ++x) rows.insert(rows.end(), s.At(x, y), s.At(x, y) + 3);
        rows.insert(rows.end(), 3, 0);
    }
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.end()), rows);
}

// Raw: the header (magic, size, flag 0, sizes) and the pixels as they lie in memory.
TEST(SaveTvg, RawFileOfAWholeSurface) {
    morna::test::TempBaseFolder folder("morna-img");
    TestSurface s(ARGB8888, 3, 2);
    Paint(s);
    ASSERT_EQ(SaveTvg(s.info, "out.tvg", nullptr, false), 0);
    std::vector<uint8_t> want = {'t', 'v', 'g', 0, 3, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 24, 0, 0, 0, 24, 0, 0, 0};
    want.insert(want.end(), s.bytes.begin(), s.bytes.end());
    EXPECT_EQ(ReadBytes(folder.Path() + "/out.tvg"), want);
}

// Saved from every format that converts, packed or not, and read back into ARGB8888.
class TvgRoundTrip : public ::testing::TestWithParam<std::tuple<int32_t, bool>> {};

TEST_P(TvgRoundTrip, LoadsBackTheConvertedPixels) {
    const auto [type, packed] = GetParam();
    morna::test::TempBaseFolder folder("morna-img");
    TestSurface s(type, 7, 5, 3);  // a pitch with a gap
    Paint(s);
    ASSERT_EQ(SaveTvg(s.info, "pic.tvg", nullptr, packed), 0);
    const auto f = ReadBytes(folder.Path() + "/pic.tvg");
    EXPECT_EQ(U32(f, 16), 7u * 5 * 4);
    EXPECT_EQ(U32(f, 20), f.size() - 24);
    tovarineGameSDK3rd::Auxiliary::CFile file;
    ASSERT_EQ(file.Read("pic.tvg"), 0);
    CGraphicLoader loader;
    ASSERT_EQ(loader.Load(&file), 0);
    EXPECT_NE(loader.HasAlpha(), 0);
    int32_t w = 0, h = 0;
    ASSERT_EQ(loader.GetSize(&w, &h), 0);
    ASSERT_EQ(w, 7);
    ASSERT_EQ(h, 5);
    for (int32_t dstType : {ARGB8888, RGB565}) {
        TestSurface d(dstType, 7, 5);
        ASSERT_EQ(loader.LoadToSurface(&d.info), 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                uint32_t a = 0, b = 0;
                s.info.GetPixel(x, y, &a);
                d.info.GetPixel(x, y, &b);
                if (s.info.type < ARGB4565) a |= 0xFF000000u;  // a plain source reads with alpha 0, loads opaque
                if (dstType == RGB565) EXPECT_EQ(b, ToColor<PixelFormat<RGB565>>(FromColor<PixelFormat<RGB565>>(a)) & 0xFFFFFF);
                else EXPECT_EQ(b, a) << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TvgRoundTrip,
                         ::testing::Combine(::testing::Values(RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888,
                                                              ARGB4565, ARGB4555, ARGB8888),
                                            ::testing::Bool()));

TEST(ImageWriters, RefuseWhatTheyCannotReadAndWriteNoFile) {
    morna::test::TempBaseFolder folder("morna-img");
    morna::test::LogCapture log;
    for (int32_t type : {Palette8, ABGR8888}) {
        TestSurface s(type, 4, 4);
        EXPECT_EQ(SaveBitmap(s.info, "a.bmp"), -2);
        EXPECT_EQ(SaveTvg(s.info, "a.tvg"), -2);
    }
    TestSurface nullPixels(RGB888, 4, 4);
    nullPixels.info.pixels = nullptr;
    EXPECT_EQ(SaveBitmap(nullPixels.info, "a.bmp"), -2);
    EXPECT_EQ(SaveTvg(nullPixels.info, "a.tvg"), -2);
    CSurfaceInfo empty;
    EXPECT_EQ(SaveBitmap(empty, "a.bmp"), -2);
    TestSurface s(RGB888, 4, 4);
    const Rect outside{5, 5, 9, 9};
    EXPECT_EQ(SaveBitmap(s.info, "a.bmp", &outside), -1);
    EXPECT_EQ(SaveTvg(s.info, "a.tvg", &outside), -1);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/a.bmp"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/a.tvg"));
}

struct DamagedTvg {
    std::string name;
    std::vector<uint8_t> file;
    int check;  // CheckTvg's answer
    std::string fileName = "d.tvg";
};

std::vector<DamagedTvg> DamagedTvgs() {
    tovarineGameSDK3rd::Auxiliary::CLZSS lzss;
    std::vector<uint8_t> plain(64 * 64 * 4);
    uint32_t seed = 1;
    for (auto& b : plain) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 29);  // packs to about half
    uint8_t* packed = nullptr;
    uint32_t packedSize = 0;
    lzss.Encode(plain.data(), &packed, static_cast<uint32_t>(plain.size()), &packedSize, true);
    std::vector<uint8_t> stream(packed, packed + packedSize);
    delete[] packed;
    // The packed stream without its last two bytes.
    const std::vector<uint8_t> broken(stream.begin(), stream.end() - std::min<size_t>(2, stream.size()));
    auto badMagic = morna::test::MakeTvg(2, 2, 0, 16, std::vector<uint8_t>(16, 7));
    badMagic[0] = 'x';
    return {
        {"ExtensionInAnyCase", morna::test::MakeTvg(2, 2, 0, 16, std::vector<uint8_t>(16, 7)), 0, "a.TVG"},
        {"OtherExtension", morna::test::MakeTvg(2, 2, 0, 16, std::vector<uint8_t>(16, 7)), 1, "c.bin"},
        {"BadMagic", badMagic, 2},
        {"ShortHeader", std::vector<uint8_t>{'t', 'v', 'g', 0, 1, 0, 0, 0}, 2},
        {"RawDataShort", morna::test::MakeTvg(4, 4, 0, 64, std::vector<uint8_t>(63)), 2},
        {"HugeRaw", morna::test::MakeTvg(0x40000000, 0x40000000, 0, 0, std::vector<uint8_t>(16)), 2},
        {"PackedBeyondExpansion", morna::test::MakeTvg(1000, 1000, 1, 4000000, stream), 2},
        {"ZeroSize", morna::test::MakeTvg(0, 4, 0, 0, {}), 2},
        {"BadFlag", morna::test::MakeTvg(1, 1, 2, 4, std::vector<uint8_t>(4)), 2},
        {"PackedStreamCut", morna::test::MakeTvg(64, 64, 1, 16384, broken), 0},
        {"UnpackedSizeWrong", morna::test::MakeTvg(64, 64, 1, 16380, stream), 0},
    };
}

class DamagedTvgFile : public ::testing::TestWithParam<DamagedTvg> {};

// CheckTvg's answer by name and magic; a file that passes it but whose data is damaged fails
// to load; neither reads out of bounds.
TEST_P(DamagedTvgFile, FailsCleanly) {
    const DamagedTvg& c = GetParam();
    morna::test::TempBaseFolder folder("morna-img");
    morna::test::WriteBytes(folder.Path() + "/" + c.fileName, c.file);
    tovarineGameSDK3rd::Auxiliary::CFile file;
    ASSERT_EQ(file.Read(c.fileName.c_str()), 0);
    morna::test::LogCapture log;
    CGraphicLoader loader;
    ASSERT_EQ(loader.CheckTvg(&file), c.check);
    TestSurface d(ARGB8888, 64, 64);
    if (c.check == 0) {
        EXPECT_EQ(loader.LoadToSurface(&d.info), c.name == "ExtensionInAnyCase" ? 0 : 3);
    }
    if (c.name == "BadMagic") {
        EXPECT_EQ(loader.Load(&file), 1);  // not a tvg, and nothing else reads it
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedTvgFile, ::testing::ValuesIn(DamagedTvgs()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

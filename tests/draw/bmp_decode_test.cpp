// Every BMP bit depth and RLE kind, drawn into a 24-bit DIB bitmap through the loader.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "draw/dib_bitmap.h"
#include "draw/graphic_loader.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tests/draw/image_test_files.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using morna::test::MakeBmp;
using Grid = std::vector<std::vector<uint32_t>>;  // rows top down

// Rows of raw values packed as a DIB stores them: bottom-up unless topDown, each padded to 4.
std::vector<uint8_t> PackRows(const Grid& raw, int bitCount, bool topDown = false) {
    std::vector<uint8_t> out;
    const size_t rows = raw.size();
    for (size_t k = 0; k < rows; ++k) {
        const auto& row = raw[topDown ? k : rows - 1 - k];
        std::vector<uint8_t> bytes;
        if (bitCount < 8) {
            bytes.assign((row.size() * bitCount + 7) / 8, 0);
            for (size_t x = 0; x < row.size(); ++x)
                bytes[x * bitCount / 8] |= static_cast<uint8_t>(row[x] << (8 - bitCount - (x * bitCount) % 8));
        } else {
            for (uint32_t v : row) morna::test::PutLe(bytes, v, bitCount / 8);
        }
        while (bytes.size() % 4) bytes.push_back(0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

Grid Map(const Grid& g, const std::function<uint32_t(uint32_t)>& f) {
    Grid out = g;
    for (auto& row : out)
        for (auto& v : row) v = f(v);
    return out;
}

const std::vector<uint32_t> kTable = {0x102030, 0xA0B0C0, 0xFF0000, 0x00FF08};
const Grid kIndices = {{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 1, 0, 0}};
const Grid kBits1 = {{0, 1, 0, 1}, {1, 1, 0, 0}, {0, 0, 0, 1}};
// Colours every direct format holds exactly (channels multiples of 8).
const Grid kColours = {{0x102030, 0xF8F8F8, 0x000000, 0x08F010}, {0x800008, 0x0000F8, 0x40C080, 0xF80000},
                       {0x181818, 0x00F800, 0xE0D0C0, 0x080808}};

uint32_t To555(uint32_t c) { return (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31); }
uint32_t To565(uint32_t c) { return (c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31); }
uint32_t ToBgr(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

struct BmpCase {
    std::string name;
    std::vector<uint8_t> file;
    Grid expected;
};

std::vector<BmpCase> Cases() {
    const Grid paletted = Map(kIndices, [](uint32_t i) { return kTable[i]; });
    std::vector<BmpCase> c;
    c.push_back({"Bits1", MakeBmp(4, 3, 1, 0, {0x102030, 0xA0B0C0}, PackRows(kBits1, 1)),
                 Map(kBits1, [](uint32_t i) { return i ? 0xA0B0C0u : 0x102030u; })});
    c.push_back({"Bits4", MakeBmp(4, 3, 4, 0, kTable, PackRows(kIndices, 4)), paletted});
    c.push_back({"Bits8", MakeBmp(4, 3, 8, 0, kTable, PackRows(kIndices, 8)), paletted});
    c.push_back({"Bits16", MakeBmp(4, 3, 16, 0, {}, PackRows(Map(kColours, To555), 16)), kColours});
    c.push_back({"Bits16Masks565", MakeBmp(4, 3, 16, 3, {}, PackRows(Map(kColours, To565), 16), {0xF800, 0x07E0, 0x001F}),
                 kColours});
    c.push_back({"Bits24", MakeBmp(4, 3, 24, 0, {}, PackRows(kColours, 24)), kColours});
    c.push_back({"Bits24TopDown", MakeBmp(4, -3, 24, 0, {}, PackRows(kColours, 24, true)), kColours});
    c.push_back({"Bits32", MakeBmp(4, 3, 32, 0, {}, PackRows(Map(kColours, [](uint32_t v) { return v | 0xEE000000; }), 32)),
                 kColours});
    c.push_back({"Bits32MasksBgr", MakeBmp(4, 3, 32, 3, {}, PackRows(Map(kColours, ToBgr), 32), {0xFF, 0xFF00, 0xFF0000}),
                 kColours});
    // Runs, a literal, line ends, a delta and the end mark; skipped pixels keep the bitmap's 0.
    const std::vector<uint8_t> rle8 = {4, 1, 0, 0,                     // bottom: four of 1
                                       0, 3, 2, 3, 0, 0, 1, 2, 0, 0,   // middle: literal 2 3 0, one 2
                                       0, 2, 2, 0, 2, 3, 0, 1};        // top: skip two, two of 3
    c.push_back({"Rle8", MakeBmp(4, 3, 8, 1, kTable, rle8),
                 {{0, 0, 0x00FF08, 0x00FF08}, {0xFF0000, 0x00FF08, 0x102030, 0xFF0000},
                  {0xA0B0C0, 0xA0B0C0, 0xA0B0C0, 0xA0B0C0}}});
    const std::vector<uint8_t> rle4 = {4, 0x12, 0, 0,                      // bottom: 1 2 1 2
                                       0, 3, 0x23, 0x10, 1, 0x30, 0, 0,    // middle: literal 2 3 1, one 3
                                       0, 2, 1, 0, 3, 0x00, 0, 1};         // top: skip one, three of 0
    c.push_back({"Rle4", MakeBmp(4, 3, 4, 2, kTable, rle4),
                 {{0, 0x102030, 0x102030, 0x102030}, {0xFF0000, 0x00FF08, 0xA0B0C0, 0x00FF08},
                  {0xA0B0C0, 0xFF0000, 0xA0B0C0, 0xFF0000}}});
    return c;
}

class BmpDecode : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpDecode, DrawsTheExpectedPixels) {
    morna::test::TempBaseFolder folder("morna-bmp");
    morna::test::WriteBytes(folder.Path() + "/pic.bmp", GetParam().file);
    CDIBitmap dib;
    ASSERT_EQ(dib.Load("pic.bmp", 24), 0);
    int w = 0, h = 0;
    ASSERT_EQ(dib.GetSize(&w, &h), 0);
    ASSERT_EQ(w, 4);
    ASSERT_EQ(h, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint32_t c = 0xDEADBEEF;
            ASSERT_EQ(dib.GetSurfaceInfo()->GetPixel(x, y, &c), 0);
            EXPECT_EQ(c, GetParam().expected[y][x]) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BmpDecode, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

// The direct path takes only plain 16- and 24-bit BMPs; the others go through the DIB bitmap.
TEST(BmpLoadToSurface, DirectPathAnswers) {
    for (const BmpCase& c : Cases()) {
        tovarineGameSDK3rd::Auxiliary::CFile file;
        morna::test::TempBaseFolder folder("morna-bmp");
        morna::test::WriteBytes(folder.Path() + "/pic.bmp", c.file);
        ASSERT_EQ(file.Read("pic.bmp"), 0);
        CGraphicLoader loader;
        ASSERT_EQ(loader.Load(&file), 0) << c.name;
        std::vector<uint8_t> pixels(4 * 3 * 3);
        CSurfaceInfo s;
        s.initialised = true, s.pixels = pixels.data(), s.pitch = 12, s.width = 4, s.height = 3, s.type = RGB888;
        const int r = loader.LoadToSurface(&s);
        if (c.name == "Bits16" || c.name == "Bits24" || c.name == "Bits24TopDown") {
            ASSERT_EQ(r, 0) << c.name;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x) {
                    uint32_t px = 0;
                    s.GetPixel(x, y, &px);
                    EXPECT_EQ(px, c.expected[y][x]) << c.name;
                }
        } else {
            const bool compressed = c.name.rfind("Rle", 0) == 0 || c.name.find("Masks") != std::string::npos;
            EXPECT_EQ(r, compressed ? 2 : 3) << c.name;
        }
    }
}

// The palette of an 8-bit BMP: the first ten and last ten entries the system's, the BMP's
// colours from 10 on; none without a picture.
TEST(BmpLoader, PaletteOfAnEightBitBmp) {
    morna::test::TempBaseFolder folder("morna-bmp");
    morna::test::WriteBytes(folder.Path() + "/pic.bmp", MakeBmp(4, 3, 8, 0, kTable, PackRows(kIndices, 8)));
    tovarineGameSDK3rd::Auxiliary::CFile file;
    ASSERT_EQ(file.Read("pic.bmp"), 0);
    CGraphicLoader loader, none;
    morna::platform::PaletteEntry pal[256];
    EXPECT_EQ(none.GetPalette(pal), 1);
    ASSERT_EQ(loader.Load(&file), 0);
    ASSERT_EQ(loader.GetPalette(pal), 0);
    auto entry = [&](int i) { return std::vector<int>{pal[i].red, pal[i].green, pal[i].blue, pal[i].flags}; };
    EXPECT_EQ(entry(9), (std::vector<int>{9, 0, 0, 2}));
    EXPECT_EQ(entry(255), (std::vector<int>{255, 0, 0, 2}));
    EXPECT_EQ(entry(11), (std::vector<int>{0xA0, 0xB0, 0xC0, 5}));
    EXPECT_EQ(entry(14)[3], 0);  // beyond the BMP's four colours
}

struct DamagedCase {
    std::string name;
    std::vector<uint8_t> file;
};

std::vector<DamagedCase> DamagedCases() {
    std::vector<DamagedCase> d;
    auto ok24 = MakeBmp(4, 3, 24, 0, {}, PackRows(kColours, 24));
    auto truncated = ok24;
    truncated.resize(truncated.size() - 1);
    d.push_back({"PixelsTruncated", truncated});
    auto hugeRle = MakeBmp(20000, 20000, 8, 1, kTable, {0, 1});
    d.push_back({"RleTooLarge", hugeRle});
    auto badOffset = ok24;
    badOffset[10] = 0xFF, badOffset[11] = 0xFF;
    d.push_back({"OffsetBeyondFile", badOffset});
    d.push_back({"TableMissing", MakeBmp(4, 3, 8, 0, {}, std::vector<uint8_t>(12, 0))});  // 256 colours needed
    d.push_back({"NegativeWidth", MakeBmp(-4, 3, 24, 0, {}, PackRows(kColours, 24))});
    d.push_back({"TopDownRle", MakeBmp(4, -3, 8, 1, kTable, {0, 1})});
    d.push_back({"UnknownCompression", MakeBmp(4, 3, 24, 7, {}, PackRows(kColours, 24))});
    auto shortFile = MakeBmp(1, 1, 24, 0, {}, {0, 0, 0, 0});
    shortFile.resize(53);
    d.push_back({"ShortFile", shortFile});
    d.push_back({"ScatteredMasks", MakeBmp(4, 3, 16, 3, {}, PackRows(Map(kColours, To565), 16), {0xF00F, 0x07E0, 0x001F})});
    return d;
}

class DamagedBmp : public ::testing::TestWithParam<DamagedCase> {};

// A damaged BMP fails with a log line; a file too short for the headers is no BMP at all.
TEST_P(DamagedBmp, Fails) {
    morna::test::TempBaseFolder folder("morna-bmp");
    morna::test::WriteBytes(folder.Path() + "/pic.bmp", GetParam().file);
    morna::test::LogCapture log;
    CDIBitmap dib;
    EXPECT_EQ(dib.Load("pic.bmp", 24), 1);
    EXPECT_EQ(log.Contains("CGraphicLoader::CheckBmp"), GetParam().name != "ShortFile");
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedBmp, ::testing::ValuesIn(DamagedCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

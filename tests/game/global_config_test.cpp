#include "game/files/global_config.h"

#include <gtest/gtest.h>

#include "tests/common/config_file_checks.h"
#include "tests/common/file_bytes.h"
#include "tests/common/temp_base_folder.h"

using morna::test::ReadBytes;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Tail(const Bytes& b, size_t n) { return Bytes(b.end() - static_cast<long>(n), b.end()); }

TEST(GlobalConfig, SavesFontNamesInShiftJisAndTheExtrasLowByte) {
    morna::test::TempBaseFolder folder("morna-global");
    const std::string path = folder.Path() + "/global.cfg";
    SGlobalConfig c;
    c.Load("global.cfg");
    c.Save();
    const Bytes fresh = ReadBytes(path);
    ASSERT_EQ(fresh.size(), 67u);
    // 1, 1, 1, "ＭＳ ゴシック" NUL, "ＭＳ Ｐゴシック" NUL, extras 0, trailer.
    EXPECT_EQ(Bytes(fresh.begin() + 29, fresh.end()),
              (Bytes{1,    1,    1,    0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83,
                     0x4E, 0x00, 0x82, 0x6C, 0x82, 0x72, 0x20, 0x82, 0x6F, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62,
                     0x83, 0x4E, 0x00, 0x00, 0x7F, 0x9D, 0x09, 0xA9}));

    c.fontName = "VL ゴシック";
    c.propFontName = "VL Pゴシック";
    c.Save();
    const Bytes vl = ReadBytes(path);
    EXPECT_EQ(vl.size(), 62u);
    EXPECT_EQ(Tail(vl, 4), (Bytes{0x7C, 0x56, 0xC4, 0xBD}));

    c.extrasUnlocked = 0x1234;
    c.Save();
    const Bytes extras = ReadBytes(path);
    EXPECT_EQ(extras[extras.size() - 5], 0x34);
    SGlobalConfig other;
    other.extrasUnlocked = 0x5600;
    EXPECT_EQ(other.Load("global.cfg"), 0);
    EXPECT_EQ(other.extrasUnlocked, 0x5634);
    EXPECT_EQ(other.fontName, "VL ゴシック");

    morna::test::ExpectDamagedFilesRefused<SGlobalConfig>(
        folder.Path(), "global.cfg", fresh, 4,
        [](SGlobalConfig& r) {
            r.smoothText = false;
            r.fontName = "x";
            r.extrasUnlocked = 0x1201;
            r.cpuLevel = 0;
        },
        [](SGlobalConfig& r, const char* name) { return r.Load(name); });
}

}  // namespace

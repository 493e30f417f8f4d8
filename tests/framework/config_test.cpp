#include "framework/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/common/config_file_checks.h"
#include "tests/common/file_bytes.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"

using namespace KestraneGameBase2;
using morna::test::ReadBytes;
using Bytes = std::vector<uint8_t>;

namespace {

uint32_t Crc(const char* text) { return ConfigCRC(reinterpret_cast<const uint8_t*>(text), std::strlen(text)); }

TEST(ConfigCRC, InvertsAfterEachWholeBlockOnly) {
    EXPECT_EQ(Crc(""), 0u);
    EXPECT_EQ(Crc("abc"), 0xCA6598D0u);
    EXPECT_EQ(Crc("abcdefg"), 0xAC46B5D8u);
    EXPECT_EQ(Crc("abcdefgh"), 0x34320AC6u);
    EXPECT_EQ(Crc("abcdefghij"), 0x642DF54Cu);
    EXPECT_EQ(ConfigCRC(Bytes(8, 0)), 0xFFFFFFFFu);

    Aux::CSerialize ar;
    ar.GetData() = {'a', 'b', 'c'};
    AppendCRC(ar);
    EXPECT_EQ(ar.GetData(), (Bytes{'a', 'b', 'c', 0xCA, 0x65, 0x98, 0xD0}));
    EXPECT_TRUE(VerifyCRC(ar));
    EXPECT_EQ(ar.GetData(), (Bytes{'a', 'b', 'c'}));
    ar.GetData() = {1, 2, 3};
    EXPECT_FALSE(VerifyCRC(ar));
}

TEST(SystemConfig, FreshRecordSavesItsPinnedBytesAndRefusesDamage) {
    morna::test::TempBaseFolder folder("morna-config");
    SSystemConfig unnamed;
    EXPECT_TRUE(unnamed.Save());  // never loaded: no name, nothing written

    SSystemConfig c;
    EXPECT_EQ(c.Load("system.cfg"), 1);
    EXPECT_FALSE(c.Save());
    const Bytes saved = ReadBytes(folder.Path() + "/system.cfg");
    EXPECT_EQ(saved, (Bytes{0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00,
                            0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x20, 0x03, 0x00, 0x00, 0x58, 0x02,
                            0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA9, 0xE4, 0x89, 0x70}));
    morna::test::ExpectDamagedFilesRefused<SSystemConfig>(
        folder.Path(), "system.cfg", saved, 4,
        [](SSystemConfig& r) {
            r.fullScreen = true;
            r.width = 640;
            r.windowY = -32;
            r.lastVersion = 7;
        },
        [](SSystemConfig& r, const char* name) { return r.Load(name); });
}

TEST(GlobalConfigBase, FreshRecordSavesItsPinnedBytesAndRefusesDamage) {
    morna::test::TempBaseFolder folder("morna-config");
    SGlobalConfigBase c;
    c.Load("global.cfg");
    c.Save();
    const Bytes saved = ReadBytes(folder.Path() + "/global.cfg");
    ASSERT_EQ(saved.size(), 33u);
    EXPECT_EQ(Bytes(saved.end() - 4, saved.end()), (Bytes{0x4B, 0x46, 0x6A, 0xB7}));
    morna::test::ExpectDamagedFilesRefused<SGlobalConfigBase>(
        folder.Path(), "global.cfg", saved, 4,
        [](SGlobalConfigBase& r) {
            r.bgmOff = r.topmost = true;
            r.seVolume = 7;
            r.reserved = 9;
        },
        [](SGlobalConfigBase& r, const char* name) { return r.Load(name); });
}

TEST(SettingsFiles, FarAboveTheirLayoutAreDamagedUnreadAndFailedSavesAreLogged) {
    morna::test::TempBaseFolder folder("morna-config");
    // The fields, zeros up to the size, a valid trailer: up to the limit the file loads.
    for (const size_t size : {kSettingsFileLimit, kSettingsFileLimit + 1}) {
        SSystemConfig fresh;
        Aux::CSerialize ar;
        int32_t version = 0;
        ar << version << fresh;
        ar.GetData().resize(size - 4);
        ASSERT_FALSE(WriteCheckedFile("system.cfg", ar));
        SSystemConfig c;
        c.width = 640;
        EXPECT_EQ(c.Load("system.cfg"), size > kSettingsFileLimit ? 2 : 0) << size;
        EXPECT_EQ(c.width, size > kSettingsFileLimit ? 640 : 800) << size;
    }
    morna::test::LogCapture log;
    SSystemConfig c;
    c.Load("none\\system.cfg");
    EXPECT_TRUE(c.Save());  // no such folder
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"SaveStreamFile none\\system.cfgを書き込めない"});
}

}  // namespace

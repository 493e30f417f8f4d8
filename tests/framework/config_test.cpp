#include "framework/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "framework/key_control.h"
#include "tests/common/config_file_checks.h"
#include "tests/common/file_bytes.h"
#include "tests/common/log_capture.h"
#include "tests/common/memory_name.h"
#include "tests/common/temp_base_folder.h"
#include "tools/pack/pack_writer.h"

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

// Saves a record given values other than its defaults to made.cfg.
template <class Record>
std::function<void()> Make(void (*set)(Record&)) {
    return [set] {
        Record c;
        set(c);
        c.fileName = "made.cfg";
        ASSERT_FALSE(c.Save());
    };
}

// Loads a fresh record from name and saves it to loaded.cfg: the answer of the load.
template <class Record>
int32_t Reload(const VTLstring& name) {
    Record c;
    const int32_t r = c.Load(name);
    c.fileName = "loaded.cfg";
    c.Save();
    return r;
}

// Every record read through the checked read, from each kind of name the file layer reads: a
// file on disk, an entry of the pack archive of a folder above it, and a memory name. The cap
// refuses a file on disk one byte too large, though its trailer is valid.
TEST(SettingsFiles, LoadFromDiskPackArchiveAndMemoryNames) {
    morna::test::TempBaseFolder folder("morna-config");
    struct KeyFile : CKeyControlBase {
        void Name(const VTLstring& name) { fileName_ = name; }
    };
    // Each record made and reloaded as Make and Reload do.
    struct Row {
        const char* file;
        std::function<void()> make;
        std::function<int32_t(const VTLstring&)> reload;
    };
    const Row rows[] = {
        {"system.cfg",
         Make<SSystemConfig>([](SSystemConfig& c) {
             c.width = 640;
             c.windowY = -32;
             c.lastVersion = 7;
         }),
         Reload<SSystemConfig>},
        {"global.cfg",
         Make<SGlobalConfigBase>([](SGlobalConfigBase& c) {
             c.bgmOff = c.topmost = true;
             c.seVolume = 7;
         }),
         Reload<SGlobalConfigBase>},
        {"key.cfg",
         [] {
             KeyFile k;
             k.GetConfig() = {{8, 0, 0x2C}, {9, 1, 5}, {3, 0, 0xCD}};
             k.Name("made.cfg");
             ASSERT_FALSE(k.Save());
         },
         [](const VTLstring& name) {
             KeyFile k;
             k.Name(name);
             const int32_t r = k.Load();
             k.Name("loaded.cfg");
             k.Save();
             return r;
         }},
    };
    const std::string base = folder.Path() + "/";
    morna::tools::PackWriter archive("tovapkEx");
    std::vector<Bytes> made;
    for (const Row& row : rows) {
        row.make();
        made.push_back(ReadBytes(base + "made.cfg"));
        morna::test::WriteBytes(base + row.file, made.back());
        archive.Add(row.file, std::string(made.back().begin(), made.back().end()));
    }
    std::ofstream(base + "save.dat", std::ios::binary) << archive.Bytes();

    for (size_t i = 0; i < std::size(rows); ++i) {
        const std::string names[] = {rows[i].file, std::string("save\\") + rows[i].file,
                                     morna::test::MemoryName(made[i])};
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            std::filesystem::remove(base + "loaded.cfg");
            EXPECT_EQ(rows[i].reload(name.c_str()), 0);
            EXPECT_EQ(ReadBytes(base + "loaded.cfg"), made[i]);
        }
        Aux::CSerialize large;
        large.GetData().assign(made[i].begin(), made[i].end() - 4);
        large.GetData().resize(kSettingsFileLimit + 1 - 4);
        ASSERT_FALSE(WriteCheckedFile(rows[i].file, large));
        EXPECT_EQ(rows[i].reload(rows[i].file), 2) << rows[i].file;
    }
}

}  // namespace

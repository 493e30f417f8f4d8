#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/auxiliary/file.h"
#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"
#include "tools/pack/pack_writer.h"

using tovarineGameSDK3rd::Auxiliary::CFile;
using tovarineGameSDK3rd::VTL::VTLstring;
using morna::test::LogCapture;
using morna::tools::PackWriter;
using morna::test::TempBaseFolder;

namespace {

VTLstring V(const std::string& s) { return VTLstring(s.data(), static_cast<VTLstring::size_type>(s.size())); }

// Contents that pack well, NUL bytes included.
std::string Compressible(size_t n, char seed) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>((i % 7 == 0) ? seed + static_cast<char>(i / 7 % 3) : (i * 37) % 256 / 64);
    return s;
}

// The stored form that CFile::Scramble gives: "TPK1" and the scrambled bytes.
std::string Scrambled(const std::string& plain) {
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(plain.data())),
                  plain.size());
    CFile f;
    EXPECT_EQ(f.Read(name), 0);
    EXPECT_EQ(f.Scramble(), 0);
    return std::string(static_cast<const char*>(f.GetMemory()), f.GetSize());
}

// A folder tree under /tmp; the base directory is its folder "g", so archives
// of three levels can stand beside "g\data\image", "g\data" and "g".
class PackArchives : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(root_ + "/g/data/image"); }

    // relative to the folder above "g".
    void Put(const std::string& relative, const std::string& bytes) {
        std::ofstream(root_ + "/" + relative, std::ios::binary) << bytes;
    }
    void Remove(const std::string& relative) { std::filesystem::remove(root_ + "/" + relative); }

    // Reads name; the contents when the answer is 0, else the answer as text.
    std::string Read(const std::string& name) {
        CFile f;
        const int32_t r = f.Read(V(name));
        if (r != 0) return "<" + std::to_string(r) + ">";
        return std::string(static_cast<const char*>(f.GetMemory()), f.GetSize());
    }

    TempBaseFolder folder_{"morna-pack", "g"};
    const std::string root_ = folder_.Path();
};

const char* const kMagics[] = {"tovapack", "tovapkEx", "tovapkDx", "packKstr", "Kstrpack"};

}  // namespace

// ---- every magic, packed or not, scrambled or not ------------------------------

class PackFormats : public PackArchives,
                    public ::testing::WithParamInterface<std::tuple<const char*, bool, bool>> {};

TEST_P(PackFormats, EntriesReadBackByteForByte) {
    const auto [magic, pack, scramble] = GetParam();
    const std::string first = Compressible(3000, 'a');
    const std::string second = Compressible(700, 'q');
    const std::string tiny = "x";  // too short to pack: stored as it is beside packed ones
    auto stored = [&](const std::string& s) { return scramble ? Scrambled(s) : s; };
    PackWriter w(magic);
    w.Add("image\\a.tvg", stored(first), pack).Add("tiny.txt", stored(tiny)).Add("b.bin", stored(second), pack);
    Put("g/data.dat", w.Bytes());

    EXPECT_EQ(Read("data\\image\\a.tvg"), first);
    EXPECT_EQ(Read("data/b.bin"), second);
    EXPECT_EQ(Read("data\\tiny.txt"), tiny);
    EXPECT_EQ(Read("data\\missing"), "<1>");

    CFile f;
    ASSERT_EQ(f.Read("data\\b.bin"), 0);
    EXPECT_EQ(static_cast<const char*>(f.GetMemory())[f.GetSize()], '\0');
    // No file on disk holds archived contents: a temporary one is made of them.
    ASSERT_EQ(f.CreateTemporary(false), 0);
    const VTLstring temporary = f.GetName();
    EXPECT_NE(temporary, f.GetFullName("data\\b.bin"));
    EXPECT_EQ(Read(std::string(temporary.c_str(), temporary.size())), second);
}

// Every magic, plain and scrambled, and packed too but for "tovapack", which
// has a single size field.
std::vector<std::tuple<const char*, bool, bool>> FormatCases() {
    std::vector<std::tuple<const char*, bool, bool>> cases;
    for (const char* magic : kMagics) {
        for (bool pack : {false, true}) {
            if (pack && std::string(magic) == "tovapack") continue;
            for (bool scramble : {false, true}) cases.emplace_back(magic, pack, scramble);
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Pack, PackFormats, ::testing::ValuesIn(FormatCases()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + (std::get<1>(info.param) ? "Packed" : "Plain") +
                                    (std::get<2>(info.param) ? "Scrambled" : "Clear");
                         });

// Contents of only the scrambling marker are empty; packKstr positions stand four above the
// data, which follows the header (12 bytes) and the one record (268 bytes).
TEST_F(PackArchives, MarkerOnlyAndKstrPositions) {
    Put("g/data.dat", PackWriter("tovapkEx").Add("m", "TPK1").Bytes());
    EXPECT_EQ(Read("data\\m"), "");
    Remove("g/data.dat");
    Put("g/data.rpl", PackWriter("packKstr").AddRaw("a", "xyz", 3, 3, 12 + 268 + 4).Bytes());
    EXPECT_EQ(Read("data\\a"), "xyz");
}

// ---- the search --------------------------------------------------------------

TEST_F(PackArchives, FoldersAreSearchedNearestFirst) {
    Put("g/data/image.dat", PackWriter("tovapkDx").Add("a.tvg", "image.dat").Add("\x83\x41.TXT", "a-kana").Bytes());
    Put("g/data/image.rpl", PackWriter("tovapack").Add("a.tvg", "image.rpl").Add("r.tvg", "r").Bytes());
    Put("g/data.dat", PackWriter("tovapkEx")
                          .Add("image\\a.tvg", "data.dat")
                          .Add("image\\b.tvg", "b from data.dat")
                          .Add("image/d.tvg", "slash")
                          .Add("\x83\x61.txt", "di")
                          .Bytes());
    Put("g.dat", PackWriter("Kstrpack").Add("Data\\Image\\C.TVG", "top").Add("data\\image\\r.tvg", "r from g.dat").Bytes());

    Put("g/data/image/a.tvg", "disk");
    EXPECT_EQ(Read("data\\image\\a.tvg"), "disk");  // a file on disk wins
    Remove("g/data/image/a.tvg");
    EXPECT_EQ(Read("data\\image\\a.tvg"), "image.dat");
    EXPECT_EQ(Read("data\\image\\b.tvg"), "b from data.dat");  // image.dat lacks it; image.rpl stays hidden
    EXPECT_EQ(Read("data\\image\\r.tvg"), "r from g.dat");
    EXPECT_EQ(Read("DATA\\image\\c.tvg"), "top");  // case does not matter, at any level
    EXPECT_EQ(Read("data\\image\\d.tvg"), "<1>");  // '/' in a stored name never matches a folder
    // A Shift-JIS trail byte is no letter: 83 41 is not 83 61, but matches 83 41 in any case around it.
    EXPECT_EQ(Read("data\\image\\\x83\x41.txt"), "a-kana");
    EXPECT_EQ(Read("data\\\x83\x41.txt"), "<1>");

    Remove("g/data/image.dat");  // now the .rpl beside it is looked at
    EXPECT_EQ(Read("data\\image\\a.tvg"), "image.rpl");
    EXPECT_EQ(Read("data\\image\\r.tvg"), "r");
}

// ---- damaged archives ------------------------------------------------------------

namespace {

struct DamageCase {
    const char* name;
    std::string (*archive)();
    const char* expected;  // "fallback" when the archive is passed over, else "<4>"
};

std::string CountPastTheFile() { return PackWriter("tovapkEx").Add("x.txt", "damaged").SetCount(1000).Bytes(); }
std::string NegativeCount() { return PackWriter("tovapkEx").Add("x.txt", "damaged").SetCount(-1).Bytes(); }
std::string UnknownMagic() {
    std::string b = PackWriter("tovapkEx").Add("x.txt", "damaged").Bytes();
    b[7] = 'y';
    return b;
}
std::string ShortHeader() { return "tovapkEx\x01"; }
std::string TableCutShort() {
    const std::string b = PackWriter("tovapkDx").Add("a", "1").Add("x.txt", "damaged").Bytes();
    return b.substr(0, 12 + 268 + 100);
}
std::string DataPastTheEnd() { return PackWriter("tovapkEx").AddRaw("x.txt", "abc", 10, 10).Bytes(); }
std::string PositionPastTheEnd() { return PackWriter("tovapack").AddRaw("x.txt", "abc", 3, 3, 0x7FFFFFF0).Bytes(); }
std::string SizeThatWraps() { return PackWriter("tovapack").AddRaw("x.txt", "abc", 0xFFFFFFFFu, 0).Bytes(); }
std::string PackedSizeTooLarge() { return PackWriter("tovapkEx").AddRaw("x.txt", "\x00\x00\x00", 100000, 3).Bytes(); }
std::string PackedStreamCut() {
    const std::string full = PackWriter("tovapkEx").Add("x.txt", Compressible(4000, 'k'), true).Bytes();
    const uint32_t stored = static_cast<uint32_t>(full.size() - 12 - 44);
    // Same record with the stream's last 40 bytes gone: it cannot give 4000 bytes.
    return PackWriter("tovapkEx").AddRaw("x.txt", full.substr(12 + 44, stored - 40), 4000, stored - 40).Bytes();
}
std::string KstrPositionBelowFour() { return PackWriter("packKstr").AddRaw("x.txt", "abc", 3, 3, 2).Bytes(); }
std::string NameWithoutNul() {
    return PackWriter("tovapkEx").Add("x.txt", "other").Add("0123456789abcdef0123456789ABCDEF-cut", "whole field").Bytes();
}

}  // namespace

class PackDamage : public PackArchives, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(PackDamage, FailsCleanly) {
    const DamageCase& c = GetParam();
    Put("g.dat", PackWriter("tovapack").Add("data\\x.txt", "fallback").Bytes());
    Put("g/data.dat", c.archive());
    LogCapture log;
    EXPECT_EQ(Read("data\\x.txt"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pack, PackDamage,
    ::testing::Values(DamageCase{"CountPastTheFile", CountPastTheFile, "fallback"},
                      DamageCase{"NegativeCount", NegativeCount, "fallback"},
                      DamageCase{"UnknownMagic", UnknownMagic, "fallback"},
                      DamageCase{"ShortHeader", ShortHeader, "fallback"},
                      DamageCase{"TableCutShort", TableCutShort, "fallback"},
                      DamageCase{"DataPastTheEnd", DataPastTheEnd, "<4>"},
                      DamageCase{"PositionPastTheEnd", PositionPastTheEnd, "<4>"},
                      DamageCase{"SizeThatWraps", SizeThatWraps, "<4>"},
                      DamageCase{"PackedSizeTooLarge", PackedSizeTooLarge, "<4>"},
                      DamageCase{"PackedStreamCut", PackedStreamCut, "<4>"},
                      DamageCase{"KstrPositionBelowFour", KstrPositionBelowFour, "fallback"}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST_F(PackArchives, NameWithoutNulIsCutAtItsField) {
    Put("g/data.dat", NameWithoutNul());
    LogCapture log;
    EXPECT_EQ(Read("data\\0123456789abcdef0123456789abcdef"), "whole field");
}

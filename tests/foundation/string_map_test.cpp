#include "foundation/auxiliary/string_map.h"

#include "foundation/auxiliary/serialize.h"
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

using namespace tovarineGameSDK3rd;
using Auxiliary::CStringMap;
using VTL::VTLstring;

namespace {

// A file in the test's temporary folder, known by its system path and its program name.
class TempFile {
public:
    explicit TempFile(const char* base)
        : path_(::testing::TempDir() + "morna_string_map_" + std::to_string(getpid()) + "_" + base) {
        std::string name;
        EXPECT_TRUE(morna::platform::NameFromSystemPath(path_, name));
        name_ = name.c_str();
    }
    ~TempFile() { std::remove(path_.c_str()); }

    const VTLstring& Name() const { return name_; }
    void Put(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Bytes() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string path_;
    VTLstring name_;
};

std::string Str(const VTLstring& s) { return std::string(s.c_str(), s.size()); }

}  // namespace

// Lines "#key value": comments, lines without a value and text after the value skipped, a
// later line wins, a CR without LF stays in its token; saved sorted with CR LF and read back;
// a failed load or save leaves the map as it was.
TEST(StringMapFile, LoadsAndSaves) {
    TempFile f("load.txt");
    f.Put("// #c comment\r\n#bgm  title.ogg  extra\r\nx y\r\n#alone\r\n#  \r\n#k first\r\n#k second\r\n#t\tv\rw\r\n#last tail");
    CStringMap m;
    m.Write("old", "gone");
    ASSERT_EQ(m.Load(f.Name()), 0);
    EXPECT_EQ(m.GetMap(), (CStringMap::Map{{"bgm", "title.ogg"}, {"k", "second"}, {"t", "v\rw"}, {"last", "tail"}}));

    TempFile g("save.txt");
    CStringMap w;
    w.Write("a", int64_t{1});
    w.Write("B", int64_t{2});
    w.Write("n", int64_t{-9000000000});
    w.Write("jp", "日本語");
    ASSERT_EQ(w.Save(g.Name()), 0);
    EXPECT_EQ(g.Bytes(), "#B 2\r\n#a 1\r\n#jp 日本語\r\n#n -9000000000\r\n");
    CStringMap back;
    ASSERT_EQ(back.Load(g.Name()), 0);
    EXPECT_EQ(back.GetMap(), w.GetMap());

    EXPECT_NE(back.Load("Z:\\no\\such\\dir\\map.txt"), 0);
    EXPECT_EQ(back.Save("Z:\\no\\such\\dir\\map.txt"), 1);
    EXPECT_EQ(back.GetMap(), w.GetMap());
}

TEST(StringMap, NumbersAreStoredAsDecimalText) {
    CStringMap m;
    m.Write("n", int64_t{-42});
    m.Write("s", "abc");
    m.Write("big", int64_t{0x100000005});
    VTLstring text;
    EXPECT_EQ(m.Read("n", text), 0);
    EXPECT_EQ(Str(text), "-42");
    EXPECT_EQ(m.GetNumber("n", 7), -42);
    EXPECT_EQ(m.GetNumber("missing", 7), 7);
    EXPECT_EQ(m.GetNumber("s", 7), 7);
    EXPECT_EQ(m.GetNumber("big", 7), 5);  // the low 32 bits
    EXPECT_EQ(m.GetNumber64("big", 7), 0x100000005);

    int64_t out = 5;
    EXPECT_EQ(m.ReadNumber("missing", out), -1);
    EXPECT_EQ(out, 0);
    EXPECT_EQ(m.ReadNumber("s", out), 1);
    EXPECT_EQ(m.Read("missing", text), -1);
    EXPECT_TRUE(text.empty());
}

TEST(StringMap, AppendEraseAndEmptyValues) {
    CStringMap m;
    m.Write("k", "ab");
    m.Append("k", "xy");
    m.Append("k", "");
    m.Append("new", "xy");
    EXPECT_EQ(Str(m.GetString("k", "")), "abxy");
    EXPECT_EQ(Str(m.GetString("new", "")), "xy");
    m.Write("e", "");
    EXPECT_EQ(Str(m.GetString("e", "def")), "def");
    EXPECT_TRUE(m.Erase("k"));
    EXPECT_FALSE(m.Erase("k"));
}

TEST(StringMap, ReplaceAppliesEntriesInKeyOrder) {
    CStringMap m;
    m.Write("$A", int64_t{1});
    m.Write("$AB", int64_t{2});
    VTLstring text = "$AB";
    m.Replace(text, true);
    EXPECT_EQ(Str(text), "1B");

    CStringMap names;
    names.Write("name", "Kestrel");
    VTLstring t1 = "Hello NAME and name", t2 = t1;
    names.Replace(t1, true);
    names.Replace(t2, false);
    EXPECT_EQ(Str(t1), "Hello NAME and Kestrel");
    EXPECT_EQ(Str(t2), "Hello Kestrel and Kestrel");
}

TEST(StringMapStream, StoresCountThenKeysAndValues) {
    CStringMap m;
    m.Write("k", "v");
    Auxiliary::CSerialize ar;
    m.Serialize(ar);
    const std::vector<uint8_t> expected{0x01, 0x00, 0x00, 0x00, 0x6B, 0x00, 0x76, 0x00};
    EXPECT_EQ(ar.GetData(), expected);
}

TEST(StringMapStream, RoundTripsAndARepeatedKeyKeepsItsFirstValue) {
    CStringMap m;
    m.Write("a", "1");
    m.Write("b", "");
    m.Write("c", "日本");
    Auxiliary::CSerialize ar;
    m.Serialize(ar);
    ar.SetStoring(false);
    CStringMap back;
    back.Write("stale", "x");
    back.Serialize(ar);
    EXPECT_EQ(back.GetMap(), m.GetMap());

    Auxiliary::CSerialize dup;
    dup.GetData() = {0x02, 0, 0, 0, 'k', 0, '1', 0, 'k', 0, '2', 0};
    dup.SetStoring(false);
    back.Serialize(dup);
    ASSERT_EQ(back.GetMap().size(), 1u);
    EXPECT_EQ(Str(back.GetString("k", "")), "1");

    // A count beyond the data fails the archive and keeps the map.
    Auxiliary::CSerialize cut;
    cut.GetData() = {0xFF, 0xFF, 0xFF, 0x7F, 'x', 0, 'y', 0};
    cut.SetStoring(false);
    back.Serialize(cut);
    EXPECT_TRUE(cut.IsFailed());
    EXPECT_EQ(Str(back.GetString("k", "")), "1");
    EXPECT_EQ(back.GetMap().size(), 1u);
}

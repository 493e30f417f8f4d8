#include "foundation/appframe/app_initializer.h"
#include "foundation/auxiliary/file.h"
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <list>
#include <algorithm>
#include <sstream>
#include <string>
#include <unistd.h>

using tovarineGameSDK3rd::Auxiliary::CFile;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

std::string S(const VTLstring& v) { return std::string(v.c_str(), v.size()); }
VTLstring V(const std::string& s) { return VTLstring(s.data(), static_cast<VTLstring::size_type>(s.size())); }

VTLstring MemoryName(const void* p, size_t n) {
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)), n);
    return name;
}

// Reads text through a memory name; the text is kept for the whole run, as a
// memory name only borrows it.
void ReadText(CFile& f, std::string text) {
    static std::list<std::string> kept;
    kept.push_back(std::move(text));
    ASSERT_EQ(f.Read(MemoryName(kept.back().data(), kept.back().size())), 0);
}

// Keeps the process-wide base directory as it was.
class BaseDirectoryGuard {
public:
    BaseDirectoryGuard() : saved_(CFile::GetBaseDirectory()) {}
    ~BaseDirectoryGuard() { CFile::SetBaseDirectory(saved_); }

private:
    VTLstring saved_;
};

}  // namespace

// ---- names -------------------------------------------------------------------

struct FullNameCase {
    const char* name;
    const char* full;
};

class FullNames : public ::testing::TestWithParam<FullNameCase> {};

TEST_P(FullNames, AgainstTheBaseDirectory) {
    EXPECT_EQ(S(CFile::GetFullName(GetParam().name, "D:\\g\\")), GetParam().full);
}

INSTANTIATE_TEST_SUITE_P(File, FullNames, ::testing::Values(
    FullNameCase{"a/b.txt", "D:\\g\\a\\b.txt"},
    FullNameCase{"..\\x", "D:\\x"},
    FullNameCase{"./y", "D:\\g\\y"},
    FullNameCase{"\\z", "D:\\g\\z"},
    FullNameCase{"E:/q", "E:\\q"},
    FullNameCase{"../../../x", "D:\\x"},          // a root has no parent
    FullNameCase{".\\..\\/./w", "D:\\w"},
    FullNameCase{"\\\\srv\\s/x", "\\\\srv\\s\\x"},  // network names stay but for '/'
    FullNameCase{"Z:/home/a", "Z:\\home\\a"},
    FullNameCase{"\x83\x5C/b", "D:\\g\\\x83\x5C\\b"},  // ソ keeps its 5C trail byte
    FullNameCase{"\x83/x", "D:\\g\\\x83/x"},           // a trail byte '/' is no separator
    FullNameCase{"", "D:\\g\\"}));

TEST(File, ParentDirectories) {
    const std::pair<const char*, const char*> climbs[] = {
        {"D:\\g\\h\\", "D:\\g\\"}, {"D:\\g\\h", "D:\\g\\"}, {"D:/g/", "D:/"}, {"abc", "abc\\"},
        {"\\\\srv\\share\\dir\\", "\\\\srv\\share\\"}, {"D:\\\x83\x5C\\", "D:\\"},
    };
    for (const auto& [from, to] : climbs) {
        VTLstring p = from;
        EXPECT_TRUE(CFile::GetParentDirectory(p)) << from;
        EXPECT_EQ(S(p), to) << from;
    }
    for (const char* root : {"D:\\", "\\\\srv\\share\\", "\\\\", "", "\\"}) {
        VTLstring p = root;
        EXPECT_FALSE(CFile::GetParentDirectory(p)) << root;
        EXPECT_EQ(S(p), root);
    }
}

TEST(File, RecordingTheBaseDirectory) {
    BaseDirectoryGuard guard;
    const std::pair<const char*, const char*> cases[] = {
        {"Z:\\a", "Z:\\a\\"}, {"Z:\\a\\", "Z:\\a\\"}, {"Z:/a/", "Z:/a/"},
        {"\"Z:\\dir\\app.exe\"", "Z:\\dir\\"}, {"\"Z:\\dir", "Z:\\dir\\"},
    };
    for (const auto& [given, recorded] : cases) {
        CFile::SetBaseDirectory(given);
        EXPECT_EQ(S(CFile::GetBaseDirectory()), recorded) << given;
    }
    // Nothing recorded: the current directory, as a Z: name.
    CFile::ClearBaseDirectory();
    std::string cwd;
    ASSERT_TRUE(morna::platform::CurrentDirectoryName(cwd));
    EXPECT_EQ(S(CFile::GetBaseDirectory()), cwd == "Z:\\" ? cwd : cwd + "\\");
}

TEST(File, PureFileNameAndSuffix) {
    // A name that is not found stays the object's name.
    const char* cases[][3] = {
        {"dir.old\\file", "file", ""}, {"a.tar.gz", "a.tar.gz", "gz"}, {"x/y\\z.txt", "z.txt", "txt"},
        {"d\\\x83\x5C.bmp", "\x83\x5C.bmp", "bmp"}, {"dir\\", "", ""}, {"\x83/", "\x83/", ""},
    };
    for (const auto& c : cases) {
        CFile f;
        const VTLstring name = VTLstring("Z:\\no-such-dir\\") + c[0];
        EXPECT_EQ(f.Read(name), 1);
        EXPECT_EQ(S(f.GetPureFileName()), c[1]) << c[0];
        EXPECT_EQ(S(f.GetSuffix()), c[2]) << c[0];
    }
    CFile empty;
    EXPECT_EQ(S(empty.GetPureFileName()), "");
    EXPECT_EQ(S(empty.GetSuffix()), "");
}

// ---- the readers over the contents ---------------------------------------------

// A reader's script: the contents (none: nothing read yet), then calls with the answer and
// what they leave in their buffer ("-": not looked at; buffers start as "zz"). L ReadLine,
// R ReadLineRaw(limit), Q ReadQuotedString(limit), D ReadData(limit), 0 ResetReadPointer.
struct Call {
    char op;
    int limit;
    int answer;
    std::string out;
};
struct Script {
    const char* name;
    const char* text;
    std::vector<Call> calls;
};

TEST(File, Readers) {
    const std::string q254 = "\"" + std::string(254, 'x') + "\r\n", q252 = "\"" + std::string(252, 'x') + "\"\r\n";
    const Script scripts[] = {
        {"nothing read", nullptr, {{'L', 0, 3, "-"}, {'R', 4, 3, "-"}, {'Q', 64, 1, "-"}, {'D', 1, 2, "-"}}},
        // Lines end at CR LF only; a lone CR or LF, or a CR at the very end, is part of the line.
        {"lone CR and LF", "a\rb\nc\r\n", {{'L', 0, 0, "a\rb\nc"}, {'L', 0, 1, "-"}}},
        {"empty line", "one\r\n\r\nlast",
         {{'L', 0, 0, "one"}, {'L', 0, 0, ""}, {'L', 0, 0, "last"}, {'L', 0, 1, "-"}, {'L', 0, 1, "-"}, {'0', 0, 0, "-"},
          {'L', 0, 0, "one"}}},
        {"CR at the end", "x\r", {{'L', 0, 0, "x\r"}}},
        {"empty", "", {{'L', 0, 1, "-"}}},
        // Raw lines are cut to their buffer; the limit is tested before the CR LF.
        {"raw", "abcdef\r\ng",
         {{'R', 4, 2, "abc"}, {'R', 4, 2, "def"}, {'R', 4, 0, ""}, {'R', 4, 0, "g"}, {'R', 4, 1, "-"}, {'0', 0, 0, "-"},
          {'R', 1, 2, ""}, {'R', 0, 2, "zz"}}},  // no room even for the NUL: nothing written
        // Quoted strings span lines (LF inside); an END line or an unclosed one ends the list.
        {"quoted", "\"ab\r\ncd\"\r\n\"one line\"\r\n\"\"\r\n\"END\"\r\n\"after\"\r\n",
         {{'Q', 64, 0, "ab\ncd"}, {'Q', 64, 0, "one line"}, {'Q', 64, 0, ""}, {'Q', 64, 1, "-"}}},
        {"unclosed", "\"unclosed\r\nrest", {{'Q', 64, 1, ""}}},
        // The string and its NUL must fit: 5 bytes hold "abcd" but not "abcde".
        {"quoted limit", "\"abcd\"\r\n\"abcde\"\r\n\"ab\r\ncdefgh\"\r\n",
         {{'Q', 5, 0, "abcd"}, {'Q', 5, 1, "-"}, {'Q', 5, 1, "-"}, {'Q', 0, 1, "-"}}},
        {"255-byte line", q254.c_str(), {{'Q', 64, 1, "-"}}},  // a line of 255 bytes or more ends the list
        {"252 bytes", q252.c_str(), {{'Q', 300, 0, std::string(252, 'x')}}},
        // Data is copied only within the contents.
        {"data", "abcdef",
         {{'D', 2, 0, "ab"}, {'D', 5, 1, "zz"}, {'D', -1, 1, "zz"}, {'D', 0, 0, "-"}, {'D', 4, 0, "cdef"},
          {'D', 0, 1, "-"}}},
    };
    for (const Script& sc : scripts) {
        CFile f;
        if (sc.text) ReadText(f, sc.text);
        int step = 0;
        for (const Call& c : sc.calls) {
            std::string out(std::max(c.limit, 4) + 1, '\0');
            out.replace(0, 2, "zz");
            VTLstring line = "zz";
            int answer = 0;
            switch (c.op) {
                case 'L': answer = f.ReadLine(line), out = S(line); break;
                case 'R': answer = f.ReadLineRaw(out.data(), c.limit), out = out.c_str(); break;
                case 'Q': answer = f.ReadQuotedString(out.data(), c.limit), out = out.c_str(); break;
                case 'D': answer = f.ReadData(out.data(), c.limit), out = answer ? out.c_str() : out.substr(0, c.limit); break;
                default: f.ResetReadPointer();
            }
            EXPECT_EQ(answer, c.answer) << sc.name << " step " << step;
            EXPECT_TRUE(c.out == "-" || out == c.out) << sc.name << " step " << step << ": " << out;
            ++step;
        }
    }
}

TEST(File, MemoryNames) {
    const std::string text = "TPK1abc";
    CFile f;
    ASSERT_EQ(f.Read(MemoryName(text.data(), text.size())), 0);
    EXPECT_EQ(f.GetMemory(), text.data());  // borrowed, never copied; no marker test
    EXPECT_EQ(f.GetSize(), 7u);
    EXPECT_EQ(f.Read("!1a2b3c"), 6);
    EXPECT_EQ(S(f.GetName()), "!1a2b3c");
    EXPECT_EQ(f.Read(""), -1);
    EXPECT_EQ(S(f.GetName()), "!1a2b3c");  // an empty name leaves the object alone
}

// ---- files on disk -------------------------------------------------------------

namespace {

class FileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/morna-file-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        std::string name;
        ASSERT_TRUE(morna::platform::NameFromSystemPath(dir_, name));
        CFile::SetBaseDirectory(V(name));
        ::mkdir((dir_ + "/data").c_str(), 0755);
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    void Put(const std::string& relative, const std::string& bytes) {
        std::ofstream(dir_ + "/" + relative, std::ios::binary) << bytes;
    }
    std::string Get(const std::string& relative) {
        std::ifstream in(dir_ + "/" + relative, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& relative) { return ::access((dir_ + "/" + relative).c_str(), F_OK) == 0; }

    BaseDirectoryGuard guard_;
    std::string dir_;
};

}  // namespace

TEST_F(FileOnDisk, ReadsThroughTheBaseDirectory) {
    Put("data/\xE3\x82\xBD.txt", "line1\r\nline2");  // ソ.txt, named in UTF-8 on disk
    CFile f;
    ASSERT_EQ(f.Read("data\\\x83\x5C.txt"), 0);
    EXPECT_EQ(f.GetSize(), 12u);
    EXPECT_EQ(static_cast<const char*>(f.GetMemory())[12], '\0');
    VTLstring line;
    ASSERT_EQ(f.ReadLine(line), 0);
    EXPECT_EQ(S(line), "line1");
    std::vector<uint8_t> bytes;
    ASSERT_EQ(f.ReadVector("./data/\x83\x5C.txt", bytes), 0);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "line1\r\nline2");

    EXPECT_EQ(f.Read("data\\missing.txt"), 1);
    EXPECT_EQ(f.Read("data\\\x83"), 1);  // a name that does not convert is not found
    EXPECT_EQ(f.Read("C:\\data\\x.txt"), 1);
    Put("empty", "");
    ASSERT_EQ(f.Read("empty"), 0);
    EXPECT_EQ(f.GetSize(), 0u);
    EXPECT_EQ(f.ReadLine(line), 1);
    EXPECT_EQ(f.Read("data"), 1);  // a folder is no file
}

TEST_F(FileOnDisk, WritesAndTheirResults) {
    CFile f;
    ASSERT_EQ(f.Write("data\\out.bin", "a\nb", 3), 0);
    EXPECT_EQ(Get("data/out.bin"), "a\nb");  // whole-file writes are binary
    ASSERT_EQ(f.WriteVector("data\\out.bin", {1, 2}), 0);
    EXPECT_EQ(Get("data/out.bin"), std::string("\x01\x02", 2));
    EXPECT_EQ(f.Write("nofolder\\x", "a", 1), 1);
    EXPECT_EQ(f.Write("data", "a", 1), 1);

    EXPECT_EQ(f.WriteString("x"), -1);
    ASSERT_EQ(f.Open("data\\map.txt", "w"), 0);
    EXPECT_EQ(S(f.GetName()), S(CFile::GetBaseDirectory()) + "data\\map.txt");
    EXPECT_EQ(f.WriteString("#key value\n#k2 v\n"), 0);
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(Get("data/map.txt"), "#key value\r\n#k2 v\r\n");
    EXPECT_EQ(f.Open("data\\none.txt", "rb"), 1);
}

TEST_F(FileOnDisk, WriteLinesGoThroughTextMode) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(dir_.c_str()), 0);  // the name is taken against the current directory
    CFile f;
    const int32_t r = f.WriteLines("data\\lines.txt", {"a\n", "b", "c\n"});
    const int32_t bad = f.WriteLines("nofolder\\x.txt", {"a"});
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Get("data/lines.txt"), "a\r\nbc\r\n");
    EXPECT_EQ(bad, 1);
}

TEST_F(FileOnDisk, ScrambledContentsRoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    Put("plain.bin", all);
    CFile f;
    ASSERT_EQ(f.Read("plain.bin"), 0);
    ASSERT_EQ(f.Scramble(), 0);
    EXPECT_EQ(f.GetSize(), 260u);  // the stored form, marker and all
    EXPECT_EQ(f.Scramble(), 1);    // the cursor already stands on the marker
    ASSERT_EQ(f.Save("scrambled.bin"), 0);
    const std::string stored = Get("scrambled.bin");
    ASSERT_EQ(stored.size(), 260u);
    EXPECT_EQ(stored.substr(0, 4), "TPK1");
    EXPECT_NE(stored.substr(4), all);
    ASSERT_EQ(f.Read("scrambled.bin"), 0);
    EXPECT_EQ(f.GetSize(), 256u);
    EXPECT_EQ(std::string(static_cast<const char*>(f.GetMemory()), 256), all);
    EXPECT_EQ(f.Scramble(), 1);  // marked
    Put("marker", "TPK1");
    ASSERT_EQ(f.Read("marker"), 0);
    EXPECT_EQ(f.GetSize(), 0u);
    f.Close();
    EXPECT_EQ(f.GetSize(), 0u);  // the flag outlives Close, the size does not
    EXPECT_EQ(f.GetMemory(), nullptr);
    EXPECT_EQ(f.Scramble(), 1);
}

TEST_F(FileOnDisk, TemporaryFiles) {
    Put("disk.txt", "on disk");
    CFile f;
    EXPECT_EQ(f.CreateTemporary(false), 1);
    ASSERT_EQ(f.Read("disk.txt"), 0);
    ASSERT_EQ(f.CreateTemporary(false), 0);  // the file itself serves
    EXPECT_EQ(f.GetMemory(), nullptr);
    EXPECT_EQ(S(f.GetPureFileName()), "disk.txt");

    const std::string text = "from memory";
    ASSERT_EQ(f.Read(MemoryName(text.data(), text.size())), 0);
    ASSERT_EQ(f.CreateTemporary(false), 0);
    const std::string made = S(f.GetName());
    std::string tmp;
    ASSERT_TRUE(morna::platform::TemporaryFolderName(tmp));
    EXPECT_EQ(made.compare(0, tmp.size() + 3, tmp + "TVR"), 0) << made;
    std::string path;
    ASSERT_TRUE(morna::platform::SystemPathFromName(made, path));
    std::ifstream in(path, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, text);
    f.Close();  // deletes it
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    EXPECT_EQ(f.DeleteTemporary(""), -1);
    EXPECT_EQ(f.DeleteTemporary("no-such-file"), 1);
}

TEST_F(FileOnDisk, SearchPathPrefixesAreTriedInOrder) {
    ::mkdir((dir_ + "/p1").c_str(), 0755);
    ::mkdir((dir_ + "/p2").c_str(), 0755);
    Put("p2/only.txt", "two");
    CFile::SearchPathList paths(new std::vector<VTLstring>{"p1", "p2"});
    CFile::SetSearchPath(paths);
    CFile f;
    const int32_t r = f.Read("only.txt");
    const VTLstring name = f.GetName();
    const int32_t opened = f.Open("only.txt", "rb");
    const VTLstring openedName = f.GetName();
    f.Close();
    CFile::SetSearchPath(nullptr);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(S(name), "p2/only.txt");
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(S(openedName), "p2/only.txt");
    EXPECT_EQ(f.Read("only.txt"), 1);
}

TEST_F(FileOnDisk, TheApplicationRecordsTheBaseDirectoryAtStart) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    std::string here, there;
    ASSERT_TRUE(morna::platform::NameFromSystemPath(cwd, here));
    ASSERT_TRUE(morna::platform::NameFromSystemPath(dir_ + "/data", there));
    CFile::SetBaseDirectory("Z:\\elsewhere\\");
    ASSERT_EQ(::chdir((dir_ + "/data").c_str()), 0);
    VTLstring during;
    {
        tovarineGameSDK3rd::AppFrame::CAppInitializer init(nullptr, nullptr, "", 1);
        during = CFile::GetBaseDirectory();
    }
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_EQ(S(during), there + "\\");
    // Forgotten at the end: asked again, it is the current directory once more.
    EXPECT_EQ(S(CFile::GetBaseDirectory()), here + "\\");
}

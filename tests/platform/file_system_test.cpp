#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mp = morna::platform;

namespace {

// A fresh folder under the temporary folder, removed with its files afterwards.
class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/morna-fs-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_TRUE(mp::NameFromSystemPath(dir_, name_));
        name_ += '\\';
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir_;   // POSIX
    std::string name_;  // Z:\...\ form
};

}  // namespace

TEST(FileSystemNames, MapDriveZOntoThePosixRoot) {
    std::string path, name;
    ASSERT_TRUE(mp::SystemPathFromName("Z:\\home\\a\\x.rpl", path));
    EXPECT_EQ(path, "/home/a/x.rpl");
    ASSERT_TRUE(mp::NameFromSystemPath("/home/a/x.rpl", name));
    EXPECT_EQ(name, "Z:\\home\\a\\x.rpl");
    // ソ is 83 5C: its trail byte stays, and the name arrives in UTF-8.
    ASSERT_TRUE(mp::SystemPathFromName("Z:\\d\\\x83\x5C\\f", path));
    EXPECT_EQ(path, "/d/\xE3\x82\xBD/f");
    ASSERT_TRUE(mp::NameFromSystemPath("/d/\xE3\x82\xBD/f", name));
    EXPECT_EQ(name, "Z:\\d\\\x83\x5C\\f");
}

TEST(FileSystemNames, OtherFormsNameNoFile) {
    std::string path;
    EXPECT_FALSE(mp::SystemPathFromName("C:\\x", path));
    EXPECT_FALSE(mp::SystemPathFromName("\\\\server\\share\\x", path));
    EXPECT_FALSE(mp::SystemPathFromName("relative\\x", path));
    EXPECT_FALSE(mp::SystemPathFromName("Z:\\bad\\\x83", path));  // lead byte without trail
    EXPECT_FALSE(mp::SystemPathFromName(std::string_view("Z:\\a\0b", 6), path));
    std::string name;
    EXPECT_FALSE(mp::NameFromSystemPath("relative/x", name));
    EXPECT_EQ(mp::OpenFile("Z:\\no\\\x83", "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(FileSystemTest, TextStreamsWriteCrLf) {
    std::FILE* f = mp::OpenFile(name_ + "t.txt", "w");
    ASSERT_NE(f, nullptr);
    std::fputs("a\nb\r\n\n", f);
    ASSERT_EQ(std::fclose(f), 0);
    EXPECT_EQ(Slurp(dir_ + "/t.txt"), "a\r\nb\r\r\n\r\n");
    f = mp::OpenFile(name_ + "b.bin", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("a\n", f);
    ASSERT_EQ(std::fclose(f), 0);
    EXPECT_EQ(Slurp(dir_ + "/b.bin"), "a\n");
    EXPECT_EQ(mp::OpenFile(name_.substr(0, name_.size() - 1), "rb"), nullptr);  // a folder is no file
    f = mp::OpenFile(name_ + "t.txt", "r");  // reading is never translated
    ASSERT_NE(f, nullptr);
    char buf[16] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 9u);
    std::fclose(f);
}

TEST_F(FileSystemTest, WholeFileWritesReplaceByRename) {
    const std::string target = name_ + "save.sav";
    ASSERT_EQ(mp::WriteWholeFile(target, "old", 3), mp::WriteResult::kOk);
    ::chmod((dir_ + "/save.sav").c_str(), 0640);
    ASSERT_EQ(mp::WriteWholeFile(target, "new!", 4), mp::WriteResult::kOk);
    EXPECT_EQ(Slurp(dir_ + "/save.sav"), "new!");
    struct stat st;
    ASSERT_EQ(::stat((dir_ + "/save.sav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_EQ(mp::WriteWholeFile(target, "", 0), mp::WriteResult::kOk);
    EXPECT_EQ(Slurp(dir_ + "/save.sav"), "");
    // Nothing but the target is left in the folder.
    EXPECT_EQ(std::system(("test $(ls -A '" + dir_ + "' | wc -l) -eq 1").c_str()), 0);

    // A killed writer's leftovers of this file go; look-alikes, other files' and a live
    // writer's stay.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone), live = std::to_string(::getppid());
    const std::string me = std::to_string(::getpid());
    const std::vector<std::string> keep = {".save.sav.TVR" + live + "-1", ".save.sav.TVR" + me + "-99", ".other.sav.TVR" + dead + "-1",
                                           ".save.sav.TVR" + dead + "-", ".save.sav.TVR" + dead + "-1x",
                                           "save.sav.TVR" + dead + "-1", ".save.sav.TVRx-1"};
    for (const std::string& n : keep) std::ofstream(dir_ + "/" + n) << "k";
    for (const std::string& n : {".save.sav.TVR" + dead + "-0", ".save.sav.TVR" + dead + "-17"})
        std::ofstream(dir_ + "/" + n) << "half";
    std::ofstream(dir_ + "/.save.sav.TVR" + me + "-98") << "half";  // our id, before we began
    const timeval old[2] = {{1000, 0}, {1000, 0}};
    ::utimes((dir_ + "/.save.sav.TVR" + me + "-98").c_str(), old);
    ASSERT_EQ(mp::WriteWholeFile(target, "x", 1), mp::WriteResult::kOk);
    EXPECT_EQ(std::system(("test $(ls -A '" + dir_ + "' | wc -l) -eq 8").c_str()), 0);
    for (const std::string& n : keep) EXPECT_EQ(Slurp(dir_ + "/" + n), "k") << n;

    EXPECT_EQ(mp::WriteWholeFile(name_ + "missing\\x", "a", 1), mp::WriteResult::kCannotCreate);
    ::mkdir((dir_ + "/sub").c_str(), 0755);
    EXPECT_EQ(mp::WriteWholeFile(name_ + "sub", "a", 1), mp::WriteResult::kCannotCreate);
    EXPECT_EQ(mp::WriteWholeFile("C:\\x", "a", 1), mp::WriteResult::kCannotCreate);
}

TEST_F(FileSystemTest, UniqueFilesRenameAndRemove) {
    std::string made;
    ASSERT_TRUE(mp::CreateUniqueFile(name_, "TVR", made));
    EXPECT_EQ(made.compare(0, name_.size() + 3, name_ + "TVR"), 0) << made;
    EXPECT_EQ(made.substr(made.size() - 4), ".tmp");
    std::string other;
    ASSERT_TRUE(mp::CreateUniqueFile(name_, "TVR", other));
    EXPECT_NE(made, other);
    ASSERT_TRUE(mp::RenameFile(made, name_ + "\x83\x5C.dat"));
    std::string path;
    ASSERT_TRUE(mp::SystemPathFromName(name_ + "\x83\x5C.dat", path));
    EXPECT_EQ(::access(path.c_str(), F_OK), 0);
    EXPECT_TRUE(mp::RemoveFile(name_ + "\x83\x5C.dat"));
    EXPECT_FALSE(mp::RemoveFile(name_ + "\x83\x5C.dat"));
    std::string tmp;
    ASSERT_TRUE(mp::TemporaryFolderName(tmp));
    EXPECT_EQ(tmp.substr(0, 3), "Z:\\");
    EXPECT_EQ(tmp.back(), '\\');
}

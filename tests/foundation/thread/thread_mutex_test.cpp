// The single-instance mutex, across processes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "foundation/thread/mutex.h"
#include "platform/module_path.h"
#include "platform/named_lock.h"

namespace {

using tovarineGameSDK3rd::Thread::CMutex;
using tovarineGameSDK3rd::VTL::VTLstring;

// A child is this test program started again with MORNA_MUTEX_CHILD set to the
// mutex name ("" for the executable's): it asks IsFirstInstance and exits 0 when
// admitted, 1 when refused. With MORNA_MUTEX_HOLD set it writes one byte to fd 1
// once admitted and holds the mutex until killed.
const bool g_childRan = [] {
    const char* name = std::getenv("MORNA_MUTEX_CHILD");
    if (!name) return false;
    CMutex mutex;
    const bool first = mutex.IsFirstInstance(VTLstring(name));
    if (first && std::getenv("MORNA_MUTEX_HOLD")) {
        (void)!write(1, "1", 1);
        for (;;) pause();
    }
    _exit(first ? 0 : 1);
}();

// Starts the child; with hold, answers once it holds the mutex.
pid_t StartChild(const std::string& name, bool hold) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        setenv("MORNA_MUTEX_CHILD", name.c_str(), 1);
        if (hold) setenv("MORNA_MUTEX_HOLD", "1", 1);
        execl("/proc/self/exe", "thread_tests", "--gtest_list_tests", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (hold && pid > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1) {
            close(fds[0]);
            return -1;
        }
    }
    close(fds[0]);
    return pid;
}

// The exit code of a child that asks once and ends.
int AskInChild(const std::string& name) {
    const pid_t pid = StartChild(name, false);
    if (pid < 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string UniqueName(const char* what) { return std::string("morna-test-") + what + "-" + std::to_string(getpid()); }

TEST(NamedMutex, ASecondProcessIsRefusedWhileTheFirstHoldsIt) {
    ASSERT_FALSE(g_childRan);
    // The program's own case: the mutex named after the executable.
    {
        CMutex mutex;
        ASSERT_TRUE(mutex.IsFirstInstance(VTLstring("")));
        EXPECT_EQ(AskInChild(""), 1);
    }
    EXPECT_EQ(AskInChild(""), 0);
}

TEST(NamedMutex, AKilledHolderLetsTheNextProcessIn) {
    const std::string name = UniqueName("killed");
    const pid_t holder = StartChild(name, true);
    ASSERT_GT(holder, 0);
    EXPECT_EQ(AskInChild(name), 1);
    CMutex mine;
    EXPECT_FALSE(mine.IsFirstInstance(VTLstring(name.c_str())));
    kill(holder, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_EQ(AskInChild(name), 0);
    // The refused mutex stayed open, and Wait takes it now that it is free.
    mine.Wait();
    EXPECT_EQ(AskInChild(name), 1);
}

TEST(NamedMutex, OpenAnswersAndCloseReleases) {
    const std::string name = UniqueName("open");
    CMutex a, b;
    EXPECT_EQ(a.Open(VTLstring(name.c_str())), 0);
    EXPECT_EQ(b.Open(VTLstring(name.c_str())), 1);
    a.Close();
    EXPECT_EQ(b.Open(VTLstring(name.c_str())), 0);
    EXPECT_EQ(a.Open(VTLstring(name.c_str())), 1);
}

TEST(NamedMutex, TheExecutablesNameUsesQuestionMarksForSeparators) {
    const std::string path = morna::platform::ExecutablePath();
    ASSERT_EQ(path.rfind("Z:\\", 0), 0u) << path;
    std::string expected = path;
    for (char& c : expected) {
        if (c == '\\') c = '?';
    }
    EXPECT_STREQ(CMutex::ExecutableMutexName().c_str(), expected.c_str());
    EXPECT_EQ(expected.find('\\'), std::string::npos);
}

TEST(NamedMutex, LockFileNamesStayDistinctAndShort) {
    using morna::platform::NamedLock;
    const std::string a = NamedLock::FileName("Z:?a/b%c");
    EXPECT_NE(a.find("Z:?a%2Fb%25c"), std::string::npos) << a;
    // Shift-JIS inside, UTF-8 on disk: "ソ" is 83 5C.
    EXPECT_NE(NamedLock::FileName("\x83\x5C").find("\xE3\x82\xBD"), std::string::npos);
    const std::string longA(400, 'x');
    std::string longB = longA;
    longB.back() = 'y';
    const std::string fa = NamedLock::FileName(longA), fb = NamedLock::FileName(longB);
    EXPECT_NE(fa, fb);
    EXPECT_LE(fa.size() - fa.rfind('/') - 1, 255u);
    EXPECT_LE(fb.size() - fb.rfind('/') - 1, 255u);
}

}  // namespace

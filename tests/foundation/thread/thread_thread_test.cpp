// CThread: start, stop requests, interrupts, its monitor, and the manager.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/event.h"
#include "foundation/thread/thread.h"
#include "foundation/thread/thread_manager.h"
#include "foundation/vtl/exception.h"
#include "foundation/vtl/function_callback.h"
#include "tests/common/log_capture.h"

namespace {

using namespace tovarineGameSDK3rd::Thread;
using tovarineGameSDK3rd::AppFrame::CAppInitializer;
using tovarineGameSDK3rd::VTL::CInterruptedException;
using tovarineGameSDK3rd::VTL::CRuntimeException;
using tovarineGameSDK3rd::VTL::function_callback;
using tovarineGameSDK3rd::VTL::function_callback_vm0;
using tovarineGameSDK3rd::VTL::smart_ptr;

constexpr uint32_t kLong = 60000;

// A thread whose work is a function of the thread itself.
class FnThread : public CThread {
public:
    explicit FnThread(std::function<void(FnThread&)> fn, std::atomic<int>* destroyed = nullptr,
                      uint32_t stackSize = 0)
        : CThread(stackSize), m_fn(std::move(fn)), m_destroyed(destroyed) {}
    ~FnThread() override {
        // Joined here, while the function it runs still exists.
        StopThread();
        if (m_destroyed) ++*m_destroyed;
    }
    void ThreadProc() override {
        m_fn(*this);
        m_done.Set();
    }
    // Lets the work run to its end, then joins: a StopThread right away would
    // request a stop that the work might still see.
    int32_t Finish() {
        EXPECT_EQ(m_done.Wait(kLong), 0);
        return StopThread();
    }

private:
    std::function<void(FnThread&)> m_fn;
    CEvent m_done;
    std::atomic<int>* m_destroyed;
};

// Every test runs as the program does: inside a CAppInitializer.
class ThreadTest : public ::testing::Test {
protected:
    CAppInitializer m_init{nullptr, nullptr, "", 1};
};

// Waits until the thread has set `flag` under its monitor's lock, then runs act under it.
template <class Act>
void WhenFlagged(CThread& t, const bool& flag, Act act) {
    for (;;) {
        {
            CCriticalLock lock(t.GetMonitor().GetLock());
            if (flag) {
                act();
                return;
            }
        }
        std::this_thread::yield();
    }
}

// StopThread answers 0 unstarted, joined or again, 2 from the thread itself (which keeps its
// id); running only while the body runs, invalid after it, joined or not; the first thread is
// known and is no CThread.
TEST_F(ThreadTest, Lifecycle) {
    int32_t fromItself = -1;
    bool validInside = false, runningInside = false;
    IThread* current = nullptr;
    CEvent done;
    FnThread t([&](FnThread& self) {
        validInside = self.IsThreadValid();
        runningInside = self.IsThreadRunning();
        current = GetCurrentThread();
        fromItself = self.StopThread();
        done.Set();
    });
    EXPECT_EQ(t.StopThread(), 0);
    EXPECT_EQ(t.GetThreadId(), -1);
    EXPECT_FALSE(t.IsThreadRunning());
    ASSERT_EQ(t.CreateThread(), 0);
    const int32_t id = t.GetThreadId();
    EXPECT_GT(id, 0);
    EXPECT_NE(id, GetCurrentThreadId());
    ASSERT_EQ(done.Wait(kLong), 0);
    EXPECT_EQ(t.GetThreadId(), id);
    CThreadManager::GetInstance()->WaitAll();  // ended by itself, not yet joined
    EXPECT_FALSE(t.IsThreadRunning());
    EXPECT_NE(t.GetThreadHandle(), nullptr);
    EXPECT_EQ(t.Finish(), 0);
    EXPECT_EQ(fromItself, 2);
    EXPECT_TRUE(validInside);
    EXPECT_TRUE(runningInside);
    EXPECT_EQ(current, &t);
    EXPECT_FALSE(t.IsThreadValid());
    EXPECT_FALSE(t.IsThreadRunning());
    EXPECT_EQ(t.GetThreadHandle(), nullptr);
    EXPECT_EQ(t.GetThreadId(), -1);
    EXPECT_EQ(t.StopThread(), 0);
    EXPECT_EQ(GetCurrentThread(), nullptr);
    EXPECT_FALSE(CurrentThreadSlot().IsEmpty());
}

// raiseInterrupt makes one sleep throw and is then cleared; a stop request ends one sleep
// (true) and leaves the thread invalid; later sleeps run their time (false).
TEST_F(ThreadTest, SleepsEndedByInterruptsOnce) {
    CEvent first, second;
    bool threw = false, stillInterrupted = true, stopped = false, later = true, validAfter = true;
    FnThread t([&](FnThread& self) {
        first.Set();
        try {
            self.sleep(kLong);
        } catch (const CInterruptedException&) {
            threw = true;
        }
        stillInterrupted = self.isInterrupted();
        second.Set();
        stopped = self.sleep(kLong);
        later = self.sleep(1);
        validAfter = self.IsThreadValid();
    });
    ASSERT_EQ(t.CreateThread(), 0);
    ASSERT_EQ(first.Wait(kLong), 0);
    t.raiseInterrupt();
    ASSERT_EQ(second.Wait(kLong), 0);
    t.Interrupt();
    EXPECT_EQ(t.Finish(), 0);
    EXPECT_TRUE(threw);
    EXPECT_FALSE(stillInterrupted);
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(later);
    EXPECT_FALSE(validAfter);
}

// A monitor wait is woken by notify (0) or times out (1); raiseInterrupt makes it throw with
// the lock held again; a stop request wakes it (0) and leaves the thread invalid.
TEST_F(ThreadTest, MonitorWaits) {
    bool first = false, second = false, threw = false, lockHeld = false, valid = true;
    int32_t woken = -1, timedOut = -1, stopped = -1;
    FnThread t([&](FnThread& self) {
        CCriticalLock lock(self.GetMonitor().GetLock());
        first = true;
        woken = self.wait(kLong);
        timedOut = self.wait(1);
        second = true;
        try {
            self.wait(kLong);
        } catch (const CInterruptedException&) {
            threw = true;
            lockHeld = self.GetMonitor().GetLock().IsLockedByThisThread();
        }
        stopped = self.wait(kLong);
        valid = self.IsThreadValid();
    });
    ASSERT_EQ(t.CreateThread(), 0);
    WhenFlagged(t, first, [&] { t.notify(); });
    WhenFlagged(t, second, [] {});  // waiting now: nothing else wakes it
    t.raiseInterrupt();
    WhenFlagged(t, threw, [] {});
    t.Interrupt();
    EXPECT_EQ(t.StopThread(), 0);
    EXPECT_EQ(woken, 0);
    EXPECT_EQ(timedOut, 1);
    EXPECT_TRUE(threw);
    EXPECT_TRUE(lockHeld);
    EXPECT_EQ(stopped, 0);
    EXPECT_FALSE(valid);
}

TEST_F(ThreadTest, CreateThreadOnARunningThreadJoinsItAndStartsAgain) {
    std::atomic<int> runs{0};
    FnThread t([&](FnThread& self) {
        ++runs;
        while (self.IsThreadValid()) self.sleep(kLong);
    });
    ASSERT_EQ(t.CreateThread(), 0);
    const int32_t firstId = t.GetThreadId();
    ASSERT_EQ(t.CreateThread(), 0);
    EXPECT_NE(t.GetThreadId(), firstId);
    EXPECT_TRUE(t.IsThreadValid());
    EXPECT_EQ(t.StopThread(), 0);
    EXPECT_EQ(runs, 2);
}

TEST_F(ThreadTest, TheStackSizeIsTheOneAsked) {
    // Beyond any default, so that only the attribute explains it (the system
    // may hand out a cached stack larger than asked, never a smaller one).
    constexpr uint32_t kStack = 64 * 1024 * 1024;
    size_t size = 0;
    FnThread t(
        [&](FnThread&) {
            pthread_attr_t attr;
            ASSERT_EQ(pthread_getattr_np(pthread_self(), &attr), 0);
            pthread_attr_getstacksize(&attr, &size);
            pthread_attr_destroy(&attr);
        },
        nullptr, kStack);
    ASSERT_EQ(t.CreateThread(), 0);
    EXPECT_EQ(t.Finish(), 0);
    EXPECT_GE(size, kStack);
}

TEST_F(ThreadTest, InnerRunRunsTheWorkOnTheCallingThread) {
    int32_t idInside = 0;
    bool running = false;
    FnThread t([&](FnThread& self) {
        idInside = self.GetThreadId();
        running = self.IsThreadRunning();
    });
    EXPECT_EQ(t.InnerRun(), 0);
    EXPECT_EQ(idInside, GetCurrentThreadId());
    EXPECT_TRUE(running);
    EXPECT_FALSE(t.IsThreadRunning());
    EXPECT_EQ(t.GetThreadId(), -1);
}

// A body that counts its runs, optionally held at a gate.
struct Counter {
    void Bump() {
        ++count;
        if (gate) {
            entered->Set();
            gate->Wait(kLong);
        }
    }
    int count = 0;
    CEvent* entered = nullptr;
    CEvent* gate = nullptr;
};

smart_ptr<function_callback> Body(Counter& c) {
    return smart_ptr<function_callback>(new function_callback_vm0<Counter>(&c, &Counter::Bump));
}

// A body runs once instead of ThreadProc and is let go when it ends; one set while it runs
// is kept for the next start, and the running one lives to its own end.
TEST_F(ThreadTest, BodiesRunOnceAndAReplacementWaitsForTheNextStart) {
    CEvent entered, gate;
    Counter first{0, &entered, &gate}, second;
    int procRuns = 0;
    FnThread t([&](FnThread&) { ++procRuns; });
    ASSERT_EQ(t.CreateThread(Body(first)), 0);
    ASSERT_EQ(entered.Wait(kLong), 0);
    t.SetThreadBody(Body(second));
    gate.Set();
    EXPECT_EQ(t.StopThread(), 0);
    ASSERT_EQ(t.CreateThread(), 0);  // the replacement runs
    EXPECT_EQ(t.StopThread(), 0);
    ASSERT_EQ(t.CreateThread(), 0);  // and was let go: ThreadProc again
    EXPECT_EQ(t.StopThread(), 0);
    EXPECT_EQ(first.count, 1);
    EXPECT_EQ(second.count, 1);
    EXPECT_EQ(procRuns, 1);
}

TEST_F(ThreadTest, AnExceptionLeavingTheWorkIsReportedAndEndsTheThread) {
    const std::pair<std::function<void(FnThread&)>, const char*> throwers[] = {
        {[](FnThread&) { throw CRuntimeException("boom"); }, "boom"},
        {[](FnThread&) { (void)std::string("ab").substr(3); }, "substr"},  // the C++ library's
    };
    for (const auto& [work, message] : throwers) {
        morna::test::LogCapture log;
        FnThread t(work);
        ASSERT_EQ(t.CreateThread(), 0);
        EXPECT_EQ(t.StopThread(), 0);
        EXPECT_FALSE(t.IsThreadValid());
        EXPECT_TRUE(log.Contains(message)) << message;
    }
}

class SelfDeleting : public CThread {
public:
    explicit SelfDeleting(std::atomic<int>& destroyed) : m_destroyed(destroyed) {}
    ~SelfDeleting() override { ++m_destroyed; }
    void ThreadProc() override { delete this; }

private:
    std::atomic<int>& m_destroyed;
};

TEST_F(ThreadTest, AThreadDestroyedByItsOwnBodyEndsCleanly) {
    std::atomic<int> destroyed{0};
    ASSERT_EQ((new SelfDeleting(destroyed))->CreateThread(), 0);
    CThreadManager::GetInstance()->WaitAll();
    EXPECT_EQ(destroyed, 1);
}

TEST(ThreadManager, WaitAllWaitsForThreadsStartedByThreads) {
    std::atomic<int> finished{0}, destroyed{0};
    CEvent gate;
    std::thread opener;
    {
        CAppInitializer init(nullptr, nullptr, "", 1);
        auto leaf = [&](FnThread&) {
            gate.Wait(kLong);
            ++finished;
        };
        auto middle = [&](FnThread&) {
            EXPECT_EQ(CThreadManager::StartThread(new FnThread(leaf, &destroyed)), 0);
            ++finished;
        };
        auto root = [&](FnThread&) {
            EXPECT_EQ(CThreadManager::StartThread(new FnThread(middle, &destroyed)), 0);
            ++finished;
        };
        ASSERT_EQ(CThreadManager::StartThread(new FnThread(root, &destroyed)), 0);
        opener = std::thread([&] { gate.Set(); });
    }
    // The initializer's end waited for the leaf, and destroyed every thread
    // object it owned.
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(destroyed, 3);
    opener.join();
}

TEST(ThreadManager, StopAllStopsEveryThreadOnce) {
    CAppInitializer init(nullptr, nullptr, "", 1);
    std::atomic<int> ended{0};
    auto loop = [&](FnThread& self) {
        while (self.IsThreadValid()) self.sleep(kLong);
        ++ended;
    };
    for (int i = 0; i < 3; ++i) ASSERT_EQ(CThreadManager::StartThread(new FnThread(loop)), 0);
    EXPECT_TRUE(CThreadManager::GetInstance()->StopAll());
    EXPECT_EQ(ended, 3);
    EXPECT_FALSE(CThreadManager::GetInstance()->StopAll());
    // A fresh manager for the tests after this one (its stopping flag is for good).
    CThreadManager::DestroyInstance();
}

}  // namespace

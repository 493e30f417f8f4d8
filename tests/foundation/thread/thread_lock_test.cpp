// The recursive lock, the monitor and the events.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/event.h"
#include "foundation/thread/lock_object.h"
#include "foundation/vtl/exception.h"
#include "platform/sync.h"
#include "tests/common/log_capture.h"

namespace {

using namespace tovarineGameSDK3rd::Thread;
using tovarineGameSDK3rd::VTL::CIllegalMonitorStateException;
using tovarineGameSDK3rd::VTL::CRuntimeException;

// Long enough never to run out in a passing test; a wake-up that is lost shows
// as a failed expectation after it, not as a hang.
constexpr uint32_t kLong = 60000;

// Runs until pred() holds under the monitor's lock, then act() under it.
template <class Pred, class Act>
void WhenUnderLock(CLockObject& monitor, Pred pred, Act act) {
    for (;;) {
        {
            CCriticalLock lock(monitor.GetLock());
            if (pred()) {
                act();
                return;
            }
        }
        std::this_thread::yield();
    }
}

// Recursive; an unbalanced Leave, or one by another thread, throws and keeps the owner.
TEST(CriticalSection, IsRecursiveAndRefusesAnUnbalancedLeave) {
    CCriticalSection cs;
    cs.Enter();
    cs.Enter();
    cs.Leave();
    EXPECT_TRUE(cs.IsLockedByThisThread());
    bool threw = false, lockedThere = true;
    std::thread other([&] {
        lockedThere = cs.IsLockedByThisThread();
        try {
            cs.Leave();
        } catch (const CRuntimeException&) {
            threw = true;
        }
    });
    other.join();
    EXPECT_TRUE(threw);
    EXPECT_FALSE(lockedThere);
    EXPECT_TRUE(cs.IsLockedByThisThread());
    cs.Leave();
    EXPECT_FALSE(cs.IsLockedByThisThread());
    try {
        cs.Leave();
        ADD_FAILURE() << "an unbalanced Leave must throw";
    } catch (const CRuntimeException& e) {
        EXPECT_EQ(e.getMessage(), "CCriticalSectionをEnterしていないのにLeaveしている");
    }
}

TEST(CriticalSection, ASectionDestroyedWhileHeldIsReportedNotThrown) {
    morna::test::LogCapture log;
    auto* cs = new CCriticalSection;
    cs->Enter();
    cs->Enter();
    delete cs;
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CCriticalSectionをEnterした回数だけLeaveしないまま終了している"});
    CCriticalSection balanced;
    balanced.Enter();
    balanced.Leave();
}

TEST(CriticalSection, ScopedLockLeavesAsOftenAsItEntered) {
    CCriticalSection cs;
    {
        CCriticalLock lock(cs);
        lock.Enter();
        lock.Leave();
        lock.Leave();
        EXPECT_FALSE(cs.IsLockedByThisThread());
        lock.Leave();  // nothing left to leave: no throw
        lock.Enter();
        lock.Enter();
    }
    EXPECT_FALSE(cs.IsLockedByThisThread());
}

TEST(CriticalSection, AnUnlockLeftByAThrowEntersEveryLevelAgain) {
    CCriticalSection cs;
    cs.Enter();
    cs.Enter();
    try {
        CCriticalUnlock away(cs);
        bool taken = false;
        std::thread([&] {
            CCriticalLock other(cs);
            taken = true;
        }).join();
        EXPECT_TRUE(taken);
        throw CRuntimeException("x");
    } catch (const CRuntimeException&) {
    }
    EXPECT_NO_THROW(cs.Leave());
    EXPECT_NO_THROW(cs.Leave());
    EXPECT_FALSE(cs.IsLockedByThisThread());
}

TEST(Monitor, WaitAndNotifyWithoutTheLockThrow) {
    CLockObject monitor;
    EXPECT_THROW(monitor.wait(0), CIllegalMonitorStateException);
    EXPECT_THROW(monitor.notify(), CIllegalMonitorStateException);
    EXPECT_THROW(monitor.notifyAll(), CIllegalMonitorStateException);
}

TEST(Monitor, WaitReleasesOneLevelAndTakesItBack) {
    CLockObject monitor;
    CCriticalSection& cs = monitor.GetLock();
    std::atomic<bool> otherEntered{false};
    cs.Enter();
    cs.Enter();
    std::thread other([&] {
        CCriticalLock lock(cs);
        otherEntered = true;
    });
    // Held twice, the wait leaves one level: the other thread stays out for the
    // whole wait, which therefore runs out.
    EXPECT_EQ(monitor.wait(20), 1);
    EXPECT_FALSE(otherEntered);
    EXPECT_TRUE(cs.IsLockedByThisThread());
    cs.Leave();
    cs.Leave();
    EXPECT_THROW(cs.Leave(), CRuntimeException);
    other.join();
    EXPECT_TRUE(otherEntered);
}

TEST(Monitor, TwoNotifiesWakeTwoWaiters) {
    CLockObject monitor;
    int waiting = 0;
    int32_t results[2] = {-1, -1};
    auto body = [&](int i) {
        CCriticalLock lock(monitor.GetLock());
        ++waiting;
        results[i] = monitor.wait(kLong);
    };
    std::thread a(body, 0), b(body, 1);
    WhenUnderLock(monitor, [&] { return waiting == 2; }, [&] {
        monitor.notify();
        monitor.notify();
    });
    a.join();
    b.join();
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], 0);
}

TEST(Monitor, NotifyAllWakesEveryWaiterAndANotifyWithoutWaitersIsNotKept) {
    CLockObject monitor;
    {
        CCriticalLock lock(monitor.GetLock());
        monitor.notify();
        EXPECT_EQ(monitor.wait(0), 1);
    }
    int waiting = 0;
    int32_t results[3] = {-1, -1, -1};
    auto body = [&](int i) {
        CCriticalLock lock(monitor.GetLock());
        ++waiting;
        results[i] = monitor.wait(kLong);
    };
    std::thread a(body, 0), b(body, 1), c(body, 2);
    WhenUnderLock(monitor, [&] { return waiting == 3; }, [&] { monitor.notifyAll(); });
    a.join();
    b.join();
    c.join();
    for (int32_t r : results) EXPECT_EQ(r, 0);
}

TEST(Event, FlagStaysSetAfterTheWaitTookTheSignal) {
    CEvent event;
    EXPECT_FALSE(event.IsSignaled());
    EXPECT_EQ(event.Wait(0), 1);
    event.Set();
    EXPECT_TRUE(event.IsSignaled());
    EXPECT_EQ(event.Wait(0), 0);
    EXPECT_TRUE(event.IsSignaled());  // sticky
    EXPECT_EQ(event.Wait(0), 1);      // but the event itself reset
    event.Reset();
    EXPECT_FALSE(event.IsSignaled());
    event.Set();
    event.Reset();
    EXPECT_EQ(event.Wait(0), 1);
}

TEST(Event, OneSetReleasesOneWaiter) {
    CEvent event, done;
    std::atomic<int> passed{0};
    auto body = [&] {
        if (event.Wait(kLong) == 0) ++passed;
        done.Set();
    };
    std::thread a(body), b(body);
    event.Set();
    ASSERT_EQ(done.Wait(kLong), 0);
    EXPECT_EQ(passed, 1);
    event.Set();
    ASSERT_EQ(done.Wait(kLong), 0);
    a.join();
    b.join();
    EXPECT_EQ(passed, 2);
}

TEST(Event, WaitForEitherTellsWhichCameOrTimesOut) {
    CEvent first, second;
    EXPECT_EQ(WaitForEither(first, second, 0), 2);
    EXPECT_EQ(WaitForEither(first, second, 5), 2);
    second.Set();
    EXPECT_EQ(WaitForEither(first, second, kLong), 1);
    first.Set();
    second.Set();
    EXPECT_EQ(WaitForEither(first, second, kLong), 0);  // both: the first wins
    EXPECT_EQ(second.Wait(0), 0);                       // and the second stays set
    EXPECT_EQ(WaitForEither(first, second, 0), 2);
}

TEST(Event, WaitForEitherWakesOnTheEventSetLater) {
    for (int which = 0; which < 2; ++which) {
        CEvent events[2];
        CEvent entered;
        int32_t result = -1;
        std::thread waiter([&] {
            entered.Set();
            result = WaitForEither(events[0], events[1], kLong);
        });
        ASSERT_EQ(entered.Wait(kLong), 0);
        events[which].Set();
        waiter.join();
        EXPECT_EQ(result, which);
        // The signal was taken by the wait, not left behind.
        EXPECT_EQ(events[which].Wait(0), 1);
    }
}

TEST(PlatformEvent, ASignalGoesToOneOfTwoWaitsOnTheSameEvent) {
    morna::platform::Event shared, other1, other2;
    std::atomic<int> results[2] = {-1, -1};
    std::thread a([&] { results[0] = morna::platform::WaitEither(shared, other1, kLong); });
    std::thread b([&] { results[1] = morna::platform::WaitEither(other2, shared, kLong); });
    // An automatic-reset event does not count its Sets: the second one is made
    // once the first has let a wait through.
    shared.Set();
    while (results[0] == -1 && results[1] == -1) std::this_thread::yield();
    shared.Set();
    a.join();
    b.join();
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], 1);
    EXPECT_EQ(shared.Wait(0), morna::platform::kWaitTimedOut);
}

}  // namespace

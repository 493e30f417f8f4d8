// Per-thread values, the COM counts and the initializer's callback lists.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/com.h"
#include "foundation/thread/singleton.h"
#include "foundation/thread/thread.h"
#include "foundation/thread/thread_local.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/function_callback.h"
#include "platform/com.h"
#include "tests/common/log_capture.h"

namespace {

using namespace tovarineGameSDK3rd::Thread;
using tovarineGameSDK3rd::AppFrame::CAppInitializer;
using tovarineGameSDK3rd::VTL::smart_ptr;

// Each thread has its own cell, a new one reading 0; a new thread never sees the cells of an
// ended one, however many more threads than the system would take before reusing its ids.
TEST(ThreadLocal, EachThreadHasItsOwnCell) {
    ThreadLocal<int> value;
    value.Set(5);
    std::vector<int32_t> ids;
    for (int i = 0; i < 64; ++i) {
        bool empty = false;
        int seen = -1;
        int32_t id = 0;
        std::thread t([&] {
            id = GetCurrentThreadId();
            empty = value.IsEmpty();
            seen = *value.Get();
            value.Set(i + 7);
        });
        t.join();
        EXPECT_TRUE(empty && seen == 0) << "thread " << i;
        for (int32_t old : ids) EXPECT_NE(old, id);
        ids.push_back(id);
    }
    EXPECT_EQ(*value.Get(), 5);
    value.Erase();
    EXPECT_TRUE(value.IsEmpty());
}

struct Counted {
    explicit Counted(int& alive) : m_alive(alive) { ++m_alive; }
    virtual ~Counted() { --m_alive; }
    int& m_alive;
};

TEST(ThreadLocal, ClearAllReleasesWhatOnlyTheCellsHeld) {
    int alive = 0;
    {
        ThreadLocal<smart_ptr<Counted>> slot;
        EXPECT_EQ(slot.Get()->GetNoCheck(), nullptr);  // a new cell is an empty pointer
        smart_ptr<Counted> kept = slot.SetAndGet(smart_ptr<Counted>(new Counted(alive)));
        std::thread other([&] { slot.Set(smart_ptr<Counted>(new Counted(alive))); });
        other.join();
        EXPECT_EQ(alive, 2);
        slot.ClearAll();
        EXPECT_EQ(alive, 1);  // the other thread's; ours is still held by `kept`
        EXPECT_TRUE(slot.IsEmpty());
        kept.Release();
        EXPECT_EQ(alive, 0);
        slot.Set(smart_ptr<Counted>(new Counted(alive)));
    }
    EXPECT_EQ(alive, 0);  // the destructor frees the cells
}

TEST(Com, CountsStartAndEndCOMOncePerThread) {
    std::thread t([] {
        EXPECT_TRUE(ReleaseCOM());  // no count yet
        EXPECT_EQ(AddRefCOM(), 0);
        EXPECT_EQ(AddRefCOM(), 0);
        EXPECT_EQ(morna::platform::ComInitializeCount(), 1);
        EXPECT_FALSE(ReleaseCOM());
        EXPECT_EQ(morna::platform::ComInitializeCount(), 1);
        EXPECT_FALSE(ReleaseCOM());
        EXPECT_EQ(morna::platform::ComInitializeCount(), 0);
        EXPECT_FALSE(ReleaseCOM());  // a count of 0 is still a count
        EXPECT_EQ(morna::platform::ComInitializeCount(), 0);
    });
    t.join();
}

TEST(AppInitializer, BracketsTheProgram) {
    EXPECT_FALSE(GetMultiThreadFlag());
    {
        CAppInitializer init(reinterpret_cast<void*>(0x400000), nullptr, "deletesav", 10);
        EXPECT_EQ(CAppInitializer::GetInstance(), &init);
        EXPECT_TRUE(GetMultiThreadFlag());
        EXPECT_FALSE(CurrentThreadSlot().IsEmpty());
        EXPECT_EQ(GetCurrentThread(), nullptr);
    }
    EXPECT_FALSE(GetMultiThreadFlag());
    EXPECT_EQ(CAppInitializer::GetInstance(), nullptr);
}

std::vector<int> g_ran;
void First() { g_ran.push_back(1); }
void Second() { g_ran.push_back(2); }
void Third() { g_ran.push_back(3); }

smart_ptr<tovarineGameSDK3rd::VTL::function_callback> Call(void (*f)()) {
    return smart_ptr<tovarineGameSDK3rd::VTL::function_callback>(tovarineGameSDK3rd::VTL::function_callback_vg0::Create(f));
}

TEST(AppInitializer, RunsItsListsInOrderAndBrokenCallbacks) {
    morna::test::LogCapture log;
    g_ran.clear();
    CAppInitializer::RegisterInitializer(Call(&First));
    CAppInitializer::RegisterInitializer(Call(&Second));
    CAppInitializer::RegisterFinalizer(Call(&Third));
    CAppInitializer::RegisterFinalizer(smart_ptr<tovarineGameSDK3rd::VTL::function_callback>());
    CAppInitializer::RegisterFinalizer(Call(&First));
    {
        CAppInitializer init(nullptr, nullptr, "", 1);
        EXPECT_EQ(g_ran, (std::vector<int>{1, 2}));
        g_ran.clear();
    }
    // The empty element did not stop the ones after it.
    EXPECT_EQ(g_ran, (std::vector<int>{3, 1}));
    EXPECT_TRUE(log.Contains("CAppInitializer::~CAppInitializer"));
    CAppInitializer::DestroyCallbackLists();
    ThreadLocalBaseHelper::DestroyInstance();

    // A broken start-up callback throws and leaves nothing set.
    CAppInitializer::RegisterInitializer(smart_ptr<tovarineGameSDK3rd::VTL::function_callback>());
    EXPECT_THROW(CAppInitializer(nullptr, nullptr, "", 1), tovarineGameSDK3rd::VTL::CNullPointerException);
    EXPECT_FALSE(GetMultiThreadFlag());
    EXPECT_EQ(CAppInitializer::GetInstance(), nullptr);
    // Fresh lists for the tests after this one; the registry registers its exit callback
    // again when it is made anew.
    CAppInitializer::DestroyCallbackLists();
    ThreadLocalBaseHelper::DestroyInstance();
}

}  // namespace

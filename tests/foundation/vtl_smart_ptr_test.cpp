#include "foundation/vtl/smart_ptr.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace tovarineGameSDK3rd::VTL;

namespace {

// Counts live instances, so a test sees exactly when the holder destroys.
struct Tracked {
    static inline int live = 0;
    int value = 0;
    Tracked() { ++live; }
    explicit Tracked(int v) : value(v) { ++live; }
    virtual ~Tracked() { --live; }
};
struct Derived : Tracked {
    char extra[24] = {};
    explicit Derived(int v) : Tracked(v) {}
};

class SmartPtrTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::live = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::live, 0); }
};

TEST_F(SmartPtrTest, EmptyPointerThrowsNullAndReleasesNothing) {
    smart_ptr<Tracked> p(static_cast<Tracked*>(nullptr));
    EXPECT_TRUE(p == nullptr);
    EXPECT_THROW((void)p->value, CNullPointerException);
    EXPECT_THROW((void)p[0], CNullPointerException);
    EXPECT_EQ(p.GetNoCheck(), nullptr);
    p.Release();
}

TEST_F(SmartPtrTest, CopiesShareOneCountAndTheLastDestroys) {
    auto* raw = new Tracked(7);
    smart_ptr<Tracked> a(raw);
    {
        smart_ptr<Tracked> b = a;
        EXPECT_EQ(a.GetRefCount(), 2u);
        EXPECT_EQ(b->value, 7);
        a.Release();
        EXPECT_EQ(b.GetRefCount(), 1u);
        EXPECT_EQ(Tracked::live, 1);
    }
    EXPECT_EQ(Tracked::live, 0);

    smart_ptr<Tracked> c(new Tracked(1)), d(new Tracked(2));
    c = d;  // c's object goes, both now share d's
    EXPECT_EQ(Tracked::live, 1);
    EXPECT_EQ(c->value, 2);
    const smart_ptr<Tracked>& same = c;
    c = same;  // itself: nothing changes
    EXPECT_EQ(c.GetRefCount(), 2u);

    smart_ptr<Tracked> base = smart_ptr<Derived>(new Derived(6));  // shares the Derived holder
    EXPECT_EQ(base.GetRefCount(), 1u);
    EXPECT_EQ(base->value, 6);
}

TEST_F(SmartPtrTest, NotOwningNeverDestroys) {
    Tracked local(3);
    {
        smart_ptr<Tracked> p(&local, false);
        smart_ptr<Tracked> q = p;
        EXPECT_EQ(q->value, 3);
    }  // holder freed (ASan would report a leak otherwise), object untouched
    EXPECT_EQ(Tracked::live, 1);
    EXPECT_EQ(local.value, 3);
}

TEST_F(SmartPtrTest, AssignFromAPointerTheOldObjectHolds) {
    struct Node {
        smart_ptr<Node> next;
        Tracked t;
    };
    smart_ptr<Node> head(new Node);
    head->next = smart_ptr<Node>(new Node);
    head = head->next;  // the old head dies while its member is the source
    EXPECT_EQ(Tracked::live, 1);
    EXPECT_TRUE(head->next.isNull());
}

TEST_F(SmartPtrTest, ArrayPositionAndBounds) {
    smart_ptr<Tracked> arr;
    arr.SetArray(new Tracked[3]{Tracked(10), Tracked(11), Tracked(12)}, 3);
    EXPECT_EQ(arr.GetElementCount(), 3u);
    arr += 2;
    EXPECT_EQ(arr->value, 12);
    EXPECT_EQ(arr[0].value, 12);
    EXPECT_EQ(arr[-2].value, 10);
    ++arr;
    EXPECT_THROW((void)arr->value, CIndexOutOfBoundsException);
    EXPECT_THROW((void)arr[-1], CIndexOutOfBoundsException);
    --arr;
    EXPECT_EQ(arr.GetNoCheck()->value, 12);

    smart_ptr<Tracked> none;
    none.SetArray(new Tracked[0], 0);  // nothing inside: access fails, storage still freed
    EXPECT_THROW((void)none->value, CIndexOutOfBoundsException);
    EXPECT_NE(none.GetNoCheck(), nullptr);

    smart_ptr<Derived> derived;  // a base pointer steps by the size of the derived elements
    derived.SetArray(new Derived[2]{Derived(1), Derived(2)}, 2);
    smart_ptr<Tracked> base = derived;
    ++base;
    EXPECT_EQ(base->value, 2);
}

TEST_F(SmartPtrTest, AddArrayMakesZeroedElementsAndZeroLeavesEmpty) {
    smart_ptr<unsigned char> bytes(new unsigned char(9));
    bytes.AddArray(5);
    EXPECT_EQ(bytes.GetElementCount(), 5u);
    EXPECT_EQ(bytes[4], 0);

    smart_ptr<std::int32_t> ints;
    ints.AddArray(3);
    ints += 2;
    *ints = -5;
    ints -= 2;
    EXPECT_EQ(ints[2], -5);

    bytes.AddArray(0);
    EXPECT_TRUE(bytes.isNull());
    EXPECT_THROW((void)*bytes, CNullPointerException);
    ints.AddArray(-1);
    EXPECT_TRUE(ints.isNull());
}

TEST_F(SmartPtrTest, CopiesAcrossThreadsKeepTheCount) {
    smart_ptr<Tracked> shared(new Tracked(1));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([shared] {
            for (int i = 0; i < 20000; ++i) {
                smart_ptr<Tracked> copy = shared;
                smart_ptr<Tracked> again(copy);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(shared.GetRefCount(), 1u);
    EXPECT_EQ(Tracked::live, 1);
}

TEST_F(SmartPtrTest, CallbackHolderDeletesThenCalls) {
    struct Watcher {
        int calls = 0;
        int live_at_call = -1;
        void Removed() {
            ++calls;
            live_at_call = Tracked::live;
        }
    } watcher;
    smart_ptr<function_callback> cb(function_callback_vm0<Watcher>::Create(&watcher, &Watcher::Removed));
    auto* obj = new Tracked(4);
    smart_ptr<Tracked> p = smart_ptr<Tracked>::Adopt(obj, new nonarray_callback_ref_object<Tracked>(obj, cb));
    smart_ptr<Tracked> q = p;
    p.Release();
    EXPECT_EQ(watcher.calls, 0);
    q.Release();
    EXPECT_EQ(watcher.calls, 1);
    EXPECT_EQ(watcher.live_at_call, 0);
}

int g_calls = 0;
void Count() { ++g_calls; }

struct Target {
    std::string log;
    void Hello() { log += "hello;"; }
    void Say(std::string s) { log += s + ";"; }
    bool Check(int n) { return static_cast<std::size_t>(n) > log.size(); }
};

TEST(FunctionCallbackTest, RunsWhatItWraps) {
    g_calls = 0;
    smart_ptr<function_callback_v> g(function_callback_vg0::Create(&Count));
    g->run();
    (*g)();
    EXPECT_EQ(g_calls, 2);
    try {
        g->bind(nullptr);
        ADD_FAILURE();
    } catch (const CRuntimeException& e) {
        // "メンバ関数へのfunction_callbackに対してbindを行なった"
        EXPECT_STREQ(e.getMessage().c_str(),
                     "\x83\x81\x83\x93\x83\x6f\x8a\xd6\x90\x94\x82\xd6\x82\xcc" "function_callback"
                     "\x82\xc9\x91\xce\x82\xb5\x82\xc4" "bind" "\x82\xf0\x8d\x73\x82\xc8\x82\xc1\x82\xbd");
    }

    Target a, b;
    smart_ptr<function_callback> m0(function_callback_vm0<Target>::Create(&a, &Target::Hello));
    m0->run();
    m0->bind(&b);
    m0->run();
    smart_ptr<function_callback> m1(
        function_callback_vm1<Target, std::string>::Create(&a, &Target::Say, std::string("arg")));
    m1->run();
    EXPECT_EQ(a.log, "hello;arg;");
    EXPECT_EQ(b.log, "hello;");

    function_callback_rm1<bool, Target, int> r(&b, &Target::Check, 3);
    r.run();
    EXPECT_FALSE(r.GetResult());  // b's log has 6 characters
    Target fresh;
    r.bind(&fresh);
    EXPECT_TRUE(r.call());
    EXPECT_TRUE(r.GetResult());
}

}  // namespace

#include "platform/window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/event_observer.h"
#include "platform/sound_output.h"
#include "platform/sync.h"
#include "platform/x11_errors.h"

namespace mp = morna::platform;

namespace {

// UTF-8 bytes whatever the execution character set.
const char* Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// Messages seen by the test class's procedure, on whatever thread ran it.
std::vector<mp::WindowMessage>& Seen() {
    static std::vector<mp::WindowMessage> seen;
    return seen;
}

intptr_t RecordingProcedure(mp::WindowHandle w, uint32_t msg, uintptr_t wp, intptr_t lp) {
    Seen().push_back({w, msg, wp, lp});
    if (msg == mp::WM_USER) return static_cast<intptr_t>(wp) * 2;
    return mp::DefaultWindowProcedure(w, msg, wp, lp);
}

class PlatformWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Seen().clear();
        mp::SetFocusSettleTime(0);  // a loss counts at once unless a test sets a settle time
        mp::RegisterWindowClass({"MornaPlatformTest", &RecordingProcedure, false});
    }
    mp::WindowHandle Make(uint32_t style = mp::WS_CAPTION | mp::WS_SYSMENU | mp::WS_VISIBLE) {
        mp::WindowCreation c;
        c.className = "MornaPlatformTest";
        c.caption = "\x83\x82\x83\x8B\x83\x69";  // モルナ in Shift-JIS
        c.style = style;
        c.width = 320;
        c.height = 200;
        c.createParam = 77;
        return mp::CreateWindow(c);
    }
    static void Push(mp::WindowHandle w, SDL_WindowEventID id) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = static_cast<uint8_t>(id);
        e.window.windowID = SDL_GetWindowID(mp::GetSdlWindow(w));
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    // Everything queued, in order, without dispatching.
    static std::vector<mp::WindowMessage> Drain() {
        std::vector<mp::WindowMessage> out;
        mp::WindowMessage m;
        while (mp::PeekWindowMessage(m)) out.push_back(m);
        return out;
    }
};

}  // namespace

TEST_F(PlatformWindow, ClassNamesIgnoreCaseAndSystemClassesExist) {
    EXPECT_TRUE(mp::FindWindowClass("static"));
    EXPECT_TRUE(mp::FindWindowClass("MORNAPLATFORMTEST"));
    EXPECT_FALSE(mp::RegisterWindowClass({"mornaplatformtest", &RecordingProcedure, false}));
    EXPECT_FALSE(mp::RegisterWindowClass({"NoProcedure", nullptr, false}));
    EXPECT_FALSE(mp::FindWindowClass("NoProcedure"));
    mp::WindowCreation c;
    c.className = "NoSuchClass";
    EXPECT_EQ(mp::CreateWindow(c), 0u);
}

TEST_F(PlatformWindow, CreatesWithSizeCaptionAndCreateMessage) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    int32_t cw = 0, ch = 0;
    ASSERT_TRUE(mp::GetClientSize(w, cw, ch));
    EXPECT_EQ(cw, 320);
    EXPECT_EQ(ch, 200);
    EXPECT_TRUE(mp::IsWindowVisible(w));
    EXPECT_EQ(mp::GetWindowCaption(w), "\x83\x82\x83\x8B\x83\x69");
    EXPECT_STREQ(SDL_GetWindowTitle(mp::GetSdlWindow(w)), Utf8(u8"モルナ"));
    ASSERT_FALSE(Seen().empty());
    EXPECT_EQ(Seen()[0].message, mp::WM_CREATE);
    EXPECT_EQ(Seen()[0].lparam, 77);
    EXPECT_TRUE(mp::DestroyWindow(w));
}

// The one record of the focus over the application's windows and another toolkit's dialogs: the
// focus moving between them is no leaving; each window of the display thread hears a change, and
// the sound follows it; the keyboard counts a dialog's focus as its owner's. Then the settle time:
// a loss counts only once it is up, and a return within it is no change.
TEST_F(PlatformWindow, TheApplicationIsActiveWhileOneOfItsWindowsOrDialogsHasTheFocus) {
    const mp::WindowHandle a = Make(), b = Make();
    ASSERT_TRUE(a != 0 && b != 0);
    Drain();
    constexpr uintptr_t kDialog = 7;
    struct Step {
        const char* what;
        std::function<void()> act;
        int posted;  // WM_ACTIVATEAPP wparam posted to a (b hears it too), -1 none
        bool active;
        mp::WindowHandle focus, keyboard;  // GetFocus, GetKeyInputWindow
        bool dialog;                       // DialogHasFocus
    };
    const Step steps[] = {
        {"a focused", [&] { Push(a, SDL_WINDOWEVENT_FOCUS_GAINED); }, 1, true, a, a, false},
        {"the dialog focused", [&] { mp::NoteDialogFocus(kDialog, b, true); }, -1, true, 0, b, true},
        {"a's loss read late", [&] { Push(a, SDL_WINDOWEVENT_FOCUS_LOST); }, -1, true, 0, b, true},
        {"b focused", [&] { Push(b, SDL_WINDOWEVENT_FOCUS_GAINED); }, -1, true, b, b, false},
        {"the dialog's loss read late", [&] { mp::NoteDialogFocus(kDialog, b, false); }, -1, true, b, b, false},
        {"the dialog's gain and loss read after a's gain", [&] {
             Push(b, SDL_WINDOWEVENT_FOCUS_LOST);
             Push(a, SDL_WINDOWEVENT_FOCUS_GAINED);
             Drain();
             mp::NoteDialogFocus(kDialog, b, true);
             mp::NoteDialogFocus(kDialog, b, false);
         }, -1, true, a, a, false},
        {"another program", [&] { Push(a, SDL_WINDOWEVENT_FOCUS_LOST); }, 0, false, 0, 0, false},
        {"the dialog again", [&] { mp::NoteDialogFocus(kDialog, b, true); }, 1, true, 0, b, true},
        {"it closes", [&] { mp::NoteDialogFocus(kDialog, b, false); }, 0, false, 0, 0, false},
        {"b back", [&] { Push(b, SDL_WINDOWEVENT_FOCUS_GAINED); }, 1, true, b, b, false},
        {"b destroyed with the focus", [&] { mp::DestroyWindow(b); }, 0, false, 0, 0, false},
    };
    std::vector<uintptr_t> got;
    const auto drainActivations = [&] {
        got.clear();
        for (const mp::WindowMessage& m : Drain())
            if (m.message == mp::WM_ACTIVATEAPP && m.window == a) got.push_back(m.wparam);
    };
    for (const Step& step : steps) {
        step.act();
        drainActivations();
        EXPECT_EQ(got, step.posted < 0 ? std::vector<uintptr_t>{} : std::vector<uintptr_t>{uintptr_t(step.posted)}) << step.what;
        EXPECT_EQ(mp::IsApplicationActive(), step.active) << step.what;
        EXPECT_EQ(mp::IsSoundApplicationActive(), step.active) << step.what;
        EXPECT_EQ(mp::GetFocus(), step.focus) << step.what;
        EXPECT_EQ(mp::GetKeyInputWindow(), step.keyboard) << step.what;
        EXPECT_EQ(mp::DialogHasFocus(kDialog), step.dialog) << step.what;
    }

    constexpr uint32_t kSettle = 150;
    mp::SetFocusSettleTime(kSettle);
    Push(a, SDL_WINDOWEVENT_FOCUS_GAINED);
    drainActivations();
    ASSERT_EQ(got, std::vector<uintptr_t>{1});
    // The dialog's loss and the window's gain come in the wrong order: no change.
    mp::NoteDialogFocus(kDialog, a, true);
    Push(a, SDL_WINDOWEVENT_FOCUS_LOST);
    drainActivations();
    mp::NoteDialogFocus(kDialog, a, false);
    Push(a, SDL_WINDOWEVENT_FOCUS_GAINED);
    drainActivations();
    EXPECT_TRUE(got.empty() && mp::IsApplicationActive()) << "a return within the settle time";
    // Another program: the application leaves once the settle time is up, not before.
    const uint32_t lost = mp::MonotonicMilliseconds();  // the layer's clock
    Push(a, SDL_WINDOWEVENT_FOCUS_LOST);
    for (int i = 0; i < 200 && got.empty(); ++i) {
        drainActivations();
        if (got.empty()) SDL_Delay(5);
    }
    const uint32_t waited = mp::MonotonicMilliseconds() - lost;
    EXPECT_EQ(got, std::vector<uintptr_t>{0});
    EXPECT_GE(waited, kSettle);
    EXPECT_FALSE(mp::IsApplicationActive() || mp::IsSoundApplicationActive());
    mp::DestroyWindow(a);

    // A display thread that ends with a window focused takes it out of the record: no window is
    // left to be active with.
    bool focused = false;
    std::thread([&] {
        const mp::WindowHandle c = Make();
        Push(c, SDL_WINDOWEVENT_FOCUS_GAINED);
        Drain();
        focused = mp::IsApplicationActive() && mp::GetFocus() == c;
    }).join();
    EXPECT_TRUE(focused);
    EXPECT_FALSE(mp::IsApplicationActive() || mp::GetKeyInputWindow() != 0);
    mp::SetFocusSettleTime(0);
    mp::SetApplicationActive(true);
}

TEST_F(PlatformWindow, SdlEventsBecomeWindowMessagesAfterTheObservers) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    Drain();
    std::vector<uint32_t> observed;
    auto observer = [](const SDL_Event& e, void* ctx) {
        if (e.type == SDL_WINDOWEVENT)
            static_cast<std::vector<uint32_t>*>(ctx)->push_back(e.window.event);
    };
    mp::AddEventObserver(observer, &observed);
    Push(w, SDL_WINDOWEVENT_CLOSE);
    Push(w, SDL_WINDOWEVENT_FOCUS_GAINED);
    Push(w, SDL_WINDOWEVENT_FOCUS_LOST);
    Push(w, SDL_WINDOWEVENT_MINIMIZED);
    Push(w, SDL_WINDOWEVENT_RESTORED);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);  // switched off: never a message
    auto got = Drain();
    mp::RemoveEventObserver(observer, &observed);

    std::vector<std::pair<uint32_t, uintptr_t>> want = {
        {mp::WM_CLOSE, 0},
        {mp::WM_ACTIVATEAPP, 1},
        {mp::WM_ACTIVATEAPP, 0},
        {mp::WM_SIZE, mp::SIZE_MINIMIZED},
        {mp::WM_SIZE, mp::SIZE_RESTORED}};
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].window, w);
        EXPECT_EQ(got[i].message, want[i].first) << i;
        EXPECT_EQ(got[i].wparam, want[i].second) << i;
    }
    EXPECT_EQ(got[4].lparam, (200 << 16) | 320);
    EXPECT_EQ(observed.size(), 5u);
    EXPECT_TRUE(mp::IsWindow(w));  // a close request alone destroys nothing
    mp::DestroyWindow(w);
}

TEST_F(PlatformWindow, DefaultProcedureDestroysOnCloseWithDestroyMessages) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(mp::PostWindowMessage(w, mp::WM_CLOSE, 0, 0));
    mp::WindowMessage m;
    ASSERT_TRUE(mp::PeekWindowMessage(m));
    Seen().clear();
    mp::DispatchWindowMessage(m);
    EXPECT_FALSE(mp::IsWindow(w));
    ASSERT_EQ(Seen().size(), 3u);
    EXPECT_EQ(Seen()[0].message, mp::WM_CLOSE);
    EXPECT_EQ(Seen()[1].message, mp::WM_DESTROY);
    EXPECT_EQ(Seen()[2].message, mp::WM_NCDESTROY);
    EXPECT_FALSE(mp::PostWindowMessage(w, mp::WM_USER, 0, 0));
    EXPECT_FALSE(mp::DestroyWindow(w));
    EXPECT_EQ(mp::DispatchWindowMessage(m), 0);
}

TEST_F(PlatformWindow, QuitEndsGetAfterTheQueuedMessages) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    Drain();
    mp::PostWindowMessage(w, mp::WM_USER, 1, 2);
    mp::PostQuitMessage(5);
    mp::WindowMessage m;
    EXPECT_EQ(mp::GetWindowMessage(m), 1);
    EXPECT_EQ(m.message, mp::WM_USER);
    EXPECT_EQ(mp::GetWindowMessage(m), 0);
    EXPECT_EQ(m.message, mp::WM_QUIT);
    EXPECT_EQ(m.wparam, 5u);
    mp::DestroyWindow(w);
}

// Also a send that comes while the owner pumps SDL, whose wake-up that pump takes (here it
// starts inside an observer's call).
TEST_F(PlatformWindow, SendFromAnotherThreadIsServedByTheOwnersGet) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    Drain();
    SDL_EventState(SDL_POLLSENTINEL, SDL_IGNORE);  // one pump takes all, later pushes too
    struct Context {
        mp::WindowHandle w = 0;
        uint32_t trigger = SDL_RegisterEvents(1);
        std::thread sender;
        std::atomic<intptr_t> answer{-1};
    } ctx;
    ctx.w = w;
    auto observer = [](const SDL_Event& e, void* p) {
        auto* c = static_cast<Context*>(p);
        if (e.type != c->trigger) return;
        c->sender = std::thread([c] {
            c->answer = mp::SendWindowMessage(c->w, mp::WM_USER, 21, 0);
            mp::PostWindowMessage(c->w, mp::WM_USER + 1, 0, 0);  // lets the owner's Get return
        });
        // Back to the pump once the send is queued and has pushed its wake-up.
        SDL_Event wake;
        while (SDL_PeepEvents(&wake, 1, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT) < 1)
            std::this_thread::yield();
    };
    mp::AddEventObserver(observer, &ctx);
    SDL_Event e{};
    e.type = ctx.trigger;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    // A send left waiting would keep Get waiting for ever: a late post ends the test instead.
    mp::Event got;
    std::thread watchdog([&] {
        if (got.Wait(30000) != mp::kWaitCame) mp::PostWindowMessage(w, mp::WM_USER + 2, 0, 0);
    });
    mp::WindowMessage m;
    EXPECT_EQ(mp::GetWindowMessage(m), 1);  // serves the send while it waits
    got.Set();
    watchdog.join();
    mp::RemoveEventObserver(observer, &ctx);
    SDL_EventState(SDL_POLLSENTINEL, SDL_ENABLE);
    EXPECT_EQ(m.message, mp::WM_USER + 1);
    // Other threads get no SDL window and cannot reshape it.
    std::thread other([&] {
        EXPECT_EQ(mp::GetSdlWindow(w), nullptr);
        EXPECT_FALSE(mp::ShowWindow(w, true));
        EXPECT_FALSE(mp::DestroyWindow(w));
    });
    other.join();
    mp::DestroyWindow(w);  // answers a send still waiting, so its thread ends
    ctx.sender.join();
    EXPECT_EQ(ctx.answer.load(), 42);
}

TEST_F(PlatformWindow, SendToAWindowWhoseThreadEndsIsAnsweredZero) {
    std::atomic<mp::WindowHandle> w{0};
    std::atomic<bool> made{false}, sent{false};
    std::atomic<intptr_t> answer{-1};
    std::thread owner([&] {
        w = Make();
        made = true;
        if (w == 0) return;
        while (!sent) std::this_thread::yield();
        for (int i = 0; i < 1000; ++i) std::this_thread::yield();
        // Ends without pumping: a pending send must not hang its sender.
    });
    while (!made) std::this_thread::yield();
    if (w == 0) {
        owner.join();
        FAIL() << SDL_GetError();
    }
    std::thread sender([&] {
        sent = true;
        answer = mp::SendWindowMessage(w, mp::WM_USER, 1, 0);
    });
    owner.join();
    sender.join();
    EXPECT_EQ(answer.load(), 0);  // never served: the owner did not pump
    EXPECT_FALSE(mp::IsWindow(w));  // released with its thread
}

// A send still waiting when its window is destroyed is answered 0 then, not when the
// owner's thread ends.
TEST_F(PlatformWindow, DestroyingAWindowAnswersThePendingSends) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    Drain();
    std::atomic<bool> sending{false}, done{false};
    std::atomic<intptr_t> answer{-1};
    std::thread sender([&] {
        sending = true;
        answer = mp::SendWindowMessage(w, mp::WM_USER, 1, 0);
        done = true;
    });
    while (!sending) std::this_thread::yield();
    SDL_Delay(100);  // lets the send queue up; one that comes later finds no window and answers 0 too
    ASSERT_TRUE(mp::DestroyWindow(w));
    for (int i = 0; i < 500 && !done; ++i) SDL_Delay(10);
    EXPECT_TRUE(done.load());
    Drain();  // serves a send that the destruction left waiting, so the sender can end
    sender.join();
    EXPECT_EQ(answer.load(), 0);
}

TEST_F(PlatformWindow, VideoBelongsToOneThreadAtATime) {
    mp::WindowHandle w = Make();
    ASSERT_NE(w, 0u);
    std::thread other([&] { EXPECT_EQ(Make(), 0u); });
    other.join();
    mp::DestroyWindow(w);
    std::thread later([&] {
        mp::WindowHandle v = Make();
        EXPECT_NE(v, 0u);
        mp::DestroyWindow(v);
    });
    later.join();
}

// A dialog's procedure gets WM_INITDIALOG with the creation parameter; IsDialogMessage takes
// the dialog's own messages only.
TEST_F(PlatformWindow, DialogsComeFromRegisteredTemplates) {
    auto dialogProc = [](mp::WindowHandle w, uint32_t msg, uintptr_t wp, intptr_t lp) -> intptr_t {
        Seen().push_back({w, msg, wp, lp});
        return msg == mp::WM_INITDIALOG ? 1 : 0;
    };
    mp::RegisterDialogTemplate(4711, {"d", 200, 100, mp::WS_POPUP | mp::WS_CAPTION});
    mp::WindowHandle d = mp::CreateDialogWindow(4711, 0, dialogProc, 9);
    ASSERT_NE(d, 0u);
    ASSERT_EQ(Seen().size(), 1u);
    EXPECT_EQ(Seen()[0].message, mp::WM_INITDIALOG);
    EXPECT_EQ(Seen()[0].lparam, 9);
    EXPECT_TRUE(mp::IsDialogMessage(d, {d, mp::WM_USER, 0, 0}));
    EXPECT_FALSE(mp::IsDialogMessage(d, {d + 1000, mp::WM_USER, 0, 0}));
    EXPECT_EQ(Seen().back().message, mp::WM_USER);
    mp::DestroyWindow(d);
}

// The X errors logged of those met around windows of ours, some destroyed by another program: the
// ones on such a window go, and so do SDL's translations of coordinates from a frame the manager gave
// one of ours, or from the parent that a failed query for a destroyed one left unset (whatever the
// variable held), as SDL reads the destruction's events or leaves full screen in its teardown,
// however long after; every other error stays.
TEST(X11Errors, SdlsRequestsForAWindowDestroyedOutsideGoUnlogged) {
    constexpr unsigned char kBadWindow = 3, kBadDrawable = 9, kQueryTree = 15, kTranslate = 40;
    constexpr unsigned long kOurs = 0x600008, kFrame = 0x20020c, kOldFrame = 0x200100, kOther = 0x400001;
    const std::map<unsigned long, mp::x11::DestroyedNote> destroyed = {
        {kOurs, {{kOldFrame, kFrame}, {427, 4097}}},  // the dispatch's and the teardown's queries
        {0x800004, {{0x200300}, {}}}};
    const std::vector<mp::x11::XErrorNote> met = {
        {kBadWindow, 20, kOurs, 406},              // a property read on our window, gone
        {kBadWindow, kQueryTree, kOurs, 427},      // the dispatch's query, failed on it
        {kBadWindow, kTranslate, 0x8628, 428},     // from the parent it left unset
        {kBadWindow, kTranslate, kFrame, 364},     // from the frame the manager destroyed after the query
        {kBadWindow, kTranslate, kOldFrame, 370},
        {kBadWindow, kTranslate, 0x200300, 905},   // the second window's frame
        {kBadWindow, kTranslate, 0xdd9edbe0, 4100},  // the teardown's, leaving full screen
        {kBadWindow, kTranslate, 0, 4104},         // too far from any failed query
        {kBadWindow, kTranslate, 0, 300},          // before any destruction
        {kBadWindow, kTranslate, kFrame, 363},     // from its frame, before the destruction
        {kBadWindow, kTranslate, kOther, 400},     // from another program's window
        {kBadDrawable, kTranslate, kFrame, 400},
        {kBadWindow, kQueryTree, kFrame, 400},
        {kBadWindow, kTranslate, kOther, 408},     // after another failed request on our window
        {kBadWindow, kTranslate, kOther, 401},     // after a failed query for another window
    };
    std::vector<unsigned long> logged;
    for (const auto& e : mp::x11::ErrorsToLog(met, destroyed, {{0x600100, {0x200400}}}))
        logged.push_back(e.serial * 100 + e.request);
    EXPECT_EQ(logged, (std::vector<unsigned long>{410440, 30040, 40040, 40040, 40015, 40840, 40140}));
    EXPECT_EQ(mp::x11::ErrorsToLog(met, {}).size(), met.size());

    // SDL's software renderer makes a graphics context for its picture on the gone window, which
    // fails, and frees it in its teardown. The making's error may have gone to SDL's own handler: once
    // a window was destroyed, no such free is logged, with or without it; before, every one is.
    constexpr unsigned char kBadGC = 13, kCreateGC = 55, kChangeGC = 56, kFreeGC = 60;
    const std::vector<mp::x11::XErrorNote> frees = {
        {kBadGC, kFreeGC, 0x600005, 500},       // its making's error swallowed
        {kBadDrawable, kCreateGC, kOurs, 501},  // made on the gone window
        {kBadGC, kFreeGC, 0x60000a, 520},       // and freed
        {kBadGC, kChangeGC, 0x60000c, 530},     // changed: not a free
    };
    logged.clear();
    for (const auto& e : mp::x11::ErrorsToLog(frees, destroyed)) logged.push_back(e.serial);
    EXPECT_EQ(logged, (std::vector<unsigned long>{530}));
    EXPECT_EQ(mp::x11::ErrorsToLog(frees, {}).size(), frees.size());
}

// Where the handler sends an error: ours are logged; GTK's go to GDK's handler (which ends the
// process outside its traps) but for one that says a resource of GTK's own is not there once the
// notice of one of GTK's windows destroyed by another program was read: GTK asked about the window,
// a child, or what it made from it (the back buffer's pixmap and picture, a GC). Before that notice
// every one goes to GDK, as a double free of GTK's own would, a double destroy among them.
TEST(X11Errors, GtksErrorsOnItsOwnGoneResourcesAreDroppedOnceAnotherProgramDestroyedOne) {
    using mp::x11::ErrorRoute;
    constexpr unsigned char kBadWindow = 3, kBadPixmap = 4, kBadMatch = 8, kBadDrawable = 9, kBadAccess = 10,
                            kBadGC = 13, kBadPictFormat = 142, kBadPicture = 143;
    constexpr unsigned char kGetGeometry = 14, kTranslate = 40, kSetFocus = 42, kConfigure = 12, kFreePixmap = 54,
                            kCopyArea = 62, kRender = 139, kDestroyWindow = 4;
    // GTK's connection makes ids 0xa00000 to 0xbfffff; the game's window is SDL's, another program's its own.
    const mp::x11::ToolkitIds gtk{0xa00000, 0x1fffff, kBadPicture};
    constexpr unsigned long kDialog = 0xa00136, kChild = 0xa00137, kPixmap = 0xa0015c, kGame = 0x600008, kOther = 0xc00200;
    const struct {
        unsigned char code, request;
        unsigned long resource;
        ErrorRoute gtks;
    } rows[] = {
        {kBadWindow, kTranslate, kDialog, ErrorRoute::Dropped},
        {kBadDrawable, kGetGeometry, kDialog, ErrorRoute::Dropped},
        {kBadWindow, kSetFocus, kChild, ErrorRoute::Dropped},
        {kBadWindow, kConfigure, 0xa00010, ErrorRoute::Dropped},  // an older dialog's
        {kBadDrawable, kRender, kPixmap, ErrorRoute::Dropped},    // its picture, of a pixmap never made
        {kBadPixmap, kFreePixmap, kPixmap, ErrorRoute::Dropped},
        {kBadGC, kCopyArea, 0xa0001c, ErrorRoute::Dropped},        // a GC made on the gone window
        {kBadPicture, kRender, 0xbffffe, ErrorRoute::Dropped},
        {kBadWindow, kDestroyWindow, kChild, ErrorRoute::Dropped},
        {kBadMatch, kConfigure, kDialog, ErrorRoute::Toolkit},    // not a sign it is gone
        {kBadAccess, kConfigure, kDialog, ErrorRoute::Toolkit},
        {kBadPictFormat, kRender, kDialog, ErrorRoute::Toolkit},
        {kBadWindow, kTranslate, kGame, ErrorRoute::Toolkit},      // not GTK's own
        {kBadDrawable, kGetGeometry, kOther, ErrorRoute::Toolkit},
        {kBadGC, kCopyArea, 0x9fffff, ErrorRoute::Toolkit},
    };
    // None read; only GTK's own destroy (of the dialog, the notice of its request); another program's.
    mp::x11::ToolkitDestroys none, itself, another;
    mp::x11::NoteToolkitDestroyRequest(itself, gtk, kDialog, 90);
    mp::x11::NoteToolkitDestroy(itself, gtk, kDialog, 90, true);
    mp::x11::NoteToolkitDestroy(another, gtk, 0xa00200, 90, false);
    for (const auto& r : rows) {
        const mp::x11::XErrorNote e{r.code, r.request, r.resource, 100};
        const std::string what = std::to_string(r.code) + " on 0x" + (std::stringstream() << std::hex << r.resource).str();
        EXPECT_EQ(mp::x11::RouteError(e, true, gtk, another), r.gtks) << what;
        EXPECT_EQ(mp::x11::RouteError(e, true, gtk, none), ErrorRoute::Toolkit) << what;
        EXPECT_EQ(mp::x11::RouteError(e, true, gtk, itself), ErrorRoute::Toolkit) << what;
        EXPECT_EQ(mp::x11::RouteError(e, true, {}, another), ErrorRoute::Toolkit) << what;  // ids unknown
        EXPECT_EQ(mp::x11::RouteError(e, false, gtk, another), ErrorRoute::Logged) << what;
    }
    // GTK destroying its own window a second time: its first destroy's notice read, no other.
    EXPECT_EQ(mp::x11::RouteError({kBadWindow, kDestroyWindow, kDialog, 100}, true, gtk, itself), ErrorRoute::Toolkit);
}

// The notices that start the drops: only of GTK's own windows (not the game's, which GTK watches as
// its dialogs' owner, nor another program's), and only of one that GTK did not destroy itself. A
// notice is GTK's own destroy's when its serial (GTK's last request the server had handled when the
// window went) is that of GTK's request to destroy the window or later; an older one is another
// program's, whatever GDK says of the window by then (its close marks it destroyed before anything
// is read). A window GTK did not ask to destroy is GDK's word: a child, destroyed with its parent.
TEST(X11Errors, OnlyANoticeOfGtksOwnWindowDestroyedByAnotherStartsTheDrops) {
    const mp::x11::ToolkitIds gtk{0xa00000, 0x1fffff, 143};
    constexpr unsigned long kBox = 0xa00136, kChild = 0xa00137, kOther = 0xa00150;
    struct Step {
        bool ask;  // GTK's request to destroy the window, or the notice of its destroy read
        unsigned long window, serial;
        bool marked = false;  // the notice's window, as GDK has it by then: marked destroyed
    };
    const auto ask = [](unsigned long w, unsigned long serial) { return Step{true, w, serial}; };
    const auto notice = [](unsigned long w, unsigned long serial, bool marked) { return Step{false, w, serial, marked}; };
    const struct {
        const char* what;
        std::vector<Step> steps;
        bool byAnother;
    } rows[] = {
        {"GTK's own destroy", {ask(kBox, 500), notice(kBox, 500, true)}, false},
        {"with a child destroyed with the box", {ask(kBox, 500), notice(kChild, 500, true), notice(kBox, 500, true)}, false},
        {"another's destroy handled before GTK's close, read after it marked the box",
         {ask(kBox, 500), notice(kBox, 480, true)}, true},
        {"another's destroy handled amid GTK's close, before its destroy", {ask(kBox, 500), notice(kBox, 499, true)}, true},
        {"another's destroy read before GTK's close", {notice(kBox, 480, false), ask(kBox, 500)}, true},
        {"another's destroy of a box just after GTK's destroy of another window was handled",
         {ask(kOther, 500), notice(kOther, 500, true), notice(kBox, 500, false)}, true},
        {"another's destroy of a window made anew with the id of one GTK destroyed",
         {ask(kBox, 500), notice(kBox, 500, true), notice(kBox, 900, false)}, true},
        {"the game's window", {notice(0x600008, 480, false)}, false},
        {"another program's window", {ask(0xc00200, 500), notice(0xc00200, 480, false)}, false},
        {"GTK's window at the top of its range", {notice(0xbfff00, 480, false)}, true},
    };
    for (const auto& row : rows) {
        mp::x11::ToolkitDestroys destroys;
        for (const Step& step : row.steps) {
            if (step.ask) mp::x11::NoteToolkitDestroyRequest(destroys, gtk, step.window, step.serial);
            else mp::x11::NoteToolkitDestroy(destroys, gtk, step.window, step.serial, step.marked);
        }
        EXPECT_EQ(destroys.byAnother, row.byAnother) << row.what;
        // GTK's ids not known yet: no notice is GTK's.
        mp::x11::ToolkitDestroys unknown;
        for (const Step& step : row.steps)
            if (!step.ask) mp::x11::NoteToolkitDestroy(unknown, {}, step.window, step.serial, step.marked);
        EXPECT_FALSE(unknown.byAnother) << row.what;
    }
    // Many of GTK's own closes, each read after its request, start nothing; one notice older than its
    // request starts the drops for good, whatever GTK destroys after it.
    mp::x11::ToolkitDestroys destroys;
    for (unsigned long w = 0xa00100; w < 0xa00128; ++w) {
        mp::x11::NoteToolkitDestroyRequest(destroys, gtk, w, w);
        mp::x11::NoteToolkitDestroy(destroys, gtk, w, w, true);
    }
    EXPECT_FALSE(destroys.byAnother);
    mp::x11::NoteToolkitDestroyRequest(destroys, gtk, 0xa00200, 0xa00200);
    mp::x11::NoteToolkitDestroy(destroys, gtk, 0xa00200, 0xa001ff, true);
    for (unsigned long w = 0xa00300; w < 0xa00328; ++w) {
        mp::x11::NoteToolkitDestroyRequest(destroys, gtk, w, w);
        mp::x11::NoteToolkitDestroy(destroys, gtk, w, w, true);
    }
    EXPECT_EQ(mp::x11::RouteError({3, 40, 0xa00136, 100}, true, gtk, destroys), mp::x11::ErrorRoute::Dropped);
}

// Message boxes on an X display with a window manager, or none (tools/run-with-wm.sh): a GTK dialog
// whose label holds the Japanese text as UTF-8, answering each button's code, shown on the
// thread with the window when another thread asks; another program taking the focus while a box
// is up leaves the application then, and its owner hears of it once the box has closed. GTK's
// start leaves the process's X error handler ours, beside GDK's for GDK's own connection.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

#include "platform/gtk_start.h"
#include "platform/message_box.h"
#include "platform/sound_output.h"
#include "platform/window.h"
#include "platform/x11_errors.h"
#include "tests/common/wait.h"
#include <gdk/gdkx.h>  // last: Xlib's macros
#include "tests/x11/x_view.h"

namespace {

namespace mp = morna::platform;
namespace mt = morna::test;

struct Seen {
    std::string title, label, buttons;
    int press = 0;  // the response to give: a button's code, or 0 for the close box
};

// The message dialog on the screen; null when there is none.
GtkWidget* MappedBox() {
    GtkWidget* dialog = nullptr;
    GList* tops = gtk_window_list_toplevels();
    for (GList* t = tops; t != nullptr; t = t->next)
        if (GTK_IS_MESSAGE_DIALOG(t->data) && gtk_widget_get_mapped(GTK_WIDGET(t->data))) dialog = GTK_WIDGET(t->data);
    g_list_free(tops);
    return dialog;
}

// Presses the box's button of the answer `code`, as a click on it does.
void Press(GtkWidget* box, int code) {
    gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(box), code)));
}

// Finds the open message dialog, notes what it shows and answers as the player would.
gboolean Answer(gpointer data) {
    auto* seen = static_cast<Seen*>(data);
    GtkWidget* dialog = MappedBox();
    if (dialog == nullptr) return G_SOURCE_CONTINUE;
    seen->title = gtk_window_get_title(GTK_WINDOW(dialog));
    GList* labels = gtk_container_get_children(GTK_CONTAINER(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog))));
    seen->label = gtk_label_get_text(GTK_LABEL(labels->data));
    g_list_free(labels);
    for (const int code : {mp::IDOK, mp::IDCANCEL})
        if (GtkWidget* b = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), code))
            seen->buttons += std::string(gtk_button_get_label(GTK_BUTTON(b))) + "|";
    if (seen->press != 0) Press(dialog, seen->press);
    else gtk_window_close(GTK_WINDOW(dialog));
    return G_SOURCE_REMOVE;
}

// What the owner's procedure was told of the application's activation.
std::vector<uintptr_t>& Activations() {
    static std::vector<uintptr_t> seen;
    return seen;
}

intptr_t OwnerProcedure(mp::WindowHandle w, uint32_t msg, uintptr_t wp, intptr_t lp) {
    if (msg == mp::WM_ACTIVATEAPP) Activations().push_back(wp);
    return mp::DefaultWindowProcedure(w, msg, wp, lp);
}

// While the box is up: another program's window (a GTK window not the application's) takes the
// focus once the box has it; the box is answered once the application has left. Each wait ends
// after 10 s: from the box's first sight, and from the other window's showing.
struct Leaving {
    GtkWidget* other = nullptr;
    uint32_t since = 0;
    bool seen = false, leftWithTheBoxUp = false, mutedWithTheBoxUp = false;
};

gboolean LeaveUnderTheBox(gpointer data) {
    auto* l = static_cast<Leaving*>(data);
    GtkWidget* box = MappedBox();
    if (box == nullptr) return G_SOURCE_CONTINUE;
    if (!l->seen) l->since = mp::MonotonicMilliseconds();
    l->seen = true;
    const bool waiting = mp::MonotonicMilliseconds() - l->since < 10000;
    if (l->other == nullptr && !gtk_window_is_active(GTK_WINDOW(box)) && waiting) return G_SOURCE_CONTINUE;
    if (l->other == nullptr) {
        l->other = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(l->other), 200, 100);
        gtk_widget_show(l->other);
        gtk_window_present(GTK_WINDOW(l->other));
        l->since = mp::MonotonicMilliseconds();
        return G_SOURCE_CONTINUE;
    }
    l->leftWithTheBoxUp = !mp::IsApplicationActive();
    l->mutedWithTheBoxUp = !mp::IsSoundApplicationActive();
    if ((!l->leftWithTheBoxUp || !l->mutedWithTheBoxUp) && waiting) return G_SOURCE_CONTINUE;
    Press(box, mp::IDOK);
    return G_SOURCE_REMOVE;
}

TEST(X11MessageBox, GtkDialogShowsUtf8TextAndAnswersEachButton) {
    ASSERT_TRUE(mp::RegisterWindowClass({"MORNA_BOX_TEST", &OwnerProcedure, false}));
    const mp::WindowHandle window = mp::CreateWindow({"MORNA_BOX_TEST", "box", 0x10CA0000, 0, 0, 320, 240});
    ASSERT_NE(window, 0u) << mp::LastWindowError();
    const std::string text = "セーブデータが壊れています。\n続けますか？";  // Shift-JIS here
    const std::string utf8 = reinterpret_cast<const char*>(u8"セーブデータが壊れています。\n続けますか？");
    const struct {
        uint32_t flags;
        int press, answer;
        const char* buttons;
    } rows[] = {{mp::MB_OK | mp::MB_ICONERROR, mp::IDOK, mp::IDOK, "OK|"},
                {mp::MB_OK, 0, mp::IDOK, "OK|"},
                {mp::MB_OKCANCEL | mp::MB_ICONQUESTION, mp::IDOK, mp::IDOK, "OK|Cancel|"},
                {mp::MB_OKCANCEL | mp::MB_ICONWARNING, mp::IDCANCEL, mp::IDCANCEL, "OK|Cancel|"},
                {mp::MB_OKCANCEL, 0, mp::IDCANCEL, "OK|Cancel|"}};
    for (const auto& row : rows) {
        Seen seen;
        seen.press = row.press;
        g_timeout_add(50, &Answer, &seen);
        std::string error;
        EXPECT_EQ(mp::ShowMessageBox({window, text, "エラー", row.flags}, &error), row.answer) << error;
        EXPECT_EQ(seen.label, utf8);
        EXPECT_EQ(seen.title, reinterpret_cast<const char*>(u8"エラー"));
        EXPECT_EQ(seen.buttons, row.buttons);
    }

    // Asked for on another thread: shown on this one, which has the window, while it pumps.
    Seen seen;
    seen.press = mp::IDCANCEL;
    std::atomic<int> answer{-1};
    std::thread asker([&] { answer = mp::ShowMessageBox({0, text, "確認", mp::MB_OKCANCEL}); });
    g_timeout_add(50, &Answer, &seen);
    const bool answered = mt::WaitUntil([&] { return answer >= 0; }, [] {
        mp::WindowMessage m;
        while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
    }, 20000);
    if (!answered) {
        asker.detach();  // still waiting for its box: the process ends with the failure
        FAIL() << "the box asked for on another thread gave no answer in 20 s: "
               << (seen.title.empty() ? "no box was shown while this thread pumped"
                                      : "shown as \"" + seen.title + "\" and answered, its call not back");
    }
    asker.join();
    EXPECT_EQ(answer, mp::IDCANCEL);
    EXPECT_EQ(seen.label, utf8);

    // Another program takes the focus from the box: the application leaves while the box is up,
    // the owner's WM_ACTIVATEAPP 0 waits for the box's end.
    const auto pumpUntil = [&](const std::function<bool()>& done) {
        return mt::WaitUntil(done, [] {
            mp::WindowMessage m;
            while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
        }, 10000);
    };
    mp::FocusWindow(window);
    ASSERT_TRUE(pumpUntil([] { return mp::GetFocus() != 0 && mp::IsApplicationActive(); })) << "the window never had the focus";
    Activations().clear();
    Leaving leaving;
    g_timeout_add(20, &LeaveUnderTheBox, &leaving);
    EXPECT_EQ(mp::ShowMessageBox({window, text, "エラー", mp::MB_OK}), mp::IDOK);
    EXPECT_TRUE(leaving.leftWithTheBoxUp && leaving.mutedWithTheBoxUp) << "left " << leaving.leftWithTheBoxUp << ", muted " << leaving.mutedWithTheBoxUp;
    EXPECT_TRUE(Activations().empty()) << "the owner's messages were dispatched inside the box";
    pumpUntil([] { return !Activations().empty(); });
    EXPECT_EQ(Activations(), std::vector<uintptr_t>{0});
    if (leaving.other != nullptr) gtk_widget_destroy(leaving.other);

    // GTK is up. An error on a connection not GDK's is logged by the pump's report and the process
    // carries on (GDK's handler, left in place, would drop it; Xlib's would end the process). An
    // error that a GDK trap ignores without a sync reaches GDK's handler after the trap is popped,
    // which matches it to the trap: it is not logged as ours.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    GdkDisplay* gdk = gdk_display_get_default();
    Display* gdkX = GDK_DISPLAY_XDISPLAY(gdk);
    const auto goneWindow = [](Display* d) {
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        XDestroyWindow(d, w);
        return w;
    };
    const Window ours = goneWindow(other), gdks = goneWindow(gdkX);
    testing::internal::CaptureStderr();
    XMapWindow(other, ours);
    XSync(other, False);
    gdk_x11_display_error_trap_push(gdk);
    XMapWindow(gdkX, gdks);
    gdk_x11_display_error_trap_pop_ignored(gdk);
    XSync(gdkX, False);
    morna::platform::x11::ReportErrors();
    const std::string logged = testing::internal::GetCapturedStderr();
    const auto resource = [](Window w) {
        char text[32];
        std::snprintf(text, sizeof text, "resource 0x%lx)", w);
        return std::string(text);
    };
    EXPECT_NE(logged.find(resource(ours)), std::string::npos) << logged;
    EXPECT_EQ(logged.find(resource(gdks)), std::string::npos) << logged;
    XCloseDisplay(other);
    EXPECT_TRUE(mp::DestroyWindow(window));
}

// Clicks OK on the box once it holds the X focus (as the player answers it with the keys), or 10 s
// after it was first seen without: `hadKeys` says which.
struct KeyedAnswer {
    uint32_t seenAt = 0;
    bool seen = false, hadKeys = false;
};

gboolean AnswerWithTheKeys(gpointer data) {
    auto* a = static_cast<KeyedAnswer*>(data);
    GtkWidget* box = MappedBox();
    if (box == nullptr) return G_SOURCE_CONTINUE;
    if (!a->seen) a->seenAt = mp::MonotonicMilliseconds();
    a->seen = true;
    a->hadKeys = gtk_window_is_active(GTK_WINDOW(box));
    if (!a->hadKeys && mp::MonotonicMilliseconds() - a->seenAt < 10000) return G_SOURCE_CONTINUE;
    Press(box, mp::IDOK);
    return G_SOURCE_REMOVE;
}

// A box closed with the keys hands them back to its owner's window, three boxes in a row: a manager
// activates the owner when asked; with none (MORNA_WM=none) nobody would, and the focus that reverts
// as the box goes lands on the root.
TEST(X11MessageBox, ABoxClosedWithTheKeysHandsThemBackToItsOwner) {
    ASSERT_TRUE(mp::RegisterWindowClass({"MORNA_BOX_OWNER", &OwnerProcedure, false}));
    const mp::WindowHandle window = mp::CreateWindow({"MORNA_BOX_OWNER", "owner", 0x10CA0000, 0, 0, 320, 240});
    ASSERT_NE(window, 0u) << mp::LastWindowError();
    mt::XView x;
    const Window owner = mt::XView::Of(window);
    const auto pumpUntil = [&](const std::function<bool()>& done) {
        return mt::WaitUntil(done, [] {
            mp::WindowMessage m;
            while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
        }, 20000);
    };
    const auto focus = [&] {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(x.get(), &w, &revert);
        return w;
    };
    mp::FocusWindow(window);
    ASSERT_TRUE(pumpUntil([&] { return focus() == owner && mp::IsApplicationActive(); }))
        << "the owner never had the keys: " << x.FocusState({{"owner", owner}});
    for (int box = 0; box < 3; ++box) {
        KeyedAnswer answer;
        g_timeout_add(20, &AnswerWithTheKeys, &answer);
        EXPECT_EQ(mp::ShowMessageBox({window, "OK?", "box", mp::MB_OK}), mp::IDOK);
        EXPECT_TRUE(answer.hadKeys) << "box " << box << " was answered without the keys";
        EXPECT_TRUE(pumpUntil([&] { return focus() == owner && mp::IsApplicationActive(); }))
            << "after box " << box << ": " << x.FocusState({{"owner", owner}}) << "; application "
            << (mp::IsApplicationActive() ? "active" : "inactive");
    }
    EXPECT_TRUE(mp::DestroyWindow(window));
}

// A request on GTK's connection inside a GDK trap, and a round trip: the error GDK's trap saw (0 for
// none: dropped before any handler).
int TrappedError(GdkDisplay* gdk, const std::function<void(Display*)>& request) {
    Display* x = GDK_DISPLAY_XDISPLAY(gdk);
    gdk_x11_display_error_trap_push(gdk);
    request(x);
    XSync(x, False);
    return gdk_x11_display_error_trap_pop(gdk);
}

// An id of GTK's connection with no window (made and destroyed with no notice asked for).
Window NoWindowOfGtks() {
    Display* x = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    const Window w = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(x, w);
    return w;
}

// Acts on the box from a callback of its loop once it is on the screen; after 10 s without it,
// closes whatever box came (`acted` stays false, and the test says so).
struct OnTheBox {
    std::function<void(GtkWidget*)> act;
    uint32_t deadline = mp::MonotonicMilliseconds() + 10000;
    bool acted = false;
};

gboolean ActOnTheBox(gpointer data) {
    auto* on = static_cast<OnTheBox*>(data);
    GtkWidget* box = MappedBox();
    if (box != nullptr && gtk_widget_get_window(box) != nullptr) {
        on->acted = true;
        on->act(box);
        return G_SOURCE_REMOVE;
    }
    if (box == nullptr || static_cast<int32_t>(mp::MonotonicMilliseconds() - on->deadline) < 0) return G_SOURCE_CONTINUE;
    gtk_window_close(GTK_WINDOW(box));
    return G_SOURCE_REMOVE;
}

// Shows a box with `act` run on it (OnTheBox): its answer.
int ShowActedOn(mp::WindowHandle owner, const char* text, OnTheBox& on) {
    g_timeout_add(20, &ActOnTheBox, &on);
    return mp::ShowMessageBox({owner, text, "エラー", mp::MB_OK});
}

// The lines a box's close writes with the count of GTK's errors dropped.
std::vector<std::string> LinesOfDrops(const std::string& log) {
    std::vector<std::string> lines;
    std::stringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("GTK: ", 0) == 0 && line.find("not reported") != std::string::npos) lines.push_back(line);
    return lines;
}

// GTK's errors on its own ids reach GDK (its traps, or its handler, which ends the process) until
// the notice of one of its windows destroyed by another program has been read: not while the first
// box is up, nor after GTK destroyed the box's window itself. Then they are dropped for the rest of
// the process, the first already when it answers the very round trip that read the notice, and the
// box's close writes one line with their count.
TEST(X11MessageBox, GtksErrorsAreDroppedOnlyOnceAnotherProgramDestroyedOneOfItsWindows) {
    ASSERT_TRUE(mp::RegisterWindowClass({"MORNA_BOX_DROPS", &OwnerProcedure, false}));
    const mp::WindowHandle window = mp::CreateWindow({"MORNA_BOX_DROPS", "box", 0x10CA0000, 0, 0, 320, 240});
    ASSERT_NE(window, 0u) << mp::LastWindowError();
    std::string error;
    ASSERT_TRUE(mp::StartGtk(window, &error)) << error;
    GdkDisplay* gdk = gdk_display_get_default();
    const Window noWindow = NoWindowOfGtks();
    // The first box, answered: an error on GTK's ids while it is up reaches GDK's trap; GTK destroys
    // the box's window itself, and the round trip of the close reads the notice.
    int whileUp = -1;
    OnTheBox first;
    first.act = [&](GtkWidget* box) {
        whileUp = TrappedError(gdk, [&](Display* x) { XMapWindow(x, noWindow); });
        Press(box, mp::IDOK);
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowActedOn(window, "一", first), mp::IDOK);
    std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(first.acted);
    EXPECT_EQ(whileUp, BadWindow) << "an error on GTK's ids with no window destroyed by another program";
    EXPECT_TRUE(LinesOfDrops(logged).empty()) << logged;
    EXPECT_EQ(TrappedError(gdk, [&](Display* x) { XMapWindow(x, noWindow); }), BadWindow);

    // A box whose window another program destroys (and the server has done it, before GTK reads
    // anything); then GTK's connection asks about it and about a GTK id with no window.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    int onTheBox = -1, onNoWindow = -1;
    OnTheBox destroyed;
    destroyed.act = [&](GtkWidget* box) {
        const Window boxWindow = GDK_WINDOW_XID(gtk_widget_get_window(box));
        XDestroyWindow(other, boxWindow);
        XSync(other, False);
        onTheBox = TrappedError(gdk, [&](Display* x) { XMapWindow(x, boxWindow); });
        onNoWindow = TrappedError(gdk, [&](Display* x) { XMapWindow(x, noWindow); });
    };
    testing::internal::CaptureStderr();
    ShowActedOn(window, "二", destroyed);
    logged = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(destroyed.acted);
    EXPECT_EQ(onTheBox, 0) << "the error on the destroyed box's window reached GDK (-1: never asked)";
    EXPECT_EQ(onNoWindow, 0);
    const std::vector<std::string> lines = LinesOfDrops(logged);
    ASSERT_EQ(lines.size(), 1u) << logged;
    EXPECT_GE(std::atoi(lines[0].c_str() + 5), 2) << lines[0];

    // Dropped from then on, with no box open, and counted into the next close's line.
    EXPECT_EQ(TrappedError(gdk, [&](Display* x) { XMapWindow(x, noWindow); }), 0);
    Seen seen;
    seen.press = mp::IDOK;
    g_timeout_add(50, &Answer, &seen);
    testing::internal::CaptureStderr();
    EXPECT_EQ(mp::ShowMessageBox({window, "三", "エラー", mp::MB_OK}), mp::IDOK);
    logged = testing::internal::GetCapturedStderr();
    EXPECT_EQ(LinesOfDrops(logged).size(), 1u) << logged;
    // An error on another connection is still logged as ours.
    const Window ours = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(other, ours);
    testing::internal::CaptureStderr();
    XMapWindow(other, ours);
    XSync(other, False);
    morna::platform::x11::ReportErrors();
    logged = testing::internal::GetCapturedStderr();
    EXPECT_NE(logged.find("X error 3 on request 8"), std::string::npos) << logged;
    XCloseDisplay(other);
    EXPECT_TRUE(mp::DestroyWindow(window));
}

// Another program destroys a box's window as the player answers it: in the very callback that
// presses OK, before anything is read on GTK's connection (`midClose` false), or in the middle of
// GTK's close, once the server has handled GTK's first requests of it and before GTK's destroy of
// the window (true). GTK's close then asks about the gone window, and reads the notice only after,
// with the window marked destroyed by GTK's own close: the notice is still of the other's destroy.
// The box answers OK, the process carries on (GDK's handler would end it), GTK's errors are dropped
// from then on, the close writes its line, and the next box answers.
void AnswerAsAnotherProgramDestroysTheBox(bool midClose) {
    ASSERT_TRUE(mp::RegisterWindowClass({"MORNA_BOX_RACE", &OwnerProcedure, false}));
    const mp::WindowHandle window = mp::CreateWindow({"MORNA_BOX_RACE", "box", 0x10CA0000, 0, 0, 320, 240});
    ASSERT_NE(window, 0u) << mp::LastWindowError();
    std::string error;
    ASSERT_TRUE(mp::StartGtk(window, &error)) << error;
    GdkDisplay* gdk = gdk_display_get_default();
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    struct Race {
        Display *gtks, *other;
        Window box;
        bool destroyed;
        void DestroyTheBox() {
            XDestroyWindow(other, box);
            XSync(other, False);
            destroyed = true;
        }
    } race{GDK_DISPLAY_XDISPLAY(gdk), other, 0, false};
    OnTheBox answer;
    answer.act = [&](GtkWidget* box) {
        race.box = GDK_WINDOW_XID(gtk_widget_get_window(box));
        if (!midClose) race.DestroyTheBox();
        else  // GTK's handlers run before its own unrealize, which destroys the window
            g_signal_connect(box, "unrealize", G_CALLBACK(+[](GtkWidget*, gpointer data) {
                auto* r = static_cast<Race*>(data);
                XSync(r->gtks, False);  // the close's requests so far, handled by the server
                r->DestroyTheBox();
            }), &race);
        Press(box, mp::IDOK);
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowActedOn(window, "一", answer), mp::IDOK);
    std::string logged = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(answer.acted && race.destroyed) << "the box was not up within 10 s, or its close never unrealized it";
    EXPECT_EQ(LinesOfDrops(logged).size(), 1u) << logged;
    const Window noWindow = NoWindowOfGtks();
    EXPECT_EQ(TrappedError(gdk, [&](Display* x) { XMapWindow(x, noWindow); }), 0)
        << "GTK's errors reach GDK: the destroy was taken for GTK's own";
    Seen seen;
    seen.press = mp::IDOK;
    g_timeout_add(50, &Answer, &seen);
    EXPECT_EQ(mp::ShowMessageBox({window, "二", "エラー", mp::MB_OK}), mp::IDOK);
    XCloseDisplay(other);
    EXPECT_TRUE(mp::DestroyWindow(window));
}

TEST(X11MessageBox, ABoxAnsweredAsAnotherProgramDestroysItsWindowLeavesTheProcessRunning) {
    AnswerAsAnotherProgramDestroysTheBox(false);
}

TEST(X11MessageBox, ABoxDestroyedByAnotherProgramInTheMiddleOfItsCloseLeavesTheProcessRunning) {
    AnswerAsAnotherProgramDestroysTheBox(true);
}

}  // namespace

// The settings dialog's GTK window on an X display with a window manager (tools/run-with-wm.sh),
// over an application frame of the test's own: its tabs, a check and Apply writing global.cfg,
// the master scale acting on the mixer at once, Cancel giving the game window its input back, and
// a window destroyed behind the dialog's back.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "framework/app_frame.h"
#include "game/files/key_control.h"
#include "game/scenes/settings_dialog.h"
#include "tests/common/app_thread.h"
#include "tests/common/checked_input_scope.h"
#include "tests/common/file_bytes.h"
#include "tests/common/temp_base_folder.h"
#include "tests/x11/x_view.h"  // last: Xlib's macros

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
namespace mt = morna::test;

GtkWidget* FindNamed(GtkWidget* w, const std::string& name) {
    if (name == gtk_widget_get_name(w)) return w;
    GtkWidget* found = nullptr;
    if (GTK_IS_CONTAINER(w)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(w));
        for (GList* c = children; c != nullptr && found == nullptr; c = c->next) found = FindNamed(GTK_WIDGET(c->data), name);
        g_list_free(children);
    }
    return found;
}

struct Frame : KB::CAppFrameBase {
    SGlobalConfig config;
    std::function<void(Frame&)> body;
    SGlobalConfig& GetGlobalConfig() override { return config; }
    void MainLoop() override {
        InitializeFrame();
        body(*this);
    }
};

TEST(X11SettingsDialog, TabsApplyTheMasterScaleAndCancel) {
    mt::XView x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    mt::FakeSystem keyboard;
    mt::CheckedInputScope scope(keyboard);
    mt::RunOnAppThread([&](mt::BodyApp& app) {
        mt::TempBaseFolder folder("morna-settings-x11");
        Frame frame;
        frame.body = [&](Frame& f) {
            const mp::WindowHandle game = app.GetHWnd();
            auto pumpUntil = [&](const std::function<bool()>& done) {
                for (int i = 0; i < 500 && !done(); ++i) {
                    mp::WindowMessage m;
                    while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
                    ::usleep(10000);
                }
                return done();
            };
            f.config.Load("save\\global.cfg");
            CKeyControl keys;
            keys.Initialize("save\\key.cfg");
            ASSERT_TRUE(pumpUntil([&] { return mp::GetFocus() == game; })) << "the game window never had the focus";

            SSettingsHost host;
            host.config = &f.config;
            host.keys = &keys;
            host.mixer = &f.GetMixer();
            host.setMasterVolume = [&f](int32_t v) { f.SetMasterVolume(v); };
            host.applySoundConfig = [&f] { f.ApplySoundConfig(); };
            host.owner = game;
            std::unique_ptr<CSettingsDialog> settings;
            OpenSettingsDialog(settings, host);
            ASSERT_NE(KB::SettingsDialogHandle(), 0u);
            ASSERT_TRUE(pumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) != 0; }));

            GtkWidget* dialog = nullptr;
            GList* tops = gtk_window_list_toplevels();
            for (GList* t = tops; t != nullptr; t = t->next)
                if (FindNamed(GTK_WIDGET(t->data), "129:1") != nullptr) dialog = GTK_WIDGET(t->data);
            g_list_free(tops);
            ASSERT_NE(dialog, nullptr);
            GtkWidget* notebook = gtk_bin_get_child(GTK_BIN(dialog));
            GList* box = gtk_container_get_children(GTK_CONTAINER(notebook));
            notebook = GTK_WIDGET(box->data);
            g_list_free(box);
            ASSERT_TRUE(GTK_IS_NOTEBOOK(notebook));
            std::string tabs;
            for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)); ++i)
                tabs += std::string(gtk_notebook_get_tab_label_text(GTK_NOTEBOOK(notebook),
                                                                    gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), i))) + "|";
            EXPECT_EQ(tabs, mt::Utf8(u8"入力|全般|サウンド|バージョン情報|"));

            GtkWidget* apply = FindNamed(dialog, "129:3");
            EXPECT_FALSE(gtk_widget_get_sensitive(apply));
            gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "132:1005")));  // as a click toggles it
            EXPECT_TRUE(gtk_widget_get_sensitive(apply));
            gtk_button_clicked(GTK_BUTTON(apply));
            const std::vector<uint8_t> cfg = mt::ReadBytes(folder.Path() + "/save/global.cfg");
            ASSERT_GT(cfg.size(), 23u);
            EXPECT_EQ(cfg[23], 1);
            EXPECT_FALSE(gtk_widget_get_sensitive(apply));

            gtk_range_set_value(GTK_RANGE(FindNamed(dialog, "130:2000")), 100);  // as a drag moves it
            std::vector<uint32_t> line;
            f.GetMixer().GetVolume(0, line);
            ASSERT_FALSE(line.empty());
            EXPECT_EQ(*std::max_element(line.begin(), line.end()), 1000u);

            gtk_button_clicked(GTK_BUTTON(FindNamed(dialog, "129:2")));
            EXPECT_EQ(KB::SettingsDialogHandle(), 0u);
            EXPECT_TRUE(pumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) == 0; }));
            // The loop reads keys again: no dialog, and the game window has the focus.
            EXPECT_TRUE(pumpUntil([&] { return mp::GetFocus() == game; }));
            f.GetMixer().GetVolume(0, line);
            EXPECT_GT(*std::max_element(line.begin(), line.end()), 1000u);  // Cancel put the mixer back

            // A window destroyed behind the dialog's back closes it as its close box does.
            OpenSettingsDialog(settings, host);
            ASSERT_TRUE(pumpUntil([&] { return x.FindByTitle(mt::Utf8(u8"設定")) != 0; }));
            tops = gtk_window_list_toplevels();
            for (GList* t = tops; t != nullptr; t = t->next)
                if (FindNamed(GTK_WIDGET(t->data), "129:1") != nullptr) dialog = GTK_WIDGET(t->data);
            g_list_free(tops);
            gtk_widget_destroy(dialog);
            EXPECT_TRUE(pumpUntil([&] { return KB::SettingsDialogHandle() == 0; }));
        };
        frame.Start();
    });
}

}  // namespace

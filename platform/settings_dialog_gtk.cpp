// The settings dialog as a GTK window: the layout of the original's dialog pages, each control
// named by its page and id. GTK runs on the application thread: it starts when the first dialog
// opens, and while a dialog lives every pass of the window pump handles GLib's pending events.
#include <gtk/gtk.h>

#include <cmath>
#include <map>
#include <utility>

#include "platform/charset.h"
#include "platform/gtk_start.h"
#include "platform/keyboard_state.h"
#include "platform/settings_dialog_view.h"

namespace morna::platform {
namespace {

namespace sp = settings_page;

// Shift-JIS inside the program, UTF-8 at GTK.
std::string Utf8(const std::string& sjis) {
    std::string out;
    return Cp932ToUtf8(sjis, out) ? out : std::string();
}

int gLiveViews = 0;
bool gPumping = false;

void PumpGtk() {
    if (gPumping) return;  // a handler that pumps again waits for the outer pass
    gPumping = true;
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    gPumping = false;
}

struct SCheckRow {
    int id;
    const char* label;
    const char* note;
};

class GtkSettingsView final : public SettingsView {
public:
    GtkSettingsView(SettingsEvents& events, WindowHandle owner) : events_(events), owner_(owner) {
        static uintptr_t next = 0;
        handle_ = ++next;
        ++quiet_;
        Build();
        --quiet_;
        if (gLiveViews++ == 0) SetPumpPassHook(&PumpGtk);
    }
    ~GtkSettingsView() override {
        StopTimer();
        ++quiet_;
        // A dialog that closes with the focus hands it back to the game's window, which the
        // application's activation then waits for: its closing is no switch of applications.
        if (DialogHasFocus(Handle())) FocusWindow(owner_);
        ReportDialogClosed(Handle());
        if (window_ != nullptr) g_signal_handlers_disconnect_by_data(window_, this);
        DestroyDialogWindow(window_);  // null where another program destroyed it
        if (window_ != nullptr) PumpGtk();  // the window goes from the screen now, not at the next pass
        if (--gLiveViews == 0) SetPumpPassHook(nullptr);
    }

    uintptr_t Handle() const override { return handle_; }
    void ShowPage(int index) override {
        if (notebook_ == nullptr || window_ == nullptr) return;
        ++quiet_;
        gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook_), index);
        --quiet_;
    }
    void Enable(int page, int id, bool on) override {
        if (GtkWidget* w = Find(page, id)) gtk_widget_set_sensitive(w, on);
    }
    bool GetCheck(int page, int id) override {
        GtkWidget* w = Find(page, id);
        return w != nullptr && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w));
    }
    void SetCheck(int page, int id, bool on) override {
        if (GtkWidget* w = Find(page, id)) Quietly([&] { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), on); });
    }
    std::string GetText(int page, int id) override {
        GtkWidget* w = Find(page, id);
        std::string out;
        if (w == nullptr || !Utf8ToCp932(gtk_entry_get_text(GTK_ENTRY(w)), out)) return std::string();
        return out;
    }
    void SetText(int page, int id, const std::string& text) override {
        if (GtkWidget* w = Find(page, id)) Quietly([&] { gtk_entry_set_text(GTK_ENTRY(w), Utf8(text).c_str()); });
    }
    void SetRange(int page, int id, int min, int max, int tick, int pageStep, int lineStep) override {
        GtkWidget* w = Find(page, id);
        if (w == nullptr) return;
        Quietly([&] {
            gtk_range_set_range(GTK_RANGE(w), min, max);
            gtk_range_set_increments(GTK_RANGE(w), lineStep, pageStep);
            gtk_scale_clear_marks(GTK_SCALE(w));
            for (int v = min; tick > 0 && v <= max; v += tick) gtk_scale_add_mark(GTK_SCALE(w), v, GTK_POS_BOTTOM, nullptr);
        });
    }
    int GetPos(int page, int id) override {
        GtkWidget* w = Find(page, id);
        return w == nullptr ? 0 : static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(w))));
    }
    void SetPos(int page, int id, int pos) override {
        if (GtkWidget* w = Find(page, id)) Quietly([&] { gtk_range_set_value(GTK_RANGE(w), pos); });
    }
    // The control is the dialog's focus widget while the dialog has the keyboard focus: keys typed
    // into the game's window or another program's are not the control's.
    bool HasFocus(int page, int id) override {
        GtkWidget* w = Find(page, id);
        return w != nullptr && gtk_widget_is_focus(w) && DialogHasFocus(Handle());
    }
    void Focus(int page, int id) override {
        GtkWidget* w = Find(page, id);
        if (w == nullptr) return;
        gtk_widget_grab_focus(w);
        if (GTK_IS_ENTRY(w)) gtk_editable_select_region(GTK_EDITABLE(w), 0, -1);
    }
    void StartTimer(uint32_t ms) override {
        StopTimer();
        timer_ = g_timeout_add(ms, &GtkSettingsView::OnTimeout, this);
    }
    void StopTimer() override {
        if (timer_ != 0) g_source_remove(timer_);
        timer_ = 0;
    }

private:
    template <class F>
    void Quietly(F f) {
        ++quiet_;
        f();
        --quiet_;
    }
    GtkWidget* Find(int page, int id) {
        auto it = controls_.find({page, id});
        return it == controls_.end() ? nullptr : it->second;
    }
    GtkWidget* Name(GtkWidget* w, int page, int id) {
        controls_[{page, id}] = w;
        // Tests and accessibility tools find it as "page:id".
        gtk_widget_set_name(w, (std::to_string(page) + ":" + std::to_string(id)).c_str());
        g_object_set_data(G_OBJECT(w), "morna-page", GINT_TO_POINTER(page));
        g_object_set_data(G_OBJECT(w), "morna-id", GINT_TO_POINTER(id));
        return w;
    }
    static std::pair<int, int> Ids(gpointer w) {
        return {GPOINTER_TO_INT(g_object_get_data(G_OBJECT(w), "morna-page")),
                GPOINTER_TO_INT(g_object_get_data(G_OBJECT(w), "morna-id"))};
    }

    // ---- events -------------------------------------------------------------
    static void OnClicked(GtkWidget* w, gpointer self) {
        auto* v = static_cast<GtkSettingsView*>(self);
        if (v->quiet_ == 0) v->events_.OnCommand(Ids(w).first, Ids(w).second);
    }
    static void OnChanged(GtkWidget* w, gpointer self) {
        auto* v = static_cast<GtkSettingsView*>(self);
        if (v->quiet_ == 0) v->events_.OnEditChange(Ids(w).first, Ids(w).second);
    }
    static void OnValue(GtkWidget* w, gpointer self) {
        auto* v = static_cast<GtkSettingsView*>(self);
        if (v->quiet_ == 0) v->events_.OnScroll(Ids(w).first, Ids(w).second, 5);  // the thumb's track
    }
    static void OnSwitch(GtkNotebook*, GtkWidget*, guint index, gpointer self) {
        auto* v = static_cast<GtkSettingsView*>(self);
        if (v->quiet_ == 0) v->events_.OnTabChange(static_cast<int>(index));
    }
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
        static_cast<GtkSettingsView*>(self)->events_.OnCloseBox();
        return TRUE;  // the model destroys the window
    }
    // The window went without us (its X window destroyed from outside): as the close box, once
    // nothing points at the dead widgets any more.
    static void OnDestroyed(GtkWidget*, gpointer self) {
        auto* v = static_cast<GtkSettingsView*>(self);
        v->window_ = v->notebook_ = nullptr;
        v->controls_.clear();
        v->StopTimer();
        v->events_.OnCloseBox();  // may delete v
    }
    static gboolean OnTimeout(gpointer self) {
        static_cast<GtkSettingsView*>(self)->events_.OnTimer();
        return G_SOURCE_CONTINUE;
    }
    static gboolean OnKey(GtkWidget* window, GdkEventKey* e, gpointer self) {
        // The dialog's own keys act from every control, the key boxes included (Escape and Return
        // are reserved keys no capture takes; the keypad's Enter is not reserved, and a box cannot
        // bind it only because it is taken here). Taken, they never reach the keyboard below: the
        // game is not to see a key the dialog used, and its release comes after the window has gone.
        // With Alt they are system keys (Alt+Return the game's full screen), no dialog's.
        const uint8_t dik = DikFromLinuxKey(e->hardware_keycode >= 8 ? e->hardware_keycode - 8u : 0u);
        if (e->type == GDK_KEY_PRESS && (e->state & GDK_MOD1_MASK) == 0) {
            if (const int button = DialogKeyButton(e->keyval, gtk_window_get_focus(GTK_WINDOW(window))); button != 0) {
                KeepKeyForTheDialog(dik);  // held on, it repeats into the game window
                static_cast<GtkSettingsView*>(self)->events_.OnCommand(sp::kSheet, button);  // may delete the view
                return TRUE;
            }
        }
        // The keyboard the key control reads: the dialog's keys count as typed into the game.
        SetKeyboardKey(dik, e->type == GDK_KEY_PRESS);
        // In a key box the arrows are keys to bind, not GTK's keyboard navigation, which would move
        // the focus by the ones an entry does not use (Up and Down, the keypad's too).
        return IsKeyBox(gtk_window_get_focus(GTK_WINDOW(window))) && IsArrow(e->keyval);
    }
    // The sheet's button a key presses, 0 for none: Escape キャンセル; Return and the keypad's
    // Enter the focused push button, and OK (the default) from any other control, where GTK would
    // toggle a check button and an entry would take it for nothing.
    static int DialogKeyButton(guint key, GtkWidget* focus) {
        switch (key) {
            case GDK_KEY_Escape: return 2;
            case GDK_KEY_Return: case GDK_KEY_KP_Enter: case GDK_KEY_ISO_Enter:
                if (focus != nullptr && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus) && Ids(focus).first == sp::kSheet)
                    return Ids(focus).second;
                return 1;
            default: return 0;
        }
    }
    static bool IsKeyBox(GtkWidget* w) { return w != nullptr && GTK_IS_ENTRY(w) && Ids(w).first == sp::kInput; }
    static bool IsArrow(guint key) {
        switch (key) {
            case GDK_KEY_Up: case GDK_KEY_Down: case GDK_KEY_Left: case GDK_KEY_Right:
            case GDK_KEY_KP_Up: case GDK_KEY_KP_Down: case GDK_KEY_KP_Left: case GDK_KEY_KP_Right: return true;
            default: return false;
        }
    }

    // ---- layout -------------------------------------------------------------
    GtkWidget* Label(const char* sjis) {
        GtkWidget* l = gtk_label_new(Utf8(sjis).c_str());
        gtk_label_set_xalign(GTK_LABEL(l), 0.0f);
        return l;
    }
    GtkWidget* Check(int page, const SCheckRow& row) {
        GtkWidget* c = Name(gtk_check_button_new_with_label(Utf8(row.label).c_str()), page, row.id);
        g_signal_connect(c, "toggled", G_CALLBACK(&OnClicked), this);
        if (row.note == nullptr) return c;
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
        gtk_box_pack_start(GTK_BOX(box), c, FALSE, FALSE, 0);
        GtkWidget* note = Label(row.note);
        gtk_widget_set_margin_start(note, 24);
        gtk_box_pack_start(GTK_BOX(box), note, FALSE, FALSE, 0);
        return box;
    }
    GtkWidget* Group(const char* title, GtkWidget* content) {
        GtkWidget* frame = gtk_frame_new(Utf8(title).c_str());
        gtk_container_set_border_width(GTK_CONTAINER(content), 6);
        gtk_container_add(GTK_CONTAINER(frame), content);
        return frame;
    }
    GtkWidget* Column() { return gtk_box_new(GTK_ORIENTATION_VERTICAL, 4); }
    void Add(GtkWidget* box, GtkWidget* child) { gtk_box_pack_start(GTK_BOX(box), child, FALSE, FALSE, 0); }

    GtkWidget* InputPage() {
        static const struct {
            const char* label;
            int keyboard, pad;
        } rows[] = {{"電撃バリア/決定", 1005, 1006}, {"スキル/戻る", 1003, 1004}, {"一時停止", 40000, 40001},
                    {"テキスト早送り", 40002, 40003}, {"↑", 1019, 1020},             {"←", 1021, 1022},
                    {"↓", 1023, 1024},               {"→", 1025, 1026}};
        GtkWidget* grid = gtk_grid_new();
        gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
        gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
        gtk_grid_attach(GTK_GRID(grid), Label("キーボード"), 1, 0, 1, 1);
        gtk_grid_attach(GTK_GRID(grid), Label("パッド"), 2, 0, 1, 1);
        for (int r = 0; r < 8; ++r) {
            gtk_grid_attach(GTK_GRID(grid), Label(rows[r].label), 0, r + 1, 1, 1);
            for (int c = 0; c < 2; ++c) {
                GtkWidget* e = Name(gtk_entry_new(), sp::kInput, c == 0 ? rows[r].keyboard : rows[r].pad);
                gtk_editable_set_editable(GTK_EDITABLE(e), FALSE);
                gtk_grid_attach(GTK_GRID(grid), e, c + 1, r + 1, 1, 1);
            }
        }
        GtkWidget* page = Column();
        Add(page, grid);
        for (const char* help : {"変更したい項目をクリックで選択し", "割り当てたいキー・ボタンを押して下さい。",
                                 "割り当てると続けて次の項目が設定できます。"})
            Add(page, Label(help));
        return page;
    }

    GtkWidget* GeneralPage() {
        GtkWidget* drawing = Column();
        for (const SCheckRow& r : {SCheckRow{1006, "常に最前面に表示", nullptr}, SCheckRow{1007, "文字を滑らかにする", nullptr},
                                   SCheckRow{2014, "文字に影をつける", nullptr}, SCheckRow{1005, "フレームレートを表示する", nullptr}})
            Add(drawing, Check(sp::kGeneral, r));
        GtkWidget* special = Column();
        Add(special, Check(sp::kGeneral, {2015, "いんちき無敵モードで遊ぶ",
                                          "HPが0になってもゲームオーバーになりませんが、\nスコアが評価されなくなります。"}));
        GtkWidget* system = Column();
        for (const SCheckRow& r : {SCheckRow{1004, "ゲームパッドを使用する", nullptr},
                                   SCheckRow{1009, "バックグラウンド時も操作を受け付ける", nullptr},
                                   SCheckRow{40000, "メモリ使用量を抑える", "(空きメモリ量が300MB以上あれば\nチェックを外しても構いません)"}})
            Add(system, Check(sp::kGeneral, r));
        GtkWidget* cpu = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
        Add(cpu, Label("CPU負荷設定"));
        GtkWidget* entry = Name(gtk_entry_new(), sp::kGeneral, 1003);
        g_signal_connect(entry, "changed", G_CALLBACK(&OnChanged), this);
        Add(cpu, entry);
        Add(cpu, Label("(0以上の整数を指定)"));
        Add(system, cpu);
        Add(system, Label("数字が大きいほど負荷は軽くなりますが動作が遅くなります。\n基本的に変える必要はありません。"));
        GtkWidget* page = Column();
        Add(page, Group("描画設定", drawing));
        Add(page, Group("特別設定", special));
        Add(page, Group("システム設定", system));
        return page;
    }

    GtkWidget* SoundPage() {
        GtkWidget* page = Column();
        for (const auto& [id, label] : {std::pair{2000, "マスター音量"}, std::pair{2002, "BGM音量"}, std::pair{2001, "SE音量"}}) {
            GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
            GtkWidget* name = Label(label);
            gtk_widget_set_size_request(name, 96, -1);
            Add(row, name);
            GtkWidget* scale = Name(gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 255, 1), sp::kSound, id);
            gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
            gtk_widget_set_size_request(scale, 300, -1);
            g_signal_connect(scale, "value-changed", G_CALLBACK(&OnValue), this);
            gtk_box_pack_start(GTK_BOX(row), scale, TRUE, TRUE, 0);
            Add(row, Label("MAX"));
            Add(page, row);
        }
        for (const SCheckRow& r : {SCheckRow{2010, "BGMを再生しない", nullptr}, SCheckRow{2011, "SEを再生しない", nullptr},
                                   SCheckRow{2012, "非アクティブのときにBGMを止めない", nullptr},
                                   SCheckRow{2013, "再生していないBGMファイルのメモリを常に開放", nullptr},
                                   SCheckRow{40000, "常に曲の頭からループする", nullptr}})
            Add(page, Check(sp::kSound, r));
        return page;
    }

    GtkWidget* VersionPage() {
        GtkWidget* page = Column();
        Add(page, Label("モルナ ver1.01"));
        return page;
    }

    void Build() {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(window_), Utf8("設定").c_str());
        gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
        gtk_container_set_border_width(GTK_CONTAINER(window_), 8);
        g_signal_connect(window_, "delete-event", G_CALLBACK(&OnDelete), this);
        g_signal_connect(window_, "destroy", G_CALLBACK(&OnDestroyed), this);
        g_signal_connect(window_, "key-press-event", G_CALLBACK(&OnKey), this);
        g_signal_connect(window_, "key-release-event", G_CALLBACK(&OnKey), this);

        notebook_ = gtk_notebook_new();
        const std::pair<const char*, GtkWidget*> pages[] = {
            {"入力", InputPage()}, {"全般", GeneralPage()}, {"サウンド", SoundPage()}, {"バージョン情報", VersionPage()}};
        for (const auto& [tab, content] : pages) {
            gtk_container_set_border_width(GTK_CONTAINER(content), 8);
            gtk_notebook_append_page(GTK_NOTEBOOK(notebook_), content, gtk_label_new(Utf8(tab).c_str()));
        }
        g_signal_connect(notebook_, "switch-page", G_CALLBACK(&OnSwitch), this);

        GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
        for (const auto& [id, label] : {std::pair{128, "このページの設定をデフォルトに戻す"}, std::pair{0, ""}, std::pair{1, "OK"},
                                        std::pair{2, "キャンセル"}, std::pair{3, "適用"}}) {
            if (id == 0) {  // the gap that puts the other three on the right
                gtk_box_pack_start(GTK_BOX(buttons), gtk_label_new(""), TRUE, TRUE, 0);
                continue;
            }
            GtkWidget* b = Name(gtk_button_new_with_label(Utf8(label).c_str()), sp::kSheet, id);
            g_signal_connect(b, "clicked", G_CALLBACK(&OnClicked), this);
            gtk_box_pack_start(GTK_BOX(buttons), b, FALSE, FALSE, 0);
        }
        GtkWidget* ok = Find(sp::kSheet, 1);
        gtk_widget_set_can_default(ok, TRUE);

        GtkWidget* all = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
        gtk_box_pack_start(GTK_BOX(all), notebook_, TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(all), buttons, FALSE, FALSE, 0);
        gtk_container_add(GTK_CONTAINER(window_), all);
        gtk_window_set_default(GTK_WINDOW(window_), ok);
        ReportDialogOpen(window_, Handle(), owner_);
        KeepAboveWindow(window_, owner_);  // before the map, where the manager reads what it sets
        gtk_widget_show_all(window_);
    }

    SettingsEvents& events_;
    WindowHandle owner_;
    uintptr_t handle_ = 0;
    GtkWidget* window_ = nullptr;
    GtkWidget* notebook_ = nullptr;
    std::map<std::pair<int, int>, GtkWidget*> controls_;
    guint timer_ = 0;
    int quiet_ = 0;
};

}  // namespace

std::unique_ptr<SettingsView> CreateGtkSettingsView(SettingsEvents& events, WindowHandle owner, std::string* error) {
    if (!StartGtk(owner, error)) return nullptr;
    return std::make_unique<GtkSettingsView>(events, owner);
}

}  // namespace morna::platform

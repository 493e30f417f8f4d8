// The settings dialog's model against a view that keeps each control's state, with the real key
// control (a fake keyboard and an SDL virtual pad) and a mixer over fake line-0 channels.
#include "game/scenes/settings_dialog.h"

#include <gtest/gtest.h>

#include <map>

#include "game/app.h"
#include "game/files/key_control.h"
#include "platform/joystick.h"
#include "tests/common/checked_input_scope.h"
#include "tests/common/file_bytes.h"
#include "tests/common/temp_base_folder.h"
#include "tests/common/virtual_pad.h"

namespace {

namespace mp = morna::platform;
namespace pg = morna::platform::settings_page;
namespace MM = tovarineGameSDK3rd::Multimedia;
using Bytes = std::vector<uint8_t>;
using Key = std::pair<int, int>;
using Ints = std::vector<int>;

struct FakeView : mp::SettingsView {
    std::map<Key, bool> checks, enabled{{{pg::kSheet, 3}, true}};
    std::map<Key, std::string> texts;
    std::map<Key, int> pos;
    std::map<Key, std::vector<int>> ranges;
    Key focus{0, 0};
    int shown = -1;
    bool timer = false;
    uintptr_t Handle() const override { return 5; }
    void ShowPage(int index) override { shown = index; }
    void Enable(int p, int id, bool on) override { enabled[{p, id}] = on; }
    bool GetCheck(int p, int id) override { return checks[{p, id}]; }
    void SetCheck(int p, int id, bool on) override { checks[{p, id}] = on; }
    std::string GetText(int p, int id) override { return texts[{p, id}]; }
    void SetText(int p, int id, const std::string& t) override { texts[{p, id}] = t; }
    void SetRange(int p, int id, int a, int b, int t, int ps, int ls) override { ranges[{p, id}] = {a, b, t, ps, ls}; }
    int GetPos(int p, int id) override { return pos[{p, id}]; }
    void SetPos(int p, int id, int v) override { pos[{p, id}] = v; }
    bool HasFocus(int p, int id) override { return focus == Key{p, id}; }
    void Focus(int p, int id) override { focus = {p, id}; }
    void StartTimer(uint32_t ms) override { timer = ms == 20; }
    void StopTimer() override { timer = false; }
};

struct FakeLines : MM::IMixerDevice {
    std::vector<uint32_t> line0{30000, 40000};
    uint32_t GetDeviceCount() override { return 1; }
    uint32_t Open() override { return 0; }
    uint32_t Close() override { return 0; }
    bool HasLine(int32_t line) override { return line == 0; }
    bool ReadLine(int32_t, std::vector<uint32_t>& v) override { return v = line0, true; }
    uint32_t WriteLine(int32_t, const std::vector<uint32_t>& v) override { return line0 = v, 0; }
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        mp::JoystickCount();
        ASSERT_TRUE(pad_.Ok()) << SDL_GetError();
        std::filesystem::create_directory(folder_.Path() + "/save");
        config_.Load("save\\global.cfg");  // none yet: the defaults, and the name Save writes to
        config_.fontName = "VL ゴシック";  // as the application sets them at start
        config_.propFontName = "VL Pゴシック";
        keys_.Initialize("save\\key.cfg");
        ASSERT_EQ(mixer_.Open(), 0);
        host_.config = &config_;
        host_.keys = &keys_;
        host_.mixer = &mixer_;
        host_.setMasterVolume = [this](int32_t v) { masters_.push_back(v); };
        host_.applySoundConfig = [this] { ++soundApplied_; };
        host_.requestWindowSettings = [this] { ++windowRequested_; };
    }
    void TearDown() override { mp::CloseJoysticks(); }
    CSettingsDialog& Open() {
        dialog_ = std::make_unique<CSettingsDialog>(host_, [this](mp::SettingsEvents&, mp::WindowHandle, std::string*) {
            auto v = std::make_unique<FakeView>();
            view_ = v.get();
            return v;
        });
        EXPECT_TRUE(dialog_->Open());
        return *dialog_;
    }
    bool Apply() const { return view_->enabled.at(Key(pg::kSheet, 3)); }
    // The first binding of key on device, -1 when none.
    int Code(int key, int device) {
        for (const auto& b : keys_.GetConfig())
            if (b.key == key && b.device == device) return b.code;
        return -1;
    }
    void Tick(std::initializer_list<uint8_t> keys = {}, int padButton = -1) {
        std::fill(std::begin(sys_.keys), std::end(sys_.keys), 0);
        for (uint8_t k : keys) sys_.keys[k] = 0x80;
        for (int b = 0; b < 4; ++b) pad_.Button(b, b == padButton);
        dialog_->OnTimer();
    }

    morna::test::TempBaseFolder folder_{"morna-settings"};
    morna::test::FakeSystem sys_;
    morna::test::CheckedInputScope scope_{sys_};
    VirtualPad pad_{4, 16, 1};
    SGlobalConfig config_;
    CKeyControl keys_;
    FakeLines* lines_ = new FakeLines;  // the mixer owns it
    MM::CAudioMixer mixer_{tovarineGameSDK3rd::VTL::smart_ptr<MM::IMixerDevice>(lines_)};
    SSettingsHost host_;
    std::vector<int32_t> masters_;
    int soundApplied_ = 0;
    int windowRequested_ = 0;
    std::unique_ptr<CSettingsDialog> dialog_;
    FakeView* view_ = nullptr;
};

TEST_F(SettingsDialogTest, OpenFillsTheRecordAChangeEnablesApplyApplyWritesBothFilesAndCancelRestores) {
    CSettingsDialog& d = Open();
    EXPECT_EQ(view_->texts[Key(pg::kGeneral, 1003)], "3");
    EXPECT_EQ((std::vector<int>{view_->pos[Key(pg::kSound, 2000)], view_->pos[Key(pg::kSound, 2002)], view_->pos[Key(pg::kSound, 2001)]}),
              (std::vector<int>{4000, 160, 160}));
    EXPECT_EQ(view_->ranges[Key(pg::kSound, 2000)], (std::vector<int>{0, 6553, 655, 500, 50}));
    EXPECT_EQ(masters_, std::vector<int32_t>{40000});
    EXPECT_TRUE(view_->checks[Key(pg::kGeneral, 40000)]);
    EXPECT_EQ(Ints({view_->shown, d.CurrentPage(), Apply(), view_->timer}), Ints({0, 0, 0, 1}));

    view_->checks[Key(pg::kGeneral, 1005)] = true;  // "フレームレートを表示する"
    d.OnCommand(pg::kGeneral, 1005);
    EXPECT_TRUE(Apply());
    std::filesystem::remove(folder_.Path() + "/save/key.cfg");
    d.OnCommand(pg::kSheet, 3);
    EXPECT_EQ(Ints({Apply(), windowRequested_, soundApplied_}), Ints({0, 1, 1}));
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() + "/save/key.cfg"));
    const Bytes cfg = morna::test::ReadBytes(folder_.Path() + "/save/global.cfg");
    ASSERT_EQ(cfg.size(), 62u);
    EXPECT_EQ(cfg[23], 1);
    EXPECT_EQ(Bytes(cfg.end() - 4, cfg.end()), (Bytes{0xB3, 0xC8, 0xD3, 0x75}));

    // The CPU entry: a number, no number, a number with the top bit set.
    for (auto [text, want] : std::vector<std::pair<std::string, int>>{{"12", 12}, {"abc", 0}, {"4294967295", 0}}) {
        view_->texts[Key(pg::kGeneral, 1003)] = text;
        d.ApplySettings();
        EXPECT_EQ(config_.cpuLevel, want) << text;
    }

    // Cancel after the master scale moved and a binding was captured.
    view_->pos[Key(pg::kSound, 2000)] = 100;
    d.OnScroll(pg::kSound, 2000, 5);
    EXPECT_EQ(lines_->line0, (std::vector<uint32_t>{30000, 40000}));  // the host's SetMasterVolume was asked
    EXPECT_EQ(masters_.back(), 1000);
    lines_->line0 = {750, 1000};
    view_->Focus(pg::kInput, 1005);
    Tick();
    Tick({0x10});  // Q
    EXPECT_EQ(Code(8, 0), 0x10);
    d.OnCommand(pg::kSheet, 2);
    EXPECT_EQ(lines_->line0, (std::vector<uint32_t>{30000, 40000}));
    EXPECT_EQ(Code(8, 0), 0x2C);
    EXPECT_EQ(Ints({d.IsOpen(), keys_.IsCapturing()}), Ints({0, 0}));
}

TEST_F(SettingsDialogTest, CaptureWalksTheRowsAndDefaultsPutBackTheBindingsAndTheSoundPage) {
    CSettingsDialog& d = Open();
    EXPECT_EQ(view_->texts[Key(pg::kInput, 1024)], "Pad ↓");
    view_->Focus(pg::kInput, 1024);  // the "↓" pad box
    Tick();
    EXPECT_EQ(d.CaptureRow(), 14u);
    Tick({}, 2);
    EXPECT_EQ(Ints({Code(2, 1), Code(11, 1)}), Ints({6, 1}));
    EXPECT_EQ(view_->focus, Key(pg::kInput, 1026));
    EXPECT_EQ(view_->texts[Key(pg::kInput, 1024)], "Pad ２");
    Tick();
    Tick({}, 3);
    EXPECT_EQ(view_->focus, Key(pg::kSheet, 1));  // after the last pad row: OK
    Tick();
    EXPECT_EQ(d.CaptureRow(), CSettingsDialog::kNoRow);

    d.OnCommand(pg::kSheet, 128);  // the input page's defaults
    ASSERT_EQ(keys_.GetConfig().size(), 24u);
    for (size_t i = 0; i < 24; ++i) {
        const KeyBinding b = CKeyControl::kDefaultBindings[i];
        const auto& got = keys_.GetConfig()[i];
        EXPECT_EQ(Ints({got.key, got.device, got.code}), Ints({int(b & 0xFF), int(b >> 8 & 0xFF), int(b >> 16)}));
    }

    d.OnTabChange(2);
    view_->pos[Key(pg::kSound, 2002)] = 7;
    view_->checks[Key(pg::kSound, 2010)] = true;
    view_->checks[Key(pg::kSound, 2013)] = false;
    d.OnCommand(pg::kSheet, 128);
    EXPECT_EQ(Ints({view_->pos[Key(pg::kSound, 2002)], view_->pos[Key(pg::kSound, 2001)], view_->checks[Key(pg::kSound, 2010)],
                    view_->checks[Key(pg::kSound, 2013)], Apply()}),
              Ints({160, 160, 0, 1, 1}));
}

// OK while a box captures (Return typed into it) saves the bindings with the capturing row's own
// put back. The dialog's end with the application keeps the master its slider set, as a machine's
// mixer would; what was not applied goes unsaved, as at Cancel.
TEST_F(SettingsDialogTest, OkFromACapturingBoxAndTheEndWithTheApplicationKeepsTheMaster) {
    CSettingsDialog& d = Open();
    const int skill = Code(9, 0);
    view_->Focus(pg::kInput, 1005);
    Tick();
    Tick({0x10});  // Q; the スキル/戻る row captures next, its binding taken out
    EXPECT_EQ(Ints({int(d.CaptureRow()), keys_.IsCapturing(), Code(9, 0)}), Ints({1, 1, -1}));
    d.OnCommand(pg::kSheet, 1);
    EXPECT_EQ(Ints({d.IsOpen(), keys_.IsCapturing()}), Ints({0, 0}));
    ASSERT_EQ(keys_.Load(), 0);
    EXPECT_EQ(Ints({Code(8, 0), Code(9, 0)}), Ints({0x10, skill}));

    const std::string keyFile = folder_.Path() + "/save/key.cfg", configFile = folder_.Path() + "/save/global.cfg";
    const Bytes keyBytes = morna::test::ReadBytes(keyFile), configBytes = morna::test::ReadBytes(configFile);
    Open();
    view_->pos[Key(pg::kSound, 2000)] = 1310;  // a fifth
    dialog_->OnScroll(pg::kSound, 2000, 5);
    lines_->line0 = {13100, 13100};  // as the host's SetMasterVolume leaves them
    view_->checks[Key(pg::kGeneral, 1005)] = true;
    dialog_->OnCommand(pg::kGeneral, 1005);
    view_->Focus(pg::kInput, 1005);
    Tick();
    Tick({0x11});  // W
    EXPECT_EQ(Code(8, 0), 0x11);
    dialog_.reset();
    EXPECT_EQ(masters_.back(), 13100);
    EXPECT_EQ(lines_->line0, (std::vector<uint32_t>{13100, 13100}));
    EXPECT_EQ(Ints({keys_.IsCapturing(), Code(8, 0), Code(9, 0), config_.showFps}), Ints({0, 0x10, skill, 0}));
    EXPECT_EQ(morna::test::ReadBytes(keyFile), keyBytes);
    EXPECT_EQ(morna::test::ReadBytes(configFile), configBytes);
}

}  // namespace

#include "game/scenes/settings_dialog.h"

#include <algorithm>
#include <cstdio>

#include "foundation/vtl/text_output_stream.h"
#include "framework/app_frame.h"

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
namespace page = morna::platform::settings_page;

namespace {

constexpr int kOk = 1, kCancel = 2, kApply = 3, kDefault = 128;
constexpr int kCpuEdit = 1003, kMasterScale = 2000, kSeScale = 2001, kBgmScale = 2002;

// The input page's rows: the virtual button, its keyboard edit and its pad edit. Capture rows
// 0-7 are the keyboard column, 8-15 the pad column.
struct SRow {
    int button, keyboardEdit, padEdit;
};
constexpr SRow kRows[8] = {{8, 1005, 1006},    {9, 1003, 1004},  {14, 40000, 40001}, {15, 40002, 40003},
                           {0, 1019, 1020},    {1, 1021, 1022},  {2, 1023, 1024},    {3, 1025, 1026}};
constexpr uint32_t kRowCount = 16;

int RowEdit(uint32_t row) { return row < 8 ? kRows[row].keyboardEdit : kRows[row - 8].padEdit; }

// The check buttons of a page and the fields they edit.
template <class Config>
struct SCheck {
    int page, id;
    bool Config::*field;
};
const SCheck<SGlobalConfig> kChecks[] = {
    {page::kGeneral, 1006, &SGlobalConfig::topmost},         {page::kGeneral, 1007, &SGlobalConfig::smoothText},
    {page::kGeneral, 2014, &SGlobalConfig::textShadow},      {page::kGeneral, 2015, &SGlobalConfig::invincible},
    {page::kGeneral, 1004, &SGlobalConfig::useJoystick},     {page::kGeneral, 1009, &SGlobalConfig::backgroundInput},
    {page::kGeneral, 1005, &SGlobalConfig::showFps},         {page::kGeneral, 40000, &SGlobalConfig::reduceMemory},
    {page::kSound, 2010, &SGlobalConfig::bgmOff},            {page::kSound, 2011, &SGlobalConfig::seOff},
    {page::kSound, 2012, &SGlobalConfig::keepBgmInactive},   {page::kSound, 2013, &SGlobalConfig::freeBgmMemory},
    {page::kSound, 40000, &SGlobalConfig::loopFromHead},
};

// An unsigned decimal as the dialog reads it: blanks in front, digits only, at most 32 bits;
// anything else reads as 0.
uint32_t ReadUnsigned(const std::string& text) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos || i == text.size()) return 0;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > 0xFFFFFFFFu) return 0;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

CSettingsDialog::CSettingsDialog(SSettingsHost host, ViewFactory factory)
    : host_(std::move(host)), factory_(std::move(factory)) {}

// The master follows its slider into the machine's mixer, whose end with the application puts
// nothing back: only Cancel restores it.
CSettingsDialog::~CSettingsDialog() { Discard(); }

uintptr_t CSettingsDialog::Handle() const { return view_ ? view_->Handle() : 0; }

bool CSettingsDialog::Open() {
    if (view_) return true;
    std::string error;
    view_ = factory_ ? factory_(*this, host_.owner, &error) : nullptr;
    if (!view_) {
        tovarineGameSDK3rd::GetErrorLog().Out("設定ダイアログを開けない: %s", error.c_str());
        return false;
    }
    host_.mixer->GetVolume(0, savedVolumes_);
    FillGeneralPage(*host_.config);
    FillSoundPage(*host_.config);
    // The pad column captures from the pad even while the game leaves it off.
    host_.keys->SelectJoyStick(true);
    captureRow_ = kNoRow;
    RefreshKeyPage();
    view_->StartTimer(20);
    OnTabChange(0);
    EnableApply(false);
    return true;
}

void CSettingsDialog::Close() {
    if (!view_) return;
    view_->StopTimer();
    view_.reset();
    captureRow_ = kNoRow;
    host_.keys->SelectJoyStick(host_.config->useJoystick);
    if (host_.onClosed) host_.onClosed();
}

void CSettingsDialog::Cancel() {
    if (!view_) return;
    host_.mixer->SetVolume(0, savedVolumes_);
    Discard();
}

void CSettingsDialog::Discard() {
    if (!view_) return;
    // Capture ends first: ending it after the load would put the taken binding back twice.
    host_.keys->CancelCapture();
    host_.keys->Load();
    Close();
}

void CSettingsDialog::EnableApply(bool on) { view_->Enable(page::kSheet, kApply, on); }

void CSettingsDialog::FillGeneralPage(const SGlobalConfig& config) {
    for (const auto& c : kChecks)
        if (c.page == page::kGeneral) view_->SetCheck(c.page, c.id, config.*c.field);
    view_->SetText(page::kGeneral, kCpuEdit, std::to_string(config.cpuLevel));
}

void CSettingsDialog::FillSoundPage(const SGlobalConfig& config) {
    view_->SetRange(page::kSound, kMasterScale, 0, 6553, 655, 500, 50);
    view_->SetRange(page::kSound, kBgmScale, 0, 255, 25, 25, 1);
    view_->SetRange(page::kSound, kSeScale, 0, 255, 25, 25, 1);
    uint32_t loudest = 0;
    for (uint32_t v : savedVolumes_) loudest = std::max(loudest, v);
    view_->SetPos(page::kSound, kMasterScale, static_cast<int>(loudest / 10));
    view_->SetPos(page::kSound, kBgmScale, config.bgmVolume);
    view_->SetPos(page::kSound, kSeScale, config.seVolume);
    for (const auto& c : kChecks)
        if (c.page == page::kSound) view_->SetCheck(c.page, c.id, config.*c.field);
    host_.setMasterVolume(view_->GetPos(page::kSound, kMasterScale) * 10);
}

void CSettingsDialog::RefreshKeyPage() {
    const auto& bindings = host_.keys->GetConfig();
    for (uint32_t row = 0; row < kRowCount; ++row) {
        const int device = row < 8 ? 0 : 1;
        const int button = kRows[row % 8].button;
        auto it = std::find_if(bindings.begin(), bindings.end(),
                               [&](const auto& b) { return b.key == button && b.device == device; });
        // A pad code is named from the table's pad range.
        const int code = it == bindings.end() ? -1 : it->code + (device == 1 ? 256 : 0);
        const KB::VTLstring name = KB::CKeyControlBase::GetKeyName(code);
        view_->SetText(page::kInput, RowEdit(row), std::string(name.c_str(), name.size()));
    }
}

void CSettingsDialog::ApplySettings() {
    SGlobalConfig& config = *host_.config;
    for (const auto& c : kChecks)
        if (c.page == page::kGeneral) config.*c.field = view_->GetCheck(c.page, c.id);
    const uint32_t cpu = ReadUnsigned(view_->GetText(page::kGeneral, kCpuEdit));
    if (static_cast<int32_t>(cpu) >= 0) config.cpuLevel = static_cast<int32_t>(cpu);

    host_.keys->CancelCapture();
    captureRow_ = kNoRow;  // a box still focused begins its capture again
    host_.keys->Save();

    host_.mixer->GetVolume(0, savedVolumes_);
    config.bgmVolume = view_->GetPos(page::kSound, kBgmScale);
    config.seVolume = view_->GetPos(page::kSound, kSeScale);
    for (const auto& c : kChecks)
        if (c.page == page::kSound) config.*c.field = view_->GetCheck(c.page, c.id);

    config.Save();
    host_.applySoundConfig();
    if (host_.requestWindowSettings) host_.requestWindowSettings();
}

void CSettingsDialog::OnCommand(int pg, int id) {
    if (!view_) return;
    if (pg != page::kSheet) return EnableApply(true);
    switch (id) {
        case kApply:
            ApplySettings();
            if (host_.keys->GetConfig().empty()) host_.keys->Load();
            EnableApply(false);
            return;
        case kOk:
            ApplySettings();
            return Cancel();  // with everything applied, this only closes
        case kCancel: return Cancel();
        case kDefault:
            if (page_ == 0) {
                host_.keys->CancelCapture();
                captureRow_ = kNoRow;
                host_.keys->Load();
                host_.keys->SetDefaultKeys();
                if (host_.keys->GetConfig().empty()) host_.keys->Load();
                RefreshKeyPage();
            } else if (page_ == 1 || page_ == 2) {
                const SGlobalConfig defaults;
                page_ == 1 ? FillGeneralPage(defaults) : FillSoundPage(defaults);
            }
            return EnableApply(true);
        default: return;
    }
}

void CSettingsDialog::OnEditChange(int pg, int) {
    if (view_ && pg != page::kSheet) EnableApply(true);
}

void CSettingsDialog::OnScroll(int pg, int id, int code) {
    if (!view_ || pg == page::kSheet) return;
    if (pg == page::kSound && id == kMasterScale && code <= 8)
        host_.setMasterVolume(view_->GetPos(page::kSound, kMasterScale) * 10);
    EnableApply(true);
}

void CSettingsDialog::OnTabChange(int index) {
    if (!view_ || index < 0 || index > 3) return;
    page_ = index;
    view_->ShowPage(index);
}

void CSettingsDialog::BeginRowCapture(uint32_t row) {
    captureRow_ = row;
    if (row < kRowCount) host_.keys->BeginCapture(kRows[row % 8].button, row < 8 ? 0 : 1);
}

uint32_t CSettingsDialog::FocusedRow() {
    if (captureRow_ < kRowCount && view_->HasFocus(page::kInput, RowEdit(captureRow_))) return captureRow_;
    for (uint32_t row = 0; row < kRowCount; ++row)
        if (view_->HasFocus(page::kInput, RowEdit(row))) return row;
    return kNoRow;
}

void CSettingsDialog::OnTimer() {
    if (!view_ || page_ != 0) return;
    const uint32_t focused = FocusedRow();
    if (focused != captureRow_) {
        host_.keys->CancelCapture();
        BeginRowCapture(focused);
    }
    host_.keys->Update();
    if (captureRow_ >= kRowCount || host_.keys->IsCapturing()) return;
    // An input was taken: on to the next row, or to OK after the last.
    RefreshKeyPage();
    const uint32_t next = captureRow_ + 1;
    if (next < kRowCount) {
        view_->Focus(page::kInput, RowEdit(next));
        BeginRowCapture(next);
    } else {
        view_->Focus(page::kSheet, kOk);
        captureRow_ = kNoRow;
    }
    EnableApply(true);
}

void OpenSettingsDialog(std::unique_ptr<CSettingsDialog>& dialog, SSettingsHost host,
                        CSettingsDialog::ViewFactory factory) {
    if (dialog && dialog->IsOpen()) return;
    host.onClosed = [] { KB::SettingsDialogHandle() = 0; };
    dialog = std::make_unique<CSettingsDialog>(std::move(host), factory ? std::move(factory) : &mp::CreateGtkSettingsView);
    dialog->Open();
    KB::SettingsDialogHandle() = static_cast<KB::HWND>(dialog->Handle());
}

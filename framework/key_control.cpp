#include "framework/key_control.h"

#include <algorithm>
#include <map>
#include <utility>

#include "foundation/appframe/app_manager.h"
#include "foundation/input/key_input.h"
#include "framework/config.h"
#include "platform/joystick.h"
#include "platform/keyboard_state.h"
#include "platform/window.h"

namespace KestraneGameBase2 {

namespace In = tovarineGameSDK3rd::Input;
namespace mp = morna::platform;
using tovarineGameSDK3rd::VTL::smart_ptr;

// ---- pads

namespace {

// Strength 0-255 of a position beyond the low or the high threshold of its axis.
uint8_t Below(uint32_t pos, uint32_t low) { return pos < low ? static_cast<uint8_t>((low - pos) * 255u / low) : 0; }
uint8_t Above(uint32_t pos, uint32_t high) {
    return pos > high ? static_cast<uint8_t>((pos - high) * 255u / (65535u - high)) : 0;
}

void Thresholds(uint32_t min, uint32_t max, uint32_t& low, uint32_t& high) {
    low = (max + 2 * min) / 3;
    high = (min + 2 * max) / 3;
}

}  // namespace

int32_t CWIN32JoyStickEx::SelectDevice(int32_t id) {
    const int32_t r = CWIN32JoyStick::SelectDevice(id);
    mp::JoystickCaps caps;
    if (r == kSelectReady && mp::GetJoystickCaps(joystickId_, caps)) {
        Thresholds(caps.z_min, caps.z_max, zLow_, zHigh_);
        Thresholds(caps.r_min, caps.r_max, rLow_, rHigh_);
    }
    return r;
}

int32_t CWIN32JoyStickEx::Input() {
    if (!ready_) return kInputNotReady;
    if (buttonCount_ <= 4) return CWIN32JoyStick::Input();
    FlipBuffer();
    uint8_t* s = CurrentStates();
    mp::JoystickPositionEx pos;
    if (!mp::GetJoystickPositionEx(joystickId_, pos)) {
        std::fill(s, s + kKeyCount, 0);  // an unplugged pad reads released
        return kInputPollFailed;
    }
    s[0] = Below(pos.y, yLow_);
    s[1] = Above(pos.y, yHigh_);
    s[2] = Below(pos.x, xLow_);
    s[3] = Above(pos.x, xHigh_);
    s[64] = Below(pos.r, rLow_);
    s[65] = Above(pos.r, rHigh_);
    s[66] = Below(pos.z, zLow_);
    s[67] = Above(pos.z, zHigh_);
    // Point of view: 68 up, 69 down, 70 right, 71 left, for the eight angles.
    std::fill(s + 68, s + 72, 0);
    static constexpr uint8_t kPovCodes[8][2] = {{68, 68}, {68, 70}, {70, 70}, {70, 69},
                                                {69, 69}, {69, 71}, {71, 71}, {71, 68}};
    if (pos.pov % 4500 == 0 && pos.pov / 4500 < 8) {
        for (uint8_t code : kPovCodes[pos.pov / 4500]) s[code] = 1;
    }
    for (int32_t i = 0; i < buttonCount_; ++i) s[kStateFirstButton + i] = i < 32 ? (pos.buttons >> i) & 1u : 0;
    return 0;
}

int32_t CJoyStickEx::SelectDevice(int32_t id) {
    if (id < 0) {
        SetNullDevice();
        return 0;
    }
    device_ = smart_ptr<In::IJoyStick>(new CWIN32JoyStickEx);
    return device_->SelectDevice(id) != 0 ? 1 : 0;
}

// ---- key control

CKeyControlBase::CKeyControlBase() = default;
CKeyControlBase::~CKeyControlBase() = default;

void CKeyControlBase::Initialize(const tovarineGameSDK3rd::VTL::VTLstring& path) {
    if (!path.empty()) fileName_ = path;
    fastMask_ = 0;
    captureOn_ = false;
    captureKey_ = -1;
    captureDevice_ = 0;
    std::fill(std::begin(repeat_), std::end(repeat_), 0);
    std::fill(std::begin(countdown_), std::end(countdown_), 0);
    waitMask_ = CReleaseWait<kRepeatSlots>(true);

    // From an empty list, so that the keyboard is device 0 and the pad device 1
    // however often this runs.
    ClearDevice();
    keyboard_ = smart_ptr<In::IKeyBase>(new In::CKeyInput(backgroundKeyboard_));
    AddDevice(keyboard_);
    AddDevice(smart_ptr<In::IKeyBase>(&pad_, false));
    if (pad_.SelectDevice(0) != 0) {
        pad_.SelectDevice(1);
        padSelected_ = 1;
    }
    keyCount_ = secondCount_ = 16;
    pad_.SetButtonCount(16);
    noPad_.SelectDevice(0xFFFF);

    if (Load() != 0) {
        SetDefaultKeys();
        Save();
    }
    SetReservedKeys();
}

bool CKeyControlBase::IsPush(int n) {
    if (n < 0 || n >= kRepeatSlots) return false;
    const bool held = IsKeyPress(n);
    const uint32_t bit = 1u << n;
    if (waitMask_.Waits(static_cast<size_t>(n), held)) return false;
    int32_t interval = repeat_[n];
    if (interval == 0) return held;
    if (!held) {
        countdown_[n] = 0;
        fastMask_ &= ~bit;
        return false;
    }
    interval = Scaled(interval);
    if (countdown_[n] >= 1) {
        if (interval != kOncePerPress) --countdown_[n];
        return false;
    }
    if ((fastMask_ & bit) != 0) interval >>= 3;
    countdown_[n] = interval;
    fastMask_ |= bit;
    return true;
}

uint32_t CKeyControlBase::Update() {
    if (captureOn_) {
        CaptureKey();
        return 0;
    }
    Input();
    uint32_t mask = 0;
    for (int n = 0; n < keyCount_; ++n) {
        if (IsPush(n)) mask |= 1u << n;
    }
    return mask;
}

void CKeyControlBase::SelectJoyStick(bool usePad) {
    ClearDevice();
    AddDevice(keyboard_);
    AddDevice(smart_ptr<In::IKeyBase>(usePad ? &pad_ : &noPad_, false));
}

void CKeyControlBase::SetBackgroundInput(bool background) {
    if (background == backgroundKeyboard_) return;
    backgroundKeyboard_ = background;
    if (!keyboard_) return;  // Initialize makes it at this level
    keyboard_ = smart_ptr<In::IKeyBase>(new In::CKeyInput(background));
    if (!devices_.empty()) devices_[0] = keyboard_;
}

std::vector<CKeyControlBase::SConfigData>::iterator CKeyControlBase::FindBinding(int key, int device) {
    return std::find_if(config_.begin(), config_.end(),
                        [&](const SConfigData& b) { return b.key == key && b.device == device; });
}

void CKeyControlBase::BeginCapture(int key, int device) {
    const int d = device != 0 ? 1 : 0;
    auto it = FindBinding(key, d);
    hasRemoved_ = it != config_.end();
    removed_ = hasRemoved_ ? *it : SConfigData();
    if (hasRemoved_) config_.erase(it);
    captureOn_ = true;
    captureKey_ = key;
    captureDevice_ = d;
    // What is down now: the devices' last poll may be older than the key that moved the focus
    // into the settings dialog's box, and a key down now is not the player's choice until it
    // has been released and pressed again.
    Input();
    for (size_t i = 0; i < 2; ++i) {
        captureWait_[i].Clear();
        if (i >= devices_.size()) continue;
        for (int code = 0; code < In::IKeyBase::kKeyCount; ++code) {
            if (devices_[i]->IsKeyPress(code)) captureWait_[i].Wait(static_cast<size_t>(code));
        }
    }
}

int CKeyControlBase::FirstPush(int d) {
    if (d < 0 || d > 1 || static_cast<size_t>(d) >= devices_.size()) return -1;
    int first = -1;
    for (int code = 0; code < In::IKeyBase::kKeyCount; ++code) {
        const bool waits = captureWait_[d].Waits(static_cast<size_t>(code), devices_[d]->IsKeyPress(code));
        if (first < 0 && !waits && devices_[d]->IsKeyPush(code)) first = code;
    }
    return first;
}

void CKeyControlBase::CaptureKey() {
    Input();
    // Both devices every poll, so that each one's waits follow its releases.
    const int c = FirstPush(captureDevice_);
    const int onOther = FirstPush(captureDevice_ ^ 1);
    if (c < 0 || onOther >= 0) return;
    if (captureDevice_ == kKeyboard && reserved_.count(c) != 0) return;

    auto other = std::find_if(config_.begin(), config_.end(),
                              [&](const SConfigData& b) { return b.device == captureDevice_ && b.code == c; });
    if (other != config_.end()) {
        // The other key takes over the capture key's former input.
        removed_.key = other->key;
        removed_.device = other->device;
        config_.erase(other);
        config_.push_back(removed_);
        removed_ = SConfigData();
        hasRemoved_ = false;
    }
    auto own = FindBinding(captureKey_, captureDevice_);
    if (own != config_.end()) config_.erase(own);
    config_.emplace_back(static_cast<uint8_t>(captureKey_), static_cast<uint8_t>(captureDevice_),
                         static_cast<uint16_t>(c));
    captureOn_ = false;
    captureKey_ = captureDevice_ = -1;
}

void CKeyControlBase::CancelCapture() {
    if (!captureOn_) return;
    // Only a binding that BeginCapture took goes back: none was taken for a key
    // without one, and a made-up binding would be saved with the others.
    if (hasRemoved_) config_.push_back(removed_);
    hasRemoved_ = false;
    captureOn_ = false;
    captureKey_ = captureDevice_ = -1;
}

void CKeyControlBase::ApplyConfig() {
    ClearKeyAll();
    for (const SConfigData& b : config_) {
        if (b.key < 16) AddKey(b.key, b.device, b.code);
    }
    static constexpr int kNumpad[8] = {72, 75, 80, 77, 71, 79, 81, 73};
    for (int k = 0; k < 8; ++k) AddKey(k, kKeyboard, kNumpad[k]);
}

namespace {

// The bindings of key.cfg: a u16 count and that many records.
struct SBindingList : tovarineGameSDK3rd::Auxiliary::IArchive {
    std::vector<CKeyControlBase::SConfigData>& list;
    explicit SBindingList(std::vector<CKeyControlBase::SConfigData>& l) : list(l) {}
    void Serialize(tovarineGameSDK3rd::Auxiliary::ISerialize& ar) override {
        uint16_t count = static_cast<uint16_t>(list.size());
        ar << count;
        if (!ar.IsStoring()) {
            list.clear();
            // A count beyond the records the file holds fails the read at the first missing one.
            for (uint16_t i = 0; i < count && !ar.IsFailed(); ++i) {
                CKeyControlBase::SConfigData b;
                ar << b;
                if (!ar.IsFailed()) list.push_back(b);
            }
            return;
        }
        for (auto& b : list) ar << b;
    }
};

}  // namespace

int32_t CKeyControlBase::Load() {
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    const int32_t r = ReadCheckedFile(fileName_, ar);
    if (r != 0) return r;
    std::vector<SConfigData> loaded;
    SBindingList list(loaded);
    ar << list;
    if (ar.IsFailed()) return 2;
    config_ = std::move(loaded);
    ApplyConfig();
    return 0;
}

bool CKeyControlBase::Save() {
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    SBindingList list(config_);
    ar << list;
    return WriteCheckedFile(fileName_, ar);
}

void CKeyControlBase::SetDefaultKeys() {
    static constexpr uint8_t kDefaults[12][3] = {{8, 0x2C, 4},  {9, 0x2D, 5},  {11, 0x2E, 6}, {10, 0x2F, 7},
                                                 {12, 0x1E, 8}, {13, 0x1F, 9}, {15, 0x20, 10}, {14, 0x21, 11},
                                                 {0, 0xC8, 0},  {1, 0xCB, 2},  {2, 0xD0, 1},  {3, 0xCD, 3}};
    config_.clear();
    for (const auto& row : kDefaults) {
        config_.emplace_back(row[0], kKeyboard, row[1]);
        config_.emplace_back(row[0], kPad, row[2]);
    }
    ApplyConfig();
}

void CKeyControlBase::SetRepeatDirections(int32_t interval) {
    for (int n = 0; n < 8; ++n) SetRepeat(n, interval);
}

void CKeyControlBase::SetRepeatButtons(int32_t interval) {
    for (int n = 8; n < 16; ++n) SetRepeat(n, interval);
}

void CKeyControlBase::SetRepeat(int n, int32_t interval) {
    if (n < 0 || n >= kRepeatSlots) return;
    // A key reported on every frame it is held was pushed when it went down. Held on into a
    // counted interval it stays a key held since that push: a menu opened under a held key
    // sees it only when it is pressed again (or, repeating, when its repeat comes).
    if (repeat_[n] == 0 && interval != 0 && IsKeyPress(n)) {
        countdown_[n] = Scaled(interval);
        fastMask_ |= 1u << n;
    }
    repeat_[n] = interval;
}

int32_t CKeyControlBase::Scaled(int32_t interval) const {
    if (interval == kOncePerPress) return interval;
    return speedMode_ == 0 ? interval / 2 : speedMode_ == 2 ? interval * 2 : interval;
}

int32_t CKeyControlBase::GetRepeat(int n) const { return n >= 0 && n < kRepeatSlots ? repeat_[n] : 0; }

void CKeyControlBase::SetReservedKeys() {
    for (int code : {79, 80, 81, 75, 77, 71, 72, 73, 56, 184, 28, 1, 59, 15, 123, 121, 112, 219, 220, 221, 183}) {
        reserved_.insert(code);
    }
}

bool CKeyControlBase::IsKeyTriggered(int virtualKey) {
    const mp::WindowHandle window = tovarineGameSDK3rd::AppFrame::GetMainHWnd();
    if (window == 0 || mp::GetFocus() != window) return false;
    static std::map<int, bool> down;
    if (!mp::IsVirtualKeyDown(virtualKey)) {
        down[virtualKey] = false;
        return false;
    }
    bool& marked = down[virtualKey];
    if (marked) return false;
    marked = true;
    return true;
}

}  // namespace KestraneGameBase2

#pragma once
// The keyboard and one game pad as 16 virtual keys: configurable bindings, auto-
// repeat, a capture mode for the settings dialog and the bindings file. Virtual
// keys 0 up, 1 left, 2 down, 3 right, 4-7 the diagonals, 8-15 buttons; bit n of
// a push mask is virtual key n.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "foundation/auxiliary/serialize.h"
#include "foundation/input/joystick.h"
#include "foundation/input/virtual_key.h"
#include "foundation/vtl/smart_ptr.h"
#include "foundation/vtl/vtl_string.h"

namespace KestraneGameBase2 {

// A pad read through the extended position: each direction code carries a
// strength 0-255, with codes 0-3 (Y below, Y above, X below, X above), 64-67
// (R below, R above, Z below, Z above), 68-71 (point of view up, down, right,
// left) and 4 + i for button i. Four buttons or fewer: the plain on/off read.
class CWIN32JoyStickEx : public tovarineGameSDK3rd::Input::CWIN32JoyStick {
public:
    int32_t SelectDevice(int32_t id) override;
    // Its Poll: 1 while no device is selected.
    int32_t Input() override;

protected:
    uint32_t zLow_ = 0;
    uint32_t zHigh_ = 0;
    uint32_t rLow_ = 0;
    uint32_t rHigh_ = 0;
};

class CJoyStickEx : public tovarineGameSDK3rd::Input::CJoyStick {
public:
    // Negative: the null pad, answering 0. Otherwise an extended pad on device id;
    // 1 when it cannot be selected.
    int32_t SelectDevice(int32_t id) override;
};

// The key mask of one frame, as the main loop hands it to the play state.
struct SKey {
    uint32_t mask = 0;
    explicit SKey(uint32_t m = 0) : mask(m) {}
    virtual ~SKey() = default;
};

// Keys held across a change (a new key control, the start of a capture) count only once they
// have been released: until then a held key waits, and a release ends its wait.
template <std::size_t N>
class CReleaseWait {
public:
    explicit CReleaseWait(bool all = false) {
        if (all) bits_.set();
    }
    void Wait(std::size_t i) { bits_.set(i); }
    void Clear() { bits_.reset(); }
    // Whether key i, down now when held, is still to be ignored; its wait ends at the first
    // call that finds it up.
    bool Waits(std::size_t i, bool held) {
        if (bits_.test(i) && held) return true;
        bits_.reset(i);
        return false;
    }

private:
    std::bitset<N> bits_;
};

class CKeyControlBase : public tovarineGameSDK3rd::Input::CVirtualKey {
public:
    static constexpr int kKeyboard = 0;
    static constexpr int kPad = 1;
    // Interval that pushes once per press.
    static constexpr int32_t kOncePerPress = 128;

    // One binding: a virtual key, a device (0 keyboard, 1 pad) and its code.
    struct SConfigData : tovarineGameSDK3rd::Auxiliary::IArchive {
        uint8_t key = 0;
        uint8_t device = 0;
        uint16_t code = 0;
        SConfigData() = default;
        SConfigData(uint8_t k, uint8_t d, uint16_t c) : key(k), device(d), code(c) {}
        void Serialize(tovarineGameSDK3rd::Auxiliary::ISerialize& ar) override { ar << key << device << code; }
        bool operator==(const SConfigData& o) const { return key == o.key && device == o.device && code == o.code; }
    };

    CKeyControlBase();
    ~CKeyControlBase() override;

    // Devices (keyboard 0, pad 1), the bindings from the file (or the defaults,
    // written at once), the reserved keys. An empty path keeps the file name.
    void Initialize(const tovarineGameSDK3rd::VTL::VTLstring& path);
    // The push mask of this frame; 0 while capturing.
    uint32_t Update();
    // Virtual key n pushed this frame, with its repeat.
    bool IsPush(int n);
    // The device list: keyboard, then the game pad when usePad, else a pad on no device.
    void SelectJoyStick(bool usePad);
    // Whether the keyboard reads while the window lacks the focus (the background-input
    // setting): a change puts a keyboard at that level in the old one's place.
    void SetBackgroundInput(bool background);

    // The capture takes only a key pressed after it began: a key or button already down waits
    // for its release, then counts when pressed again.
    void BeginCapture(int key, int device);
    void CaptureKey();
    void CancelCapture();
    bool IsCapturing() const { return captureOn_; }

    // Rebuilds the virtual-key table from the bindings and the fixed numeric pad.
    void ApplyConfig();
    // 0 loaded, 1 unreadable, 2 damaged (the bindings unchanged).
    int32_t Load();
    // True when the write failed.
    bool Save();

    // Shift-JIS display name of a keyboard code, or of 256 + a pad code; "不明" when none.
    static tovarineGameSDK3rd::VTL::VTLstring GetKeyName(int code);
    // One-shot press of a Windows virtual key, only while the application's window
    // has the focus.
    static bool IsKeyTriggered(int virtualKey);

    virtual void SetDefaultKeys();
    virtual void SetRepeatDirections(int32_t interval);
    virtual void SetRepeatButtons(int32_t interval);
    virtual void SetReservedKeys();
    // One key's repeat interval (0 every frame while held, 128 once per press); the scenes
    // give single keys their own. A key held across a change from 0 counts as pushed at the
    // change: once per press, it pushes again only after a release.
    void SetRepeat(int n, int32_t interval);
    int32_t GetRepeat(int n) const;

    int32_t GetKeyCount() const { return keyCount_; }
    const std::vector<SConfigData>& GetConfig() const { return config_; }
    std::vector<SConfigData>& GetConfig() { return config_; }
    const tovarineGameSDK3rd::VTL::VTLstring& GetFileName() const { return fileName_; }

protected:
    static constexpr int kRepeatSlots = 32;

    // An interval under the speed mode; once per press stays as it is.
    int32_t Scaled(int32_t interval) const;
    // The first binding of key on device, or end().
    std::vector<SConfigData>::iterator FindBinding(int key, int device);
    // The first code 0-255 newly pushed on device list entry d (0 or 1) and not waiting for
    // its release since the capture began; -1 when none. Every code's wait sees this poll.
    int FirstPush(int d);

    tovarineGameSDK3rd::VTL::smart_ptr<tovarineGameSDK3rd::Input::IKeyBase> keyboard_;
    bool backgroundKeyboard_ = false;
    CJoyStickEx pad_;
    CJoyStickEx noPad_;
    int32_t keyCount_ = 16;
    int32_t secondCount_ = 16;
    // A virtual key held since Initialize pushes only after a release.
    CReleaseWait<kRepeatSlots> waitMask_{true};
    int32_t repeat_[kRepeatSlots] = {};
    int32_t countdown_[kRepeatSlots] = {};
    uint32_t fastMask_ = 0;
    // 0 halves the repeat intervals, 1 keeps them, 2 doubles them.
    int32_t speedMode_ = 0;
    tovarineGameSDK3rd::VTL::VTLstring fileName_ = "key.cfg";
    bool captureOn_ = false;
    // Per device (keyboard, pad), the codes down when the capture began.
    CReleaseWait<tovarineGameSDK3rd::Input::IKeyBase::kKeyCount> captureWait_[2];
    int32_t captureKey_ = -1;
    int32_t captureDevice_ = -1;
    int32_t padSelected_ = 0;
    std::set<int32_t> reserved_;
    std::vector<SConfigData> config_;
    SConfigData removed_;
    // Whether removed_ holds a binding that CancelCapture must put back.
    bool hasRemoved_ = false;
};

}  // namespace KestraneGameBase2

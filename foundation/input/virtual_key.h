#pragma once
// Virtual keys: up to 88 logical keys, each pressed while any of the physical
// keys assigned to it is pressed, on any of the devices in the list.
#include "foundation/input/key_base.h"
#include "foundation/vtl/smart_ptr.h"

#include <cstdint>
#include <vector>

namespace tovarineGameSDK3rd::Input {

// One physical key: a position in the device list and a key code of that device.
class CKeyInfo {
public:
    CKeyInfo(int device, int key) : device_(device), key_(key) {}
    virtual ~CKeyInfo() {}
    int GetDevice() const { return device_; }
    int GetKey() const { return key_; }

private:
    int device_;
    int key_;
};

class CVirtualKey : public IKeyBase {
public:
    static constexpr int kVirtualKeyCount = 88;
    // The state of a pressed virtual key.
    static constexpr uint8_t kPressed = 0xFF;

    // Polls every device in list order, then sets each virtual key from them.
    // Answers the devices' answers combined by bitwise OR.
    int32_t Input() override;

    // Device indexes are positions in this list.
    void AddDevice(const VTL::smart_ptr<IKeyBase>& device);
    // Assigns key `key` of device `device` to virtual key `vkey`. A vkey outside
    // 0..87 is refused with an error-log line; entries naming a device that is
    // not (or no longer) in the list are never pressed.
    void AddKey(int vkey, int device, int key);
    void ClearDevice();
    void ClearKeyAll();

protected:
    std::vector<VTL::smart_ptr<CKeyInfo>> keys_[kVirtualKeyCount];
    std::vector<VTL::smart_ptr<IKeyBase>> devices_;
};

}  // namespace tovarineGameSDK3rd::Input

#include "foundation/input/virtual_key.h"

#include "foundation/vtl/text_output_stream.h"

#include <cstring>

namespace tovarineGameSDK3rd::Input {

void CVirtualKey::AddDevice(const VTL::smart_ptr<IKeyBase>& device) { devices_.push_back(device); }

void CVirtualKey::AddKey(int vkey, int device, int key) {
    if (vkey < 0 || vkey >= kVirtualKeyCount) {
        GetErrorLog().Out("CVirtualKey::AddKeyで仮想キーの番号%dが範囲外", vkey);
        return;
    }
    keys_[vkey].push_back(VTL::smart_ptr<CKeyInfo>(new CKeyInfo(device, key)));
}

void CVirtualKey::ClearDevice() { devices_.clear(); }

void CVirtualKey::ClearKeyAll() {
    for (auto& list : keys_) list.clear();
}

int32_t CVirtualKey::Input() {
    int32_t result = 0;
    for (auto& device : devices_) result |= device->Input();

    FlipBuffer();
    uint8_t* states = CurrentStates();
    std::memset(states, 0, kKeyCount);
    const size_t deviceCount = devices_.size();
    for (int vkey = 0; vkey < kVirtualKeyCount; ++vkey) {
        for (auto& info : keys_[vkey]) {
            const int device = info->GetDevice();
            if (device < 0 || static_cast<size_t>(device) >= deviceCount) continue;
            if (devices_[device]->IsKeyPress(info->GetKey())) {
                states[vkey] = kPressed;
                break;
            }
        }
    }
    return result;
}

}  // namespace tovarineGameSDK3rd::Input

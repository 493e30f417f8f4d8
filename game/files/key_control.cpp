#include "game/files/key_control.h"

const KeyBinding CKeyControl::kDefaultBindings[24] = {
    0x00C80000, 0x00000100, 0x00CB0001, 0x00020101, 0x00D00002, 0x00010102, 0x00CD0003, 0x00030103,
    0x002C0008, 0x00040108, 0x002D0009, 0x00050109, 0x002E000B, 0x0006010B, 0x002F000A, 0x0007010A,
    0x001E000C, 0x0008010C, 0x001F000D, 0x0009010D, 0x0020000F, 0x000A010F, 0x0021000E, 0x000B010E,
};

CKeyControl::CKeyControl() {
    fileName_ = "save\\key.cfg";
    Initialize(fileName_);
}

void CKeyControl::SetDefaultKeys() {
    config_.clear();
    for (KeyBinding b : kDefaultBindings) {
        config_.emplace_back(static_cast<uint8_t>(b & 0xFF), static_cast<uint8_t>((b >> 8) & 0xFF),
                             static_cast<uint16_t>(b >> 16));
    }
    ApplyConfig();
}

#pragma once
// The game's key bindings: "save\key.cfg" and its 24 defaults (directions first); the tests of a
// frame's key mask.
#include <cstdint>

#include "framework/key_control.h"
#include "game/ids.h"

// A binding as one word: code << 16 | device << 8 | virtual key.
using KeyBinding = uint32_t;

class CKeyControl : public KestraneGameBase2::CKeyControlBase {
public:
    // The 24 default bindings in their order.
    static const KeyBinding kDefaultBindings[24];

    // Loads "save\key.cfg", or writes the defaults there when it cannot.
    CKeyControl();
    ~CKeyControl() override = default;

    void SetDefaultKeys() override;
};

// Whether the key's bit is set in this frame's mask.
inline bool Pushed(const KestraneGameBase2::SKey& key, KeyBit bit) { return (key.mask & Bit(bit)) != 0; }
// The decide key or any key above it pushed this frame.
inline bool IsAnyButtonPushed(const KestraneGameBase2::SKey& key) {
    return (key.mask & ((Bit(KeyBit::kFastForward) << 1) - Bit(KeyBit::kDecide))) != 0;
}

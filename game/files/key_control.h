#pragma once
// The game's key bindings: "save\key.cfg" and its 24 defaults (directions first).
#include <cstdint>

#include "framework/key_control.h"

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

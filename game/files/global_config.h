#pragma once
// The game's settings record: the framework's fields, then the text options,
// the two font names and the extras flag.
#include "framework/config.h"

struct SGlobalConfig : KestraneGameBase2::SGlobalConfigBase {
    bool smoothText;
    bool textShadow;
    bool textPlaneAlpha;
    KestraneGameBase2::VTLstring fontName;
    KestraneGameBase2::VTLstring propFontName;
    // Only its low byte is stored; loading leaves the upper bytes as they were.
    int32_t extrasUnlocked;

    SGlobalConfig() { SGlobalConfig::Reset(); }

    void Serialize(tovarineGameSDK3rd::Auxiliary::ISerialize& ar) override;
    ~SGlobalConfig() override = default;
    // Every field, the base's included.
    void Reset() override;
};

#include "game/files/global_config.h"

void SGlobalConfig::Reset() {
    SGlobalConfigBase::Reset();
    smoothText = textShadow = textPlaneAlpha = true;
    fontName = "ＭＳ ゴシック";
    propFontName = "ＭＳ Ｐゴシック";
    extrasUnlocked = 0;
}

void SGlobalConfig::Serialize(tovarineGameSDK3rd::Auxiliary::ISerialize& ar) {
    SGlobalConfigBase::Serialize(ar);
    uint8_t extras = static_cast<uint8_t>(extrasUnlocked);
    ar << smoothText << textShadow << textPlaneAlpha << fontName << propFontName << extras;
    if (!ar.IsStoring()) extrasUnlocked = static_cast<int32_t>((static_cast<uint32_t>(extrasUnlocked) & ~0xFFu) | extras);
}

#pragma once
// The whole-screen effects of the play state: the flash, the fade, the camera's shake and the
// head-up display's slide. The frame steps them; drawing only reads them.
#include <cstdint>

struct SScreenEffects {
    static constexpr int32_t kFlashFrames = 30;

    // A kFlashFrames flash of the whole screen in that colour.
    void StartFlash(uint8_t red, uint8_t green, uint8_t blue);
    void StartFadeIn(int32_t frames);
    void StartFadeOut(int32_t frames);
    // Once a frame each.
    void UpdateFade();
    void UpdateShake();
    void UpdateHudSlide();

    int32_t flashCounter = 0;
    int32_t flashDuration = 0;
    uint8_t flashR = 0, flashG = 0, flashB = 0;
    int32_t fadeCounter = -1;
    int32_t fadeDuration = -1;
    int32_t fadeDirection = 0;  // +1 out, -1 in, 0 done
    uint8_t halfFade = 0;       // the fade stops at half darkness
    int32_t shakeX = 0;         // offsets added to the camera
    int32_t shakeY = 0;
    int32_t shakeCounterX = 0;  // a shake starts by setting one
    int32_t shakeCounterY = 0;
    int32_t hudSlideSpeed = 1;  // > 0 slides in, < 0 out
    int32_t hudOffset = -48;    // -48 hidden .. 0 shown
    int32_t hudBlink = 0;       // 16 bits
};

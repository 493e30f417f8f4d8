// The screen effects' steps: each touches only its own record.
#include "game/play/screen_effects.h"

#include "framework/sine_table.h"

void SScreenEffects::StartFadeIn(int32_t frames) {
    fadeDuration = frames;
    fadeCounter = frames - 1;
    fadeDirection = -1;
    halfFade = 0;
}

void SScreenEffects::StartFadeOut(int32_t frames) {
    fadeDuration = frames;
    fadeCounter = 0;
    fadeDirection = 1;
    halfFade = 0;
}

void SScreenEffects::UpdateFade() {
    const int32_t half = fadeDuration / 2;
    if (fadeDirection > 0) {
        // The direction stays: the picture stays dark.
        const int32_t limit = halfFade != 0 ? half : fadeDuration;
        if (++fadeCounter > limit) fadeCounter = limit;
    } else if (fadeDirection < 0) {
        --fadeCounter;
        if (halfFade != 0) {
            if (fadeCounter < half) fadeCounter = half;
        } else if (fadeCounter < 0) {
            fadeCounter = 0;
            fadeDirection = 0;
        }
    }
}

void SScreenEffects::UpdateShake() {
    const auto axis = [](int32_t& counter, int32_t& offset) {
        if (counter <= 0) return;
        const int32_t amplitude = (16 * counter) / 60;
        const uint8_t angle = static_cast<uint8_t>(20 * counter);
        --counter;
        offset = counter == 0 ? 0 : static_cast<int32_t>(amplitude * KestraneGameBase2::SinOf(angle));
    };
    axis(shakeCounterX, shakeX);
    axis(shakeCounterY, shakeY);
}

void SScreenEffects::UpdateHudSlide() {
    hudBlink = (hudBlink + 1) & 0xFFFF;
    if (hudSlideSpeed < 0) {
        hudOffset += hudSlideSpeed;
        if (hudOffset <= -48) hudOffset = -48, hudSlideSpeed = 0;
    } else if (hudSlideSpeed > 0) {
        hudOffset += hudSlideSpeed;
        if (hudOffset >= 0) hudOffset = 0, hudSlideSpeed = 0;
    }
}


void SScreenEffects::StartFlash(uint8_t red, uint8_t green, uint8_t blue) {
    flashR = red;
    flashG = green;
    flashB = blue;
    flashCounter = flashDuration = kFlashFrames;
}

// The effects' frame: start delay with the kind's sound, fade-in, animation, lifetime and
// fade-out, then each class's motion: plain effects on the screen, land effects in the world
// with their placement, cut-ins flying in, holding and flying out. Then the pop-ups kept on
// the screen, and a text object's text.
#include <cmath>

#include "framework/sine_table.h"
#include "framework/sound_list.h"
#include "game/objects/objects.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

enum class Start { kWaiting, kEnded, kRunning };

bool Still(const ObjectMotion& m) { return m.vx == 0 && m.vy == 0 && m.accel == 0; }

// The start every effect update shares. fadeIn: plain effects fade in; anyLifetime: a cut-in
// counts down any lifetime but 0, the others only a positive one.
Start CommonStart(CObjectEffect& e, bool fadeIn, bool anyLifetime) {
    if (e.startDelay >= 0) {
        if (--e.startDelay >= 0) return Start::kWaiting;
        if (e.kind->sound != 0) KestraneGameBase2::GetSEList()->Play(e.kind->sound, false);
    }
    if (fadeIn && e.fadeInCounter > 0) {
        --e.fadeInCounter;
        // A fade-in without a length is whole at once.
        e.alpha = e.fadeInCounter != 0 && e.fadeInLength > 0
                      ? static_cast<uint8_t>((e.fadeInLength - e.fadeInCounter) * 255 / e.fadeInLength)
                      : 255;
    }
    ++e.IObjectDraw::animCounter;
    const int64_t cycle = static_cast<int64_t>(e.kind->frames.size()) * e.kind->frameTime;
    if (e.kind->frameTime > 0 && e.IObjectDraw::animCounter > cycle) e.IObjectDraw::animCounter = 0;
    if (anyLifetime ? e.lifetime != 0 : e.lifetime > 0) {
        if (--e.lifetime < 1) return Start::kEnded;
    }
    if (e.fadeDelay > 0) {
        --e.fadeDelay;
    } else if (e.fadeCounter > 0) {
        if (--e.fadeCounter == 0 && e.fadeRepeat != 0) e.fadeCounter = e.fadeLength;
    }
    return Start::kRunning;
}

bool FadedOut(const IObjectDraw& e) { return e.fadeLength != 0 && e.fadeCounter == 0; }

}  // namespace

void CObjectEffect::ResetVelocity() {
    motion.vx = CosOf(kind->angle) * kind->speed;
    motion.vy = SinOf(kind->angle) * kind->speed;
}

bool CObjectEffect::Update(int32_t width, int32_t height) {
    const Start start = CommonStart(*this, true, false);
    if (start != Start::kRunning) return start == Start::kWaiting;
    if (FadedOut(*this)) return false;
    if (Still(motion)) return true;  // never culled
    StepMotion();
    const double w = kind->cellWidth + 32, h = kind->cellHeight + 32;
    return !(x + w < 0 || y + h < 0 || x - w > width || y - h > height);
}

bool CObjectEffectLand::Update(int32_t, int32_t) {
    const Start start = CommonStart(*this, false, false);
    if (start != Start::kRunning) return start == Start::kWaiting;
    return !FadedOut(*this);
}

bool CObjectEffectLand::CheckLand(CGameResource& game) {
    if (!Still(motion)) {
        StepMotion();
        // The items' and shots' keep-alive rectangle.
        const double scroll = game.progress.scrollX;
        const tovarineGameSDK3rd::Draw::Rect rect{TruncInt(scroll - 32), -32, TruncInt(scroll + 672),
                                                  game.verticalScrollRange + 512};
        if (GetOutsideSide(rect, kind->cellWidth, kind->cellHeight) != kInside) return false;
    }
    int32_t cx = 0, cy = 0;
    game.GetCameraOrigin(cx, cy);
    const auto place = [](double v) { return static_cast<int16_t>(static_cast<uint16_t>(TruncInt(v))); };
    screenX = place(x - kind->cellWidth / 2 - cx + kind->value7);
    screenY = place(y - kind->cellHeight / 2 - cy + kind->value8);
    return true;
}

bool CObjectEffectLandShadow::CheckLand(CGameResource& game) {
    StepTrail(game, x, y, kind->cellWidth, kind->cellHeight, jitter != 0);
    return CObjectEffectLand::CheckLand(game);
}

bool CObjectCutin::Update(int32_t, int32_t) {
    const Start start = CommonStart(*this, false, true);
    if (start != Start::kRunning) return start == Start::kWaiting;
    const double speed = kind->speed;
    if (speed == 0) return true;
    const uint8_t angle = kind->angle;
    x += CosOf(angle) * 0.5;  // the drift
    y += SinOf(angle) * 0.5;
    if (lifetime > fullLifetime - 10) {  // flying in, braking
        if (Still(motion)) ResetVelocity();
        motion.accelAngle = angle;
        motion.speedLimit = 0;
        motion.accel = speed / -10;
    } else if (lifetime >= 10) {  // holding
        motion.Clear();
    } else {  // flying out
        motion.accelAngle = angle;
        motion.speedLimit = speed;
        motion.accel = speed / 10;
    }
    StepMotion();
    return true;
}

// ---- popups on the screen

namespace {

// Moves the w x h box centred on the effect inside 640 x 480; the bottom edge wins.
void KeepBoxOnScreen(IObjectDraw& e, int32_t w, int32_t h) {
    const int64_t left = static_cast<int64_t>(TruncInt(e.x)) - w / 2;
    const int64_t top = static_cast<int64_t>(TruncInt(e.y)) - h / 2;
    if (left + w > CGameResource::kScreenWidth) {
        e.x += static_cast<double>(CGameResource::kScreenWidth - w - left);
    } else if (left < 0) {
        e.x -= static_cast<double>(left);
    }
    if (top < 0) e.y -= static_cast<double>(top);
    if (top + h > CGameResource::kScreenHeight) e.y += static_cast<double>(CGameResource::kScreenHeight - h - top);
}

}  // namespace

void CObjectEffect::KeepOnScreen() { KeepBoxOnScreen(*this, kind->cellWidth, kind->cellHeight); }

void CObjectENumber::KeepOnScreen() {
    // A value below 1 still shows one digit.
    const int32_t digits = value < 1 ? 1 : static_cast<int32_t>(std::log10(value)) + 1;
    KeepBoxOnScreen(*this, digits * kind->cellWidth, kind->cellHeight);
}

void CObjectFont::SetText(const SGlobalConfig& config, int32_t size, uint32_t colour, bool proportional,
                          const VTLstring& text) {
    static constexpr uint32_t kShadow = 0x202020;
    tovarineGameSDK3rd::Draw::CFont& font = *textPlane.GetFont();
    font.SetColor(colour);
    font.SetShadowColor(config.textShadow ? kShadow : tovarineGameSDK3rd::Draw::CFont::kNoColour);
    font.SetText(text);
    font.SetFont(proportional ? config.propFontName : VTLstring("MS ゴシック"));
    font.SetSize(size);
    font.SetLineHeight(size + 4);
    font.SetShadowOffset(2, 2);
    if (config.smoothText) {
        textPlane.UpdateTextAA2();
        smoothed = 1;
    } else {
        textPlane.UpdateText();
    }
}

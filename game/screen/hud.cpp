// The head-up display over the play field: the boss gauge, the notices or the score, the
// player's gauges with their stock marks, the score pop-ups and the item timers. Pictures
// come from image 0 (gauges, icons) and image 1 (score panel, digits, pop-up labels).
#include <algorithm>

#include "framework/blt_support.h"
#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/play/game_resource.h"
#include "game/screen/hud.h"

using KestraneGameBase2::CBltSupport;
using KestraneGameBase2::CImageLoader;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Rect;

namespace {

// One pop-up of the table: which display counter, its label, where it slides and glints.
struct SPopup {
    int32_t counter;  // its frames left in the score-chain display; the value follows a bonus's
    Rect label;
    int32_t baseX;
    Rect glint;
    int32_t labelY;
    int32_t numberY;
};
constexpr SPopup kPopups[] = {
    {SScoreChain::kChainPopup, {0, 0, 106, 19}, 430, {428, 48, 630, 72}, 52, 48},
    {SScoreChain::kTimeBonusPopup, {0, 38, 120, 57}, 400, {398, 128, 650, 152}, 132, 128},
    {SScoreChain::kSpecialPopup, {106, 0, 214, 19}, 430, {428, 72, 630, 96}, 76, 72},
    {SScoreChain::kLifeBonusPopup, {120, 38, 240, 57}, 400, {398, 152, 650, 176}, 156, 152},
    {SScoreChain::kBonusPopup, {0, 19, 120, 38}, 430, {428, 96, 630, 120}, 100, 96},
};

struct STimerBar {
    int32_t SPlayerStatus::*timer;
    Rect icon;
    int32_t row;  // below the offset
    uint32_t colour;
};
constexpr STimerBar kTimerBars[] = {
    {&SPlayerStatus::magicTimer, {112, 128, 128, 144}, 40, 0xE000E0},
    {&SPlayerStatus::speedUpTimer, {128, 128, 144, 144}, 56, 0xE08000},
    {&SPlayerStatus::energyTimer, {144, 128, 160, 144}, 72, 0x0080E0},
};

uint32_t Grey(uint8_t c) { return (uint32_t{c} << 16) | (uint32_t{c} << 8) | c; }

void Keyed(ISurface* target, int32_t x, int32_t y, const Rect& source) {
    CBltSupport::BltKeyedCopy(*target, CImageLoader::GetImage(0), x, y, &source);
}

void Blend(ISurface* target, int32_t x, int32_t y, const Rect& source, uint8_t alpha) {
    target->BlendBlt(&CImageLoader::GetImage(1), x, y, alpha, nullptr, &source);
}

Rect Glyph(int32_t left, int32_t width) { return Rect{left, 57, left + width, 81}; }

}  // namespace

void DrawMultiplier(ISurface* target, int32_t x, int32_t y, uint8_t alpha, double m) {
    const int32_t n = TruncInt(m * 100);
    Blend(target, x, y, Glyph(176, 16), alpha);
    Blend(target, x + 16, y, Glyph(16 * (n / 100 % 10), 16), alpha);
    Blend(target, x + 32, y, Glyph(192, 8), alpha);
    Blend(target, x + 40, y, Glyph(16 * (n % 100 / 10), 16), alpha);
    if (n % 10 != 0) Blend(target, x + 56, y, Glyph(16 * (n % 10), 16), alpha);
}

void DrawNumber(ISurface* target, int32_t x, int32_t y, int32_t value, uint8_t alpha) {
    Blend(target, x, y, Glyph(160, 16), alpha);
    bool started = false;
    for (int32_t place = 1000000; place >= 1; place /= 10) {
        const int32_t d = value / place % 10;
        if (!started && d == 0) continue;
        started = true;
        x += 16;
        Blend(target, x, y, Glyph(16 * d, 16), alpha);
    }
}

void CGameResource::DrawHud(ISurface* target) {
    if (scene == Scene::kGallery) return;
    const int32_t o = screenFx.hudOffset * 3 / 2;
    const int32_t y = o + 8;
    const bool blinkLow = screenFx.hudBlink % 48 < 24;
    const auto blink = [blinkLow](Rect r) {
        if (blinkLow) r.top += 32, r.bottom += 32;
        return r;
    };

    const bool bossGauge = scene == Scene::kPlay && boss.bossId >= 0 && boss.intro == 0 && boss.hp >= 1;
    if (bossGauge) {
        Rect icon{0, 224, 32, 256};
        if (boss.powerUpCountdown > 0) {
            const int32_t c = boss.bossId >= 1 && boss.bossId <= 3 ? 32 * (boss.bossId - 1) : 0;
            icon = Rect{c, 288, c + 32, 320};
        }
        Keyed(target, 400, y, blink(icon));
        Keyed(target, 432, y, Rect{32, 224, 37, 256});
        Keyed(target, 437, y, Rect{37, 224, 187, 256});
        Keyed(target, 587, y, Rect{187, 224, 190, 256});
        if (boss.maxHp != 0) {  // a record without a maximum shows an empty gauge
            Keyed(target, 437, y, Rect{37, 256, 37 + (finisherDisplay + boss.hp) * 150 / boss.maxHp, 288});
        }
        // The finishing glint: the boss is within one blow (or the finisher's reach).
        int32_t reach = player->kind->power;
        if (progress.stage >= 3 && status.gauge == 10000) reach = 3 * reach + (status.maxHp - status.hp);
        if (boss.hp > 0 && boss.hp <= reach && screenFx.hudBlink % 24 < 12) {
            target->SetFillColor(0xFFFFFF);
            const Rect glint{437, o + 13, 587, o + 35};
            target->AddColorEffect(0x208080, &glint);
        }
    }

    // The invincibility notice for the whole run, else the replay's every other second, else
    // the score.
    const bool invincible = progress.invincible != 0;
    if (invincible || (replayLog.playing && screenFx.hudBlink % 120 < 60)) {
        const int notice = invincible ? 0 : 1;
        if (hudFlags[notice] == 0) {
            tovarineGameSDK3rd::Draw::CFont& font = *hudTextPlane.GetFont();
            font.SetTextF("%s", invincible ? "無敵モード中" : "リプレイ再生中");
            font.SetSize(24);
            font.SetFont(Config().propFontName);
            font.SetShadowOffset(2, 2);
            hudTextPlane.UpdateTextAA2();
            hudFlags[notice] = 1;
            hudFlags[1 - notice] = 0;
        }
        if (screenFx.hudBlink % 120 < 60) target->KeyedBlendBlt(&hudTextPlane, 500, y, 255);
    } else if (!bossGauge) {
        Blend(target, 412, o + 12, Rect{116, 111, 192, 135}, 255);
        int32_t score = status.score;
        for (int32_t i = 0; i < 7; ++i, score /= 10) {
            const int32_t d = score % 10;
            Blend(target, 608 - 20 * i, y, Rect{20 * d, 80, 20 * d + 20, 110}, 255);
        }
    }

    if (scene == Scene::kGameOver || scene == Scene::kEnding) return;
    Keyed(target, 8, y, blink(Rect{0, 0, 37, 32}));
    const int32_t frame = status.maxHp * 100 / 10000;
    Keyed(target, 45, y, Rect{37, 0, 37 + frame, 32});
    Keyed(target, 45 + frame, y, Rect{187, 0, 190, 32});
    Keyed(target, 45, y, Rect{37, 32, 37 + status.hp * 100 / 10000, 64});

    Keyed(target, 208, y, blink(Rect{0, 64, 37, 96}));
    if (scene == Scene::kPlay) {
        const bool target_ = boss.bossId < 0 ? AnyEnemyOnScreen() : IsBossOnScreen(0);
        if (!target_ || status.gauge < 2800) Keyed(target, 208, y, blink(Rect{144, 64, 181, 96}));
    }
    Keyed(target, 245, y, Rect{37, 64, 137, 96});
    Keyed(target, 345, y, Rect{137, 64, 140, 96});
    Keyed(target, 245, y, Rect{37, 96, 37 + status.gauge * 100 / 10000, 128});
    if (progress.stage >= 3 && status.gauge == 10000) {
        const Rect full{245, o + 16, 345, o + 32};
        target->AddColorEffect(Grey(static_cast<uint8_t>(-8 * screenFx.hudBlink - 1)), &full);
    }
    for (int32_t i = 0; i < status.gauge / 2800; ++i) Keyed(target, 273 + 28 * i, o + 28, Rect{96, 128, 105, 145});

    for (const SPopup& p : kPopups) {
        const int32_t counter = scoreChain.popups[p.counter];
        if (counter <= 0) continue;
        const auto alpha = static_cast<uint8_t>(counter < 30 ? counter * 255 / 30 : 255);
        const bool wide = p.baseX == 430;
        int32_t x = p.baseX;
        if (counter <= (wide ? 151 : 271)) {
            const auto i = static_cast<uint8_t>(2 * ((wide ? -76 : 44) - counter));
            x = TruncInt(180 - 180 * KestraneGameBase2::SinOf(i) + p.baseX);
        }
        const int32_t glintFrom = wide ? 121 : 241;
        if (counter >= glintFrom && counter <= glintFrom + 28) {
            target->AddColorEffect(Grey(static_cast<uint8_t>((counter + (wide ? 106 : -14)) * 8)), &p.glint);
        }
        Blend(target, x, p.labelY, p.label, alpha);
        if (p.counter == SScoreChain::kChainPopup) {
            DrawMultiplier(target, x + 128, p.numberY, alpha, std::min(2.0, 1 + 0.2 * scoreChain.popups[SScoreChain::kChainCount]));
        } else if (p.counter == SScoreChain::kTimeBonusPopup || p.counter == SScoreChain::kLifeBonusPopup) {
            DrawNumber(target, x + 128, p.numberY, scoreChain.popups[p.counter + 1], alpha);
        } else {
            DrawMultiplier(target, x + 128, p.numberY, alpha, 1.5);
        }
    }

    for (const STimerBar& bar : kTimerBars) {
        const int32_t t = status.*bar.timer;
        if (t <= 0) continue;
        const int32_t row = o + bar.row;
        Keyed(target, 24, row, bar.icon);
        target->SetFillColor(bar.colour);
        const Rect fill{42, row + 4, 42 + t * 100 / 1500, row + 16};
        target->Clear(&fill);
    }
}

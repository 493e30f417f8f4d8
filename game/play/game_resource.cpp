#include "game/play/game_resource.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "foundation/vtl/text_output_stream.h"
#include "framework/sine_table.h"
#include "platform/clock.h"

using tovarineGameSDK3rd::Draw::Rect;

void SPlayerStatus::Reset() {
    hp = maxHp = 10000;
    barrierEnergy = maxBarrierEnergy = 10000;
    gauge = 5000;
    bonusCounters[0] = bonusCounters[1] = 0;
    speedUpTimer = magicTimer = energyTimer = 0;
}

void SPlayerStatus::GainScore(int64_t points) {
    // In 64 bits: a large payout on a large score must not wrap below the cap.
    score = static_cast<int32_t>(std::clamp<int64_t>(score + points, INT32_MIN, kMaxScore));
}

CGameResource::CGameResource(const tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>& keys,
                             const SGameResourceSetup& setup)
    : keyControl(keys),
      clock_(setup.clock != nullptr ? *setup.clock : tovarineGameSDK3rd::Timer::SystemClock()),
      wallClock_(setup.wallClock ? setup.wallClock : std::function<int64_t()>(morna::platform::WallClockSeconds)) {
    const uint32_t seed = Seed(setup.playSeed);
    playRand.SetSeed(seed);
    bossRand.SetSeed(setup.bossSeed ? *setup.bossSeed : seed);
    drawRand.SetSeed(Seed(setup.drawSeed));

    // Effects first: the data table looks its death effects up by name.
    if (setup.kinds != nullptr) {
        kinds = *setup.kinds;
    } else {
        LoadEffectTable(kinds);
        LoadDataTable(kinds);
    }
    textKind.assign(1, SEffectKind());
    if (setup.bossParts != nullptr) {
        bossAnimations = *setup.bossParts;
    } else {
        LoadBossParts(bossAnimations);
    }
    if (GetStartError() != nullptr) {
        tovarineGameSDK3rd::GetErrorLog().Out("CGameResource: data\\text\\data.txtの区分0に自機とバリアがない");
    }

    ResetGame();
    BuildItemDropList();
    playRand.SetSeed(Seed(setup.playSeed));

    replayPlaying = false;
    keyLogIndex = 0;
    keyLog.clear();
    keyLog.reserve(kKeyLogReserve);
}

CGameResource::~CGameResource() = default;

uint32_t CGameResource::Seed(const std::optional<uint32_t>& fixed) const {
    return fixed ? *fixed : tovarineGameSDK3rd::Math::CRand::MakeSeed(clock_.Now());
}

const char* CGameResource::GetStartError() const {
    if (kinds.objects[0].size() >= 3) return nullptr;
    return "data\\text\\data.txt に自機とバリアの定義がありません。";
}

void CGameResource::ResetBossRecord() { boss = SBossFight(); }

void CGameResource::ResetGame() {
    exitRequest = false;
    framesToSkip = 0;
    dropCursor = 0;

    const int32_t gaugeMax = status.gaugeMax;
    status = SPlayerStatus();
    status.gaugeMax = gaugeMax;

    ResetBossRecord();
    killScores.clear();
    killScoreTimer = 0;
    timeLimit = 0;
    fightStartHp = 0;
    for (int32_t& v : scoreChainDisplay) v = 0;

    progress.Reset();
    checkpoint.Reset();
    verticalScrollRange = 0;
    eventTimer = 0;

    move = SScriptedMove();
    verticalScrollTarget = -1;
    backgroundOpacityStep = 0;
    backgroundScrollX = backgroundScrollY = 0;
    keepEffects = 1;
    backgroundTint = 0;
    hudSlideSpeed = 1;
    hudOffset = -48;
    hudBlink = 0;
    flashCounter = flashDuration = 0;
    flashR = flashG = flashB = 0;
    fadeCounter = fadeDuration = -1;
    fadeDirection = 0;
    halfFade = 0;
    shakeX = shakeY = shakeCounterX = shakeCounterY = 0;
    cutinId = cutinFocusX = cutinFocusY = cutinZoom = 0;
    talkPage = talkPageFrame = talkPageCount = 0;
    talkFace = SFace();
    talkResume = 0;
    scriptedWait = 0;
    rankingBlink = 0;
    rankingByte = 255;
    gameOverCounter = blackOutCounter = 0;
    rankingRow = 0;

    // Lines rendered at 23 pixels in rows of 24, measured at the font's 28.
    messageWindow.Reset();
    messageWindow.SetLineSize(23);
    messageWindow.fontSize = 28;

    keepSnapshot = 0;
    hudFlags[0] = hudFlags[1] = 0;

    player = nullptr;
    barriers[0] = barriers[1] = nullptr;
    objects.clear();
    pendingSpawns.clear();
    effects.clear();
    backEffects.clear();
    cutins.clear();
    landEffects.clear();
    frontEffects.clear();
    bossObjects.clear();
    bossIndex = 0;
    bossSegments.clear();
    afterimageParts.clear();
    specialPart.Release();
    chainTrail.clear();
    chainCoils = 0;
    chainExtension = 0;
    gravity = kGravity;

    if (CreatePlayer()) {
        // The hero walks in from the centre of the view (the walk also lowers the barrier).
        player->x = progress.scrollX + 320;
        player->y = progress.scrollY + 240;
        MovePlayerTo(static_cast<int32_t>(progress.scrollX + 320), static_cast<int32_t>(progress.scrollY + 208), 6.0,
                     1.0);
        UpdateBarrierEnergy();
    }
    SpawnAmbientEffects();

    galleryPanX = galleryPanY = 0;
    galleryPan = Rect{};
    galleryPlaying = 0;
}

bool CGameResource::CreatePlayer() {
    const std::vector<SObjectKind>& section = kinds.objects[0];
    if (section.size() < 3) return false;
    player = new CObjectAvatar(&section[0]);
    barriers[0] = new CObjectBarrier(&section[1]);
    barriers[1] = new CObjectBarrier(&section[2]);
    return true;
}

void CGameResource::BuildItemDropList() {
    static constexpr uint8_t kSequence[] = {2, 1, 0, 6, 3, 1, 2, 0, 6, 1, 0, 3, 2, 6, 0, 2, 3, 1, 6, 0, 2, 1, 6};
    itemDropList.insert(itemDropList.end(), std::begin(kSequence), std::end(kSequence));
}

uint8_t CGameResource::NextDropItem() {
    progress.dropCounter -= 50;
    if (itemDropList.empty()) return 0;
    if (dropCursor >= itemDropList.size()) dropCursor = 0;
    return itemDropList[dropCursor++];
}

// ---- camera

void CGameResource::GetCameraOrigin(int32_t& x, int32_t& y) const {
    x = static_cast<int32_t>(shakeX + progress.scrollX);
    y = static_cast<int32_t>(shakeY + progress.scrollY);
}

void CGameResource::ToScreenTopLeft(int16_t& x, int16_t& y, int32_t width, int32_t height, bool jitter) {
    int32_t x0 = 0, y0 = 0;
    GetCameraOrigin(x0, y0);
    x = static_cast<int16_t>(static_cast<uint16_t>(x - x0 - width / 2));
    y = static_cast<int16_t>(static_cast<uint16_t>(y - y0 - height / 2));
    if (jitter) x = static_cast<int16_t>(static_cast<uint16_t>(x + static_cast<int32_t>(playRand.Get() & 7) - 4));
}

void CGameResource::GetViewRect(Rect& rect, int32_t margin) const {
    int32_t x0 = 0, y0 = 0;
    GetCameraOrigin(x0, y0);
    rect = {x0 - margin, y0 - margin, x0 + kScreenWidth + margin, y0 + kScreenHeight + margin};
}

void CGameResource::GetScrollBounds(Rect& rect) const {
    rect.left = static_cast<int32_t>(progress.scrollX);
    rect.right = static_cast<int32_t>(progress.scrollX + kScreenWidth);
    if (progress.vertical != 0) {
        rect.top = 0;
        rect.bottom = verticalScrollRange + kScreenHeight;
    } else {
        rect.top = static_cast<int32_t>(progress.scrollY);
        rect.bottom = static_cast<int32_t>(progress.scrollY + kScreenHeight);
    }
}

// ---- screen effects

void CGameResource::StartFadeIn(int32_t frames) {
    fadeDuration = frames;
    fadeCounter = frames - 1;
    fadeDirection = -1;
    halfFade = 0;
}

void CGameResource::StartFadeOut(int32_t frames) {
    fadeDuration = frames;
    fadeCounter = 0;
    fadeDirection = 1;
    halfFade = 0;
}

void CGameResource::UpdateFade() {
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

void CGameResource::UpdateShake() {
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

void CGameResource::UpdateHudSlide() {
    hudBlink = (hudBlink + 1) & 0xFFFF;
    if (hudSlideSpeed < 0) {
        hudOffset += hudSlideSpeed;
        if (hudOffset <= -48) hudOffset = -48, hudSlideSpeed = 0;
    } else if (hudSlideSpeed > 0) {
        hudOffset += hudSlideSpeed;
        if (hudOffset >= 0) hudOffset = 0, hudSlideSpeed = 0;
    }
}

// ---- player

void CGameResource::PredictPlayerPosition(double& x, double& y, int32_t frames) const {
    const CObjectAvatar& hero = *player;
    x = hero.x + frames * hero.motion.vx;
    y = hero.y + frames * hero.motion.vy;
}

void CGameResource::StampLocalTime(SRankingEntry& entry) const {
    morna::platform::LocalDateTime t;
    morna::platform::ToLocalDateTime(wallClock_(), t);  // zeroes stay when it cannot convert
    const int32_t fields[6] = {t.year % 100, t.month, t.day, t.hour, t.minute, t.second};
    for (int i = 0; i < 6; ++i) entry.date[i] = static_cast<uint8_t>(fields[i]);
}

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

    replayLog.playing = false;
    replayLog.index = 0;
    replayLog.keys.clear();
    replayLog.keys.reserve(SReplayLog::kReserve);
}

CGameResource::~CGameResource() = default;

uint32_t CGameResource::Seed(const std::optional<uint32_t>& fixed) const {
    return fixed ? *fixed : tovarineGameSDK3rd::Math::CRand::MakeSeed(clock_.Now());
}

const char* CGameResource::GetStartError() const {
    if (kinds.objects[0].size() >= 3) return nullptr;
    return "data\\text\\data.txt に自機とバリアの定義がありません。";
}

void CGameResource::SetHost(IWindowHost* host) {
    host_ = host;
    messageWindow.SetHost(host);
    selectWindow.SetHost(host);
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
    scoreChain = SScoreChain();
    timeLimit = 0;
    fightStartHp = 0;

    progress.Reset();
    checkpoint.Reset();
    verticalScrollRange = 0;
    eventTimer = 0;

    move = SScriptedMove();
    verticalScrollTarget = -1;
    backdrop = SBackdrop();
    screenFx = SScreenEffects();
    cutinScreen.id = cutinScreen.focusX = cutinScreen.focusY = cutinScreen.zoom = 0;
    talkState.page = talkState.pageFrame = talkState.pageCount = 0;
    talkState.face = SFace();
    talkState.resume = 0;
    scriptedWait = 0;
    rankingScreen.blink = 0;
    rankingScreen.byte = 255;
    gameOverCounter = blackOutCounter = 0;
    rankingScreen.row = 0;

    // Lines rendered at 23 pixels in rows of 24, measured at the font's 28.
    messageWindow.Reset();
    messageWindow.SetLineSize(23);
    messageWindow.fontSize = 28;

    cutinScreen.keepSnapshot = 0;
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
    formation = SBossFormation();
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

    gallery.panX = gallery.panY = 0;
    gallery.pan = Rect{};
    gallery.playing = 0;
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
    x = static_cast<int32_t>(screenFx.shakeX + progress.scrollX);
    y = static_cast<int32_t>(screenFx.shakeY + progress.scrollY);
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

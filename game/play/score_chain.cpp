// The score chain: kills paid together 8 frames after the last one, with a multiplier for
// the chain's length; kills paid at once; the boss-defeat bonus; the gauge. Each payout sets
// its pop-up on the head-up display.
#include "game/play/score_chain.h"

#include <algorithm>

#include "game/play/game_resource.h"

namespace {

constexpr int32_t kPopupFrames = 180;
constexpr int32_t kBonusFrames = 300;

}  // namespace

void CGameResource::QueueKillScore(int32_t points, int32_t code, int32_t x, int32_t y) {
    if (points < 0) points = WrapSub(progress.stage * 50, points);
    if (code == kStateKilledByBlast) {  // half again
        AddScore(TruncInt(points * 1.5), x, y);
        scoreChain.popups[SScoreChain::kBonusPopup] = kPopupFrames;
        return;
    }
    scoreChain.kills.push_back({x, y, points, code});
    scoreChain.timer = 8;
}

void CGameResource::FlushScoreQueue() {
    scoreChain.TickPopups();
    if (scoreChain.timer == 0) return;
    if (--scoreChain.timer > 0) return;
    const size_t n = scoreChain.kills.size();
    const double factor = std::min(2.0, 1 + 0.2 * (static_cast<double>(n) - 1));
    for (const SKillScore& kill : scoreChain.kills) {
        int32_t p = TruncInt(kill.points * factor);
        if (kill.code == kStateKilledBySpecial) {
            scoreChain.popups[SScoreChain::kSpecialPopup] = kPopupFrames;
            p = TruncInt(p * 1.5);
        }
        AddScore(p, kill.x, kill.y);
    }
    if (n >= 2) {
        scoreChain.popups[SScoreChain::kChainPopup] = kPopupFrames;
        scoreChain.popups[SScoreChain::kChainCount] = static_cast<int32_t>(n - 1);
    }
    scoreChain.kills.clear();
}

void CGameResource::AddScore(int32_t points, int32_t x, int32_t y) {
    if (points <= 0) return;
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    if (CObjectENumber* number = CreateScoreNumber(static_cast<double>(x) - cx, static_cast<double>(y) - cy)) {
        number->value = points;
        number->fadeCounter = 32;
        number->fadeLength = 32;
        number->fadeDelay = 16;
        number->fadeRepeat = 0;
        number->KeepOnScreen();
    }
    status.GainScore(points);
}

void CGameResource::AddBossBonus() {
    if (bossObjects.empty() || !bossObjects[0]) return;
    const int64_t score = bossObjects[0]->kind->score;
    // Only overtime (a negative limit) lowers the first part.
    if (timeLimit > 0) timeLimit = 0;
    const int64_t first = score / 2 + 5 * static_cast<int64_t>(timeLimit);
    if (first > 0) {
        const int32_t shown = static_cast<int32_t>(std::min<int64_t>(first, SPlayerStatus::kMaxScore));
        status.GainScore(first);
        scoreChain.popups[SScoreChain::kTimeBonusPopup] = kBonusFrames;
        scoreChain.popups[SScoreChain::kTimeBonusValue] = shown;
    }
    // 64 bits: a 200,000-point boss at 13,000 HP is beyond 32.
    int64_t second = fightStartHp == 0 ? 0 : score * status.hp / fightStartHp / 2;
    second = std::clamp<int64_t>(second, -SPlayerStatus::kMaxScore, SPlayerStatus::kMaxScore);
    status.GainScore(second);
    scoreChain.popups[SScoreChain::kLifeBonusPopup] = kBonusFrames;
    scoreChain.popups[SScoreChain::kLifeBonusValue] = static_cast<int32_t>(second);
    timeLimit = 0;
}

void CGameResource::AddGauge(int32_t delta) {
    status.gauge = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(status.gauge) + delta, 0, 10000));
}

void SScoreChain::TickPopups() {
    for (const int32_t slot : {SScoreChain::kChainPopup, SScoreChain::kBonusPopup, SScoreChain::kSpecialPopup, SScoreChain::kTimeBonusPopup, SScoreChain::kLifeBonusPopup}) {
        if (popups[slot] > 0) --popups[slot];
    }
}

// The stage flow: the start of a stage and of a game, the scroll with its map columns, the
// background's fade and parallax, the ambient particles, the pending spawns and the field's
// housekeeping.
#include <algorithm>

#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/files/text_tables.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

using tovarineGameSDK3rd::Draw::Point;

namespace {

// Every game starts the play generator here, so a replay repeats the draws of its game.
constexpr uint32_t kGameStartSeed = 4357;
constexpr int32_t kMaxColumnsBehind = 21;
constexpr double kScrollSpeedStep = 0.02;
constexpr int32_t kVerticalStep = 4;

// v moved by step toward target without passing it.
template <typename T>
T Approach(T v, T target, T step) {
    if (v < target) return std::min(v + step, target);
    if (v > target) return std::max(v - step, target);
    return v;
}

// The hero and both barriers at p.
void PutHeroAt(CGameResource& game, const Point& p) {
    for (CObjectAvatar* body : {static_cast<CObjectAvatar*>(&*game.player), static_cast<CObjectAvatar*>(&*game.barriers[0]),
                                static_cast<CObjectAvatar*>(&*game.barriers[1])}) {
        body->x = p.x;
        body->y = p.y;
    }
}

}  // namespace

void CGameResource::ResetStageProgress() {
    // The hero keeps its place on the screen.
    player->x = TruncInt(player->x) - progress.scrollX;
    player->y = TruncInt(player->y) - progress.scrollY;

    const int32_t stage = progress.stage;
    progress.Reset();
    progress.stage = stage;
    eventTimer = 0;
    ClearObjectLists();
}

void CGameResource::StartStage(int32_t stage) {
    // The map's reader only ever raises the vertical range; the play state's is the one kept.
    stageMap.verticalRange = verticalScrollRange;
    LoadStageMap(stage, kinds.objectNames[1], stageMap);
    verticalScrollRange = stageMap.verticalRange;
    progress.stage = stage;

    // The column comes from a stored record: any value, wrapping as the machine does.
    const int32_t c = progress.nextColumn;
    for (int32_t i = 1;; ++i) {
        SpawnMapColumn(WrapSub(c, i), true);
        if (!(i < c && i < kMaxColumnsBehind)) break;
    }
    SpawnMapColumn(c, false);
    progress.nextColumn = WrapSub(c, -1);

    if (Config().reduceMemory) TrimImageCache();
}

void CGameResource::StartGame(SStageProgress record) {
    const int32_t lastScore = status.score;
    // Seeded before the reset, whose ambient effects draw from it: a game's effects must not
    // depend on how long the title ran, nor on the generator's seed at construction.
    playRand.SetSeed(kGameStartSeed);
    ResetGame();
    gravity = kGravity;

    // What a replay file does not hold starts at zero, so that a game and its replay start alike
    // (a retry no longer takes back the MaxHP+ and MaxMP+ items of its checkpoint).
    record.dropCounter = 0;
    record.itemLevel1 = record.itemLevel2 = 0;
    record.invincible = 0;
    record.subStep = progress.subStep;
    progress = record;
    if (!replayLog.playing) {
        replayLog.header = record;
        replayLog.keys.clear();
    }

    StartStage(record.stage);

    player->x = progress.scrollX;
    player->y = progress.scrollY + 240;
    MovePlayerTo(TruncInt(progress.scrollX + 320), TruncInt(progress.scrollY + 208), 6.0, 1.0);
    Point ground{};
    GetGroundPoint(ground);
    PutHeroAt(*this, ground);

    // A recorded game kept min(s / 2, carry), which is the carry since the score never falls;
    // a replay starts from the title's score of 0, so it takes the carry itself.
    const uint32_t carry = static_cast<uint32_t>(record.scoreCarry);
    status.score = static_cast<int32_t>(replayLog.playing ? carry : std::min(static_cast<uint32_t>(lastScore) / 2, carry));
    checkpoint.scoreCarry = status.score / 2;
}

void CGameResource::GetGroundPoint(Point& point) const {
    const int32_t x = TruncInt(progress.scrollX + 320);
    int32_t y = TruncInt(progress.scrollY + 240);
    const std::map<int32_t, int32_t>& profile = stageMap.markers;
    if (profile.empty()) {
        y = 0;
    } else {
        const auto above = profile.upper_bound(x);
        if (above == profile.end()) {
            y = std::prev(above)->second;
        } else {
            int64_t ka = 0, ya = 0;
            if (above != profile.begin()) ka = std::prev(above)->first, ya = std::prev(above)->second;
            const int64_t kb = above->first, yb = above->second;
            if (kb != ka) y = static_cast<int32_t>((x - ka) * (yb - ya) / (kb - ka) + ya);
        }
    }
    point = {x, y};
}

void CGameResource::RescueCrushedPlayer() {
    DamagePlayer(-2500, false);
    PlaySe(Se::kHeroHit);
    player->pose = 2;
    player->poseTimer = 30;
    player->coolTimer = 120;
    if (status.hp < 1 && progress.invincible == 0) {
        status.hp = 0;  // the game over has begun
        return;
    }
    Point p{};
    GetGroundPoint(p);
    if (progress.vertical != 0) progress.scrollY = std::clamp(progress.scrollY, p.y - 720.0, p.y + 240.0);
    PutHeroAt(*this, p);
}

void CGameResource::UpdateScroll() {
    double& sy = progress.scrollY;
    if (progress.vertical != 0 && verticalScrollRange >= 1) {
        const double t = TruncInt(player->y);
        if (sy + 240 < t) {
            sy = std::min(sy + kVerticalStep, t - 240);
            sy = std::min<double>(sy, verticalScrollRange);
        } else if (sy + 240 > t) {
            sy = std::max(sy - kVerticalStep, t - 240);
            sy = std::max(sy, 0.0);
        }
    }
    if (verticalScrollTarget >= 0) sy = Approach<double>(sy, verticalScrollTarget, kVerticalStep);

    if (progress.scrollSpeed <= 0 && progress.targetSpeed <= 0) return;
    progress.scrollSpeed = Approach(progress.scrollSpeed, progress.targetSpeed, kScrollSpeedStep);
    progress.scrollX += progress.scrollSpeed;
    if (32.0 * progress.nextColumn <= progress.scrollX) {
        SpawnMapColumn(progress.nextColumn, false);
        progress.nextColumn = WrapSub(progress.nextColumn, -1);
        AddGauge(5);
    }
}

void CGameResource::UpdateBackground() {
    if (progress.stage < 0) return;
    int32_t& opacity = progress.backgroundOpacity;
    if (backdrop.opacityStep != 0) {
        opacity += backdrop.opacityStep;
        if (opacity < 0) opacity = 0, backdrop.opacityStep = 0;
        if (opacity > 255) opacity = 255, backdrop.opacityStep = 0;
    }
    if (opacity <= 0) return;

    int width = 0, height = 0;
    KestraneGameBase2::CImageLoader::GetImage(41 + progress.stage).GetSize(&width, &height);
    backdrop.scrollX += progress.backgroundSpeed;
    if (backdrop.scrollX > width) backdrop.scrollX = 0;
    const int64_t target = static_cast<int64_t>(TruncInt(player->y)) * (height - 480) / (verticalScrollRange + 480);
    backdrop.scrollY = Approach<double>(backdrop.scrollY, static_cast<double>(target), 1.0);
}

void CGameResource::UpdateAmbientEffects(int32_t x) {
    if (backdrop.keepEffects == 0 || !cutins.empty()) return;
    const uint32_t limit = boss.bossId == 3 && boss.powerUpCountdown > 0 ? 4500 : 9000;
    const uint32_t r = playRand.Get() % limit;
    if (r > 480) return;
    const uint32_t q = playRand.Get() & 31;
    const int32_t kind = q == 31 ? 3 : q >= 28 ? 4 : q >= 21 ? 2 : q >= 13 ? 1 : 0;
    CObjectEffect* e = CreateBackEffect(kind + 1, 0, x, r);
    if (e == nullptr) return;
    const double d = (static_cast<int32_t>(playRand.Get() & 3) - 2) / 10.0;
    e->motion.vx += d * KestraneGameBase2::CosOf(128);
    e->motion.vy += d * KestraneGameBase2::SinOf(128);
    e->effectReserved = kind <= 2 ? playRand.Get() % 14 : playRand.Get() & 3;
}

void CGameResource::SpawnAmbientEffects() {
    backdrop.keepEffects = 1;
    backdrop.tint = 0;
    for (int32_t x = 0; x < kScreenWidth; ++x) UpdateAmbientEffects(x);
}

void CGameResource::UpdatePendingSpawns() {
    for (auto it = pendingSpawns.begin(); it != pendingSpawns.end();) {
        if (--it->delay < 0) {
            objects.push_back(it->object);
            it = pendingSpawns.erase(it);
        } else {
            ++it;
        }
    }
}

void CGameResource::EraseFieldObjects() {
    for (const ObjectPtr& o : objects) {
        const int32_t type = o->GetType();
        if (type == kTypeItem || type == kTypeEnemy || type == kTypeShot || type == kTypeBlock) o->SetState(kStateRemove);
    }
    pendingSpawns.clear();
}

int32_t CGameResource::GetDifficulty() const { return std::clamp(progress.stage, 0, 2); }

// The in-game frame: one logic frame of the running world, in a fixed order, and the
// scripted walk that takes the hero out of the player's hands.
#include <algorithm>
#include <cmath>

#include "foundation/vtl/exception.h"
#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;

namespace {

// The first pair of keys held wins: up over down, left over right.
struct SDirection {
    uint32_t keys;
    uint8_t angle;
};
constexpr uint32_t kUp = Bit(KeyBit::kUp), kLeft = Bit(KeyBit::kLeft), kDown = Bit(KeyBit::kDown),
                   kRight = Bit(KeyBit::kRight);
constexpr SDirection kDirections[] = {
    {kUp | kLeft, 160}, {kUp | kRight, 224}, {kDown | kLeft, 96}, {kDown | kRight, 32},
    {kUp, 192},         {kDown, 64},         {kLeft, 128},        {kRight, 0},
};

// int(distance), as the walks measure it.
int32_t Distance(double dx, double dy) { return TruncInt(std::sqrt(dx * dx + dy * dy)); }

// The input step: false when the frame ends with it (pause, skill start).
bool SteerByKeys(CGameResource& game, KestraneGameBase2::SKey* keys, bool skipKeyLog) {
    KestraneGameBase2::SKey key(keys != nullptr ? keys->mask : 0);
    if (!skipKeyLog) game.RecordKeys(key);
    const uint32_t mask = key.mask;
    SPlayerStatus& status = game.status;

    if (status.magicRequest != 0) {
        status.magicRequest = 0;
        status.magicTimer = 1500;
    }
    for (int32_t* timer : {&status.speedUpTimer, &status.magicTimer, &status.energyTimer}) {
        if (*timer > 0) --*timer;
    }
    if ((mask & Bit(KeyBit::kPause)) != 0) {
        if (!game.replayLog.playing) game.SetMode(Scene::kPause);
        return false;
    }

    const bool bossSet = game.boss.bossId >= 0;
    const bool barrierAllowed =
        game.progress.stage == 3 ? bossSet && game.boss.hp > 0 : !(bossSet && game.boss.hp <= 0);
    if (!barrierAllowed) {
        game.UpdateBarrierEnergy();
    } else {
        if ((mask & Bit(KeyBit::kDecide)) != 0 && status.overload == 0 && game.player->flashTimer == 0) {
            game.StartBarrier();
        } else {
            game.UpdateBarrierEnergy();
        }
        if ((mask & Bit(KeyBit::kBack)) != 0 && game.CanUseSkill()) {
            game.UseSkill(true);
            return false;
        }
    }

    double speed = status.speedUpTimer > 0 ? 6.0 * 1.3 : 6.0;
    uint8_t angle = 0;
    const SDirection* held = nullptr;
    for (const SDirection& d : kDirections) {
        if ((mask & d.keys) == d.keys) {
            held = &d;
            break;
        }
    }
    if (held != nullptr) {
        angle = held->angle;
    } else {
        speed = 0;
    }

    if (!game.IsControlLocked()) {
        ObjectMotion* steered = &game.player->motion;
        double friction = 2.0;
        if (status.barrierUp != 0) {
            if (speed != 0) speed = status.speedUpTimer > 0 ? 4.0 : 2.0;
            steered = &game.ActiveBarrier().motion;
            friction = 1.0;
        }
        steered->accelAngle = angle;
        steered->accel = speed / 3;
        steered->speedLimit = speed;
        steered->frictionX = steered->frictionY = speed == 0 ? friction : 0;
    }
    game.UpdateScroll();
    return true;
}

// The particles of the barrier's bursts, each drawing from the play generator in a fixed order.
void SpawnBurstParticles(CGameResource& game, CObjectBarrier& barrier) {
    tovarineGameSDK3rd::Math::CRand& random = game.playRand;
    uint8_t a = 0;
    while (barrier.PopBurstAngle(a, random)) {
        const int32_t halfW = barrier.kind->hitWidth / 2;
        const int32_t halfH = barrier.kind->hitHeight / 2;
        const int32_t x = TruncInt(halfW * CosOf(a) + TruncInt(barrier.x));
        const int32_t y = TruncInt(halfH * SinOf(a) + TruncInt(barrier.y));
        const uint32_t r1 = random.Get() % 12;
        const uint32_t r2 = random.Get() & 3;
        CObjectEffectLandShadow* spark = game.CreateEffectLandShadow(static_cast<int32_t>(78 + r2),
                                                                     static_cast<int32_t>(12 + r1), x, y);
        if (spark == nullptr) continue;
        spark->trailLength = 3;
        spark->trailSpacing = 0;
        spark->trail.clear();
        const double s = (10 + random.Get() % 400) / 100.0;
        const uint8_t d = static_cast<uint8_t>(random.Get() & 255);
        spark->motion.vx = CosOf(d) * s;
        spark->motion.vy = SinOf(d) * s;
        if ((random.Get() & 1) == 1) {
            spark->motion.accelAngle = static_cast<uint8_t>(d + 32 + (random.Get() & 31));
        } else {
            spark->motion.accelAngle = static_cast<uint8_t>(d - 32 - (random.Get() & 31));
        }
        spark->motion.accel = (10 + random.Get() % 400) / 400.0;
        spark->motion.speedLimit = s;
    }
}

// The body of a boss drawn from its skeleton (kind 0 of its section) shows the picture its
// layout chose, shifted by the display offset and, facing right, mirrored about the anchor.
void PlaceSkeletonBody(CGameResource& game) {
    if (game.bossObjects.empty()) return;
    CObjectBase* body = game.bossObjects[0].GetNoCheck();
    if (body == nullptr || body->kind->index != 0) return;
    // The offsets are the animation table's whole 32-bit values; the place keeps their low 16 bits.
    const int32_t dx = game.boss.displayOffsetX, dy = game.boss.displayOffsetY;
    body->screenX = static_cast<int16_t>(WrapSub(body->screenX, dx));
    body->screenY = static_cast<int16_t>(WrapSub(body->screenY, dy));
    const auto* enemy = dynamic_cast<const CObjectEnemy*>(body);
    if (enemy != nullptr && enemy->facing == kFacingLeft) return;
    int width = 0, height = 0;
    KestraneGameBase2::CImageLoader::GetImage(body->phase).GetSize(&width, &height);
    body->screenX = static_cast<int16_t>(WrapSub(WrapAdd(body->screenX, WrapAdd(dx, dx)), width / 2));
}

}  // namespace

CObjectBarrier& CGameResource::ActiveBarrier() {
    CObjectBarrier* barrier = GetActiveBarrier();
    if (barrier == nullptr) throw tovarineGameSDK3rd::VTL::CNullPointerException();
    return *barrier;
}

bool CGameResource::IsControlLocked() {
    CObjectBarrier& barrier = ActiveBarrier();
    if (status.barrierUp == 0) {
        barrier.flashTimer = 0;
        return player->flashTimer > 0;
    }
    player->flashTimer = 0;
    return barrier.flashTimer > 0;
}

void CGameResource::PlayFrame(KestraneGameBase2::SKey* keys, bool skipKeyLog) {
    UpdateAmbientEffects(kScreenWidth);

    // A cut-in freezes the world: first its zoom, then its layers.
    if (cutinScreen.zoom > 0) {
        if (--cutinScreen.zoom == 0 && cutinScreen.id == Cutin::kFinisher) PlaySe(Se::kFinisherLoop, true);
        return;
    }
    if (!cutins.empty()) {
        UpdateEffectList(cutins);
        if (cutins.empty()) StopSe(Se::kFinisherLoop);
        return;
    }

    if (screenFx.flashCounter > 0) --screenFx.flashCounter;
    FlushScoreQueue();
    UpdateBackground();

    if (status.skillRunning != 0) {
        if (status.finisherCounter > 0) {
            SkillFinisher();
        } else {
            SkillBlast();
        }
    } else if (UpdateScriptedMove() || (boss.bossId >= 0 && boss.intro != 0) || scene == Scene::kHowToPlay ||
               scene == Scene::kGameOver || scene == Scene::kEnding) {
        // The keys are not read this frame.
    } else if (!SteerByKeys(*this, keys, skipKeyLog)) {
        return;
    }

    if (boss.bossId >= 0) {
        if (scene == Scene::kPlay) {
            UpdatePlayField();
        } else if (scene == Scene::kTalk && !bossObjects.empty()) {
            FaceBossToPlayer();
            FacePlayerToBoss();
        }
    }
    UpdatePendingSpawns();

    CObjectAvatar& hero = *player;
    hero.Update(*this);
    if (status.barrierUp != 0) {
        barriers[0]->Update(*this);
        barriers[1]->Update(*this);
    } else {
        barriers[0]->coolTimer = 0;
        barriers[1]->coolTimer = 0;
    }
    // Objects made during the walk join it at the end; only their own update removes them.
    for (auto it = objects.begin(); it != objects.end();) {
        (*it)->Update(*this);
        it = (*it)->state == kStateRemove ? objects.erase(it) : std::next(it);
    }
    UpdateObjectLists();

    if (status.barrierUp != 0) {
        for (auto& barrier : barriers) barrier->x = hero.x, barrier->y = hero.y;
        hero.motion = ActiveBarrier().motion;
    }
    hero.UpdateScreenPosition(*this);
    if (status.barrierUp != 0) {
        barriers[0]->UpdateScreenPosition(*this);
        barriers[1]->UpdateScreenPosition(*this);
    }
    for (auto& object : objects) object->UpdateScreenPosition(*this);
    PlaceSkeletonBody(*this);
    KeepBossOnScreen();

    // A hit on the barrier costs twice its damage in energy; the hero's own waits meanwhile.
    CObjectBarrier& barrier = ActiveBarrier();
    if (barrier.hp != 0) {
        SpendBarrierEnergy(2 * barrier.hp);
        barrier.hp = 0;
        hero.coolTimer = 60;
    } else if (hero.hp != 0) {
        const bool bossDown = boss.bossId >= 0 && boss.hp <= 0;
        if (!bossDown && status.skillRunning == 0) DamagePlayer(hero.hp, true);
        hero.hp = 0;
    }

    if (status.regenerating != 0) {
        status.hp = std::clamp(status.hp + 100, 0, status.maxHp);
        if (status.hp >= status.maxHp) status.regenerating = 0;
    }

    const uint32_t hits = barriers[0]->hitCount + barriers[1]->hitCount;
    barriers[0]->hitCount = barriers[1]->hitCount = 0;
    if (boss.bossId < 0) {
        AddGauge(static_cast<int32_t>(hits / 2));
    }
    SpawnBurstParticles(*this, barrier);
}

// ---- the scripted walk

void CGameResource::MovePlayerTo(int32_t x, int32_t y, double speed, double acceleration) {
    move.targetX = x;
    move.targetY = y;
    move.acceleration = acceleration;
    move.speed = speed;
    move.brakeStarted = 0;
    player->motion.Clear();
    UpdateBarrierEnergy();
    const double s = speed > 0 ? speed : 6.0;
    move.frameBudget = TruncInt(Distance(x - player->x, y - player->y) / s + 60.0);
}

bool CGameResource::UpdateScriptedMove() {
    if (move.targetX == -1) return false;
    CObjectAvatar& hero = *player;
    const double dx = move.targetX - hero.x;
    const double dy = move.targetY - hero.y;
    const uint8_t angle = AngleOf(dx, dy);
    hero.motion.accelAngle = angle;
    hero.motion.accel = move.acceleration;
    hero.motion.speedLimit = move.speed;
    if (move.frameBudget > 0) --move.frameBudget;

    const int32_t d = Distance(dx, dy);
    if (d < 6 || move.frameBudget == 0) {
        hero.ResetMotion();
        hero.x = move.targetX;
        hero.y = move.targetY;
        move.targetX = move.targetY = -1;
        move.brakeStarted = 0;
        move.frameBudget = 0;
        return false;
    }
    // Brake over the last 36 pixels: 12 frames from 6 pixels a frame at 0.5 a frame.
    if (move.brakeStarted == 0 && d < 36) {
        hero.motion.frictionX = std::fabs(CosOf(angle) * 0.5);
        hero.motion.frictionY = std::fabs(SinOf(angle) * 0.5);
        hero.motion.accel = 0;
        hero.motion.speedLimit = 0;
        hero.motion.accelAngle = 0;
        move.brakeStarted = 1;
    }
    return true;
}

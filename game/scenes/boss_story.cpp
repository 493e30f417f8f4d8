// The boss fight's story: each boss's intro (the walk in, the talks, the music) and its
// defeat sequence (the bonus, the grey-out, the talks, the fades) up to the next stage or the
// ending. The fights themselves are the scripts in game/play/boss0.cpp to boss3.cpp.
#include <cmath>
#include <iterator>

#include "framework/bgm_player.h"
#include "framework/blt_support.h"
#include "framework/image_loader.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/boss_fight.h"
#include "game/play/game_resource.h"
#include "game/widgets/message_window.h"

namespace KB = KestraneGameBase2;

namespace {

// The first values of a fight; -1 keeps the field as the record's reset left it.
struct SFightStart {
    int32_t id, hp, timeLimit, gauge, floorLimit;
};
constexpr SFightStart kFightStart[] = {
    {0, 20000, 5400, 2000, 448}, {1, 22500, 7200, 5000, -1}, {2, 25000, 8100, -1, -1},
    {3, 30000, 9000, 2500, -1},  {12, -1, -1, 2500, -1},     {14, 15000, -1, 10000, -1},
};

}  // namespace

void CGameResource::ReadyPlayer() {
    player->pose = 14;
    player->poseTimer = 60;
}

void CGameResource::EnterEnding() { SetMode(replayLog.playing ? Scene::kFadeToTitle : Scene::kEnding); }

void CGameResource::UnlockExtras() {
    SGlobalConfig* config = host_ != nullptr ? host_->EditableConfig() : nullptr;
    if (config == nullptr) return;
    config->extrasUnlocked = 1;
    config->Save();
}

bool CGameResource::BeginBossFight() {
    const int32_t id = boss.bossId;
    if (boss.step == 0) {
        ReleaseStageImages();
        bossRand.SetSeed(4);
        boss.step = 1;
        for (const SFightStart& s : kFightStart) {
            if (s.id != id) continue;
            if (s.hp >= 0) boss.hp = boss.maxHp = s.hp;
            if (s.timeLimit >= 0) timeLimit = s.timeLimit;
            if (s.gauge >= 0) boss.gauge = s.gauge;
            if (s.floorLimit >= 0) boss.floorLimit = s.floorLimit;
        }
        fightStartHp = std::max(status.hp, 1);
    }
    const int32_t vx = TruncInt(progress.scrollX), vy = TruncInt(progress.scrollY);
    if (id == 12) {
        const int32_t x = vx + 320, y = vy + 512;
        const int32_t segments = progress.vertical != 0 ? 11 : 8;
        for (int32_t i = 0; i <= segments; ++i) {
            CObjectBoss* o = CreateBoss(BossKind(i == 0 ? "炎龍本体" : "炎龍胴"), x, y, false);
            if (o == nullptr) continue;
            o->pose = 11;
            o->facing = 192;
        }
        formation.trail.assign(static_cast<size_t>(segments + 1) * 16, SChainTrailEntry());
        FillBossTrail(x, y, 192);
        bossIndex = 0;
        ReadyPlayer();
        return true;
    }
    if (id == 14) {
        for (const char* name : {"ケーキ上段", "ケーキ中段", "ケーキ下段"}) {
            if (CObjectBoss* o = CreateBoss(BossKind(name), vx + 320, 768, false)) o->pose = 11;
        }
        ReadyPlayer();
        return true;
    }
    if (id < 0 || id > 3) return true;
    if (boss.waitFrames > 0 || (id == 0 && IsBossAnimationRunning())) return false;

    const auto walkIn = [&](const char* name, int32_t y, int32_t tx, double speed, double accel, double limit) {
        CObjectBoss* body = CreateBoss(BossKind(name), vx + 704, vy + y, false);
        if (body != nullptr) body->MoveToward(1, speed, accel, limit, vx + tx, vy + 224);
    };
    // Hidden pieces of the boss; first and second selected parts are indices into the boss vector.
    const auto hiddenPart = [&](const char* name) {
        if (CObjectBossParts* p = CreateBossParts(BossKind(name), 0, 0, false)) p->pose = 1;
        return static_cast<uint8_t>(bossObjects.size() - 1);
    };
    const int32_t step = boss.step;
    if (step == 1) {
        if (id == 3) {
            player->x = vx + 64;
            player->y = vy + 240;
        } else {
            KB::GetBGMPlayer()->FadeOut(120);
            MovePlayerTo(vx + 64, vy + 240, 6.0, 1.0);
            ReadyPlayer();
        }
    } else if (step == 2) {
        if (id != 3 && move.targetX != -1) return false;  // the walk to the start point first
        static constexpr Talk kTalk[] = {Talk::kBoss0Before, Talk::kBoss1Before, Talk::kBoss2Before, Talk::kBoss3Before};
        LoadTalk(kTalk[id], false);
    } else if (id == 0) {
        CObjectEnemy* body = BossElement(bossObjects, 0);
        if (step == 3) {
            CreateBoss(BossKind("ポロちゃん"), vx + 704, vy + 132, true);
            BuildFirstBoss();
        } else if (step <= 9 && step % 2 == 0) {
            if (body != nullptr) body->motion.vx = -2.0, body->motion.vy = 0;
            SetBossAnimation(1);
        } else if (step <= 9) {
            if (body != nullptr) body->ResetMotion();
            screenFx.shakeCounterY = 40;
            PlaySe(Se::kBoss0Step);
            boss.waitFrames = 60;
        } else if (step == 10) {
            PlayMusic(Music::kBoss0, 0);
            LoadTalk(Talk::kBoss0WalkedIn, false);
        } else {
            return true;
        }
    } else if (step == 3) {
        if (id == 1) {
            PlayMusic(Music::kBoss1, 0);
            walkIn("リュミナ", 240, 504, 0.0, 0.1, 8.0);
        } else if (id == 2) {
            PlayMusic(Music::kBoss2, 0);
            walkIn("ボルカン", 240, 576, 4.0, 0.0, 4.0);
            boss.heldPart = hiddenPart("ガンテツ");
            boss.snappedPart = hiddenPart("ボルカン判定");
            hiddenPart("ボルカン体当たり");
        } else {
            screenFx.StartFadeIn(255);
            walkIn("セレスタ", 240, 576, 0.5, 0.0, 0.5);
            uint8_t last = 0;
            for (const char* name : {"セレスタ剣", "アイスファーント", "クイーンズレイジ改", "ギロチンスカイ", "アイスミラー"}) {
                last = hiddenPart(name);
            }
            boss.snappedPart = 2;
            boss.heldPart = last;
        }
        boss.waitFrames = id == 3 ? 300 : 60;
    } else if (step == 4) {
        static constexpr Talk kTalk[] = {Talk::kBoss0WalkedIn, Talk::kBoss1WalkedIn, Talk::kBoss2WalkedIn,
                                         Talk::kBoss3WalkedIn};
        LoadTalk(kTalk[id], true);
        boss.actionCounter = 0;
    } else {
        boss.actionCounter = 0;
        if (id == 3) PlayMusic(Music::kBoss3, 16);
        return true;
    }
    ++boss.step;
    return false;
}

void CGameResource::ShowBossDefeat(int32_t frames) {
    if (bossObjects.empty()) return;
    const int32_t id = boss.bossId;
    if (const CObjectEnemy* body = BossElement(bossObjects, 0)) {
        KB::CBltSupport::MakeGray(KB::CImageLoader::GetImage(body->kind->image));
    }
    if (id == 0 && !formation.specialPart.isNull()) formation.specialPart->pose = 1;
    for (size_t i = 0; i < bossObjects.size(); ++i) {
        if (bossObjects[i].isNull()) continue;
        CObjectBase& o = *bossObjects[i];
        if (i != 0 && id >= 0 && id <= 3) {
            o.pose = 1;
        } else {
            o.additive = 1;
            StartFade(o, frames, -1);
            o.ResetMotion();
            o.MoveToward(1, 0.3, 0.0, 0.3, o.x, o.y + 64);
            o.jitter = 1;
            o.pose = 5;
        }
        o.poseTimer = 0;
    }
    PlaySe(frames > 200 ? Se::kGreyOutLong : Se::kGreyOutShort);
}

bool CGameResource::EndBossFight() {
    if (boss.waitFrames > 0) return false;
    const int32_t id = boss.bossId;
    if (boss.step == 0) {
        // A defeat during boss 0's fall must not leave the world without gravity.
        gravity = kGravity;
        EraseFieldObjects();
        frontEffects.clear();
        if (id == 1) {
            for (EffectPtr& e : effects) {
                if (!e.isNull()) StartFade(*e, 60, -1);
            }
        }
        if (id == 0) {
            for (size_t i = 1; i < bossObjects.size(); ++i) {
                if (!bossObjects[i].isNull()) bossObjects[i]->pose = 1;
            }
        }
        status.barrierEnergy = status.maxBarrierEnergy;
    }
    const int32_t vx = TruncInt(progress.scrollX), vy = TruncInt(progress.scrollY);
    const int32_t step = boss.step++;
    if (id == 12 || id == 14) {
        if (step == 0) {
            ShowBossDefeat(90);
            boss.waitFrames = 90;
            return false;
        }
        ReleaseStageImages();
        return true;
    }
    if (id < 0 || id > 3) return true;
    const auto walkBack = [&](Talk talk) {
        // The walk keeps the 6.0 its frame budget is worked out from: a slower stored speed
        // runs out of budget on a long walk and puts the hero on the target at once.
        MovePlayerTo(vx + 64, TruncInt(player->y), 6.0, 1.0);
        LoadTalk(talk, true);
    };
    if (step == 0) {
        PlaySe(Se::kBossDefeated);
        screenFx.StartFlash(255, 255, 255);
        screenFx.shakeCounterX = 60;
        boss.waitFrames = 30;
        AddBossBonus();
        if (id == 2) {
            for (ObjectPtr& o : objects) {
                if (!o.isNull() && (o->GetType() == kTypeEnemy || o->GetType() == kTypeBlock)) o->SetState(kStateVanish);
            }
        }
        if (id == 3) {
            UnlockExtras();
            return false;
        }
        if (id == 0) {
            if (CObjectEnemy* body = BossElement(bossObjects, 0)) body->y = vy + 132, body->x = std::round(body->x);
        }
        return false;
    }
    if (id <= 1) {
        if (step == 1) {
            if (id == 0) {
                LoadTalk(Talk::kBoss0Defeated, false);
            } else {
                walkBack(Talk::kBoss1Defeated);
                boss.actionCounter = 0;
            }
        } else if (step == 2) {
            if (id == 1) boss.actionCounter = 0;
            ShowBossDefeat(255);
            boss.waitFrames = 255;
        } else if (step == 3) {
            PlayMusic(Music::kStageStart, 16);
            const auto fadeIdle = [](auto& list) {
                for (auto& o : list) {
                    if (!o.isNull() && o->fadeLength == 0) StartFade(*o, 60, -1);
                }
            };
            fadeIdle(objects);
            fadeIdle(landEffects);
            screenFx.hudSlideSpeed = -4;
            SpawnAmbientEffects();
            status.maxHp = status.barrierEnergy = status.maxBarrierEnergy = 10000;
            status.bonusCounters[0] = status.bonusCounters[1] = 0;
            status.speedUpTimer = status.magicTimer = status.energyTimer = 0;
            status.regenerating = 1;
            boss.waitFrames = 90;
        } else {
            ReleaseStageImages();
            ResetStageProgress();
            StartStage(id == 0 ? 1 : 2);
            // The HUD slid out at step 3 comes back for the stage, not only at its next scene.
            screenFx.hudSlideSpeed = 1;
            return true;
        }
        return false;
    }
    if (id == 2) {
        if (step == 1) {
            walkBack(Talk::kBoss2Defeated);
        } else if (step == 2) {
            boss.actionCounter = 0;
            boss.lastStep = 1;
            KB::GetBGMPlayer()->FadeOut(240);
            boss.waitFrames = 60;
            int32_t cx = 0, cy = 0;
            GetCameraOrigin(cx, cy);
            MovePlayerTo(cx + 736, cy + 208, 6.0, 0.05);
            player->facing = 0;
            player->pose = 16, player->poseTimer = 0;
            if (CObjectEnemy* body = BossElement(bossObjects, 0)) body->facing = 0, body->pose = 15, body->poseTimer = 0;
        } else if (step == 3) {
            boss.waitFrames = 60;
        } else if (step == 4) {
            LoadTalk(Talk::kLanternRegained, true);
        } else if (step == 5) {
            boss.waitFrames = 255;
            screenFx.StartFadeOut(255);
        } else {
            status.Reset();
            player->pose = 0, player->poseTimer = 0;
            ReleaseStageImages();
            if (status.score > 999999) {
                SpawnAmbientEffects();
                ResetStageProgress();
                StartStage(3);
            } else {
                RemoveTextObjects();
                EnterEnding();
            }
            return true;
        }
        return false;
    }
    if (step == 1) {
        walkBack(Talk::kBoss3Defeated);
    } else if (step == 2) {
        boss.actionCounter = 0;
        KB::GetBGMPlayer()->FadeOut(255);
        ShowBossDefeat(255);
        boss.waitFrames = 60;
    } else if (step == 3) {
        boss.waitFrames = 255;
        screenFx.StartFadeOut(255);
    } else {
        ReleaseStageImages();
        EnterEnding();
        return true;
    }
    return false;
}

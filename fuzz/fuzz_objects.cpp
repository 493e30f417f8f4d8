// Arbitrary bytes as kind tables (every field at any value, but the boss kinds undying as in the
// data set and the masses within their meaning, 0 to 10: empty frame lists, zero sizes and masses,
// any effect speed, every death pattern, every effect form), then a script of spawns through every
// factory, effects with their values, motion and travel set-ups, enemies' spawner fields, the boss
// fight's part layout and helpers on an animation table from the bytes with a frame of the barrier
// or a skill, a boss fight's and the barrier's state, any boss's fight from its intro, the play
// state's score, item and shot operations, in-game frames with keys (which run the contacts, the
// dying step, the effects and the boss scripts) and the block group's scans. Objects move only in
// the in-game frame and only with the hero there, as in the game, which refuses tables without one.
// Beyond not crashing, the lists hold no removed object, every trail keeps to its length and a
// fight's end leaves none of its objects.
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_play_state.h"
#include "game/play/boss_fight.h"
#include "tests/common/recording_surface.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// Names the factories look up, and others.
const char* const kNames[] = {"クリスタル", "ゼリー", "a", "b"};

// The bosses' section, the last: its kinds are undying, as every boss row of the data set is,
// which is how the end of a fight (ClearBossFight) finds its objects.
constexpr int kBossSection = SKindTables::kObjectSections - 1;

// Every boss id, "none" first.
constexpr int32_t kBossIds[] = {-1, 0, 1, 2, 3, 12, 14};
constexpr size_t kBossIdCount = sizeof kBossIds / sizeof kBossIds[0];

void ReadKinds(FuzzInput& in, SKindTables& t) {
    for (int section = 0; section < SKindTables::kObjectSections; ++section) {
        for (int n = in.U8() % 6; n > 0; --n) {
            if (section > 0) RegisterName(t.objectNames[section], kNames[in.U8() % 4]);
            SObjectKind& k = t.objects[section].emplace_back();
            k.index = in.U8(), k.image = in.Raw<int16_t>(), k.srcX = in.Raw<int16_t>(), k.srcY = in.Raw<int16_t>();
            k.cellWidth = in.Raw<uint16_t>(), k.cellHeight = in.Raw<uint16_t>(), k.blend = in.U8();
            k.priority = in.U8();
            k.frames.resize(in.U8() % 8, 1);
            k.frameTime = in.Raw<int16_t>(), k.hitWidth = in.Raw<uint16_t>(), k.hitHeight = in.Raw<uint16_t>();
            k.hitShape = in.U8(), k.score = in.I32(), k.drop = in.U8(), k.power = in.Raw<int16_t>();
            // A mass means 0 to 10 (10 immovable; the data set's are 1 to 10). Heavier knocks
            // than the game has pump a hero pinned at the view's edge faster every cycle, and
            // the run goes on frames at the sub-step cap instead of the boss scripts.
            k.mass = in.U8() % 11, k.gravity = in.U8() & 1, k.reaction = in.U8(), k.undying = in.U8() & 1;
            if (section == kBossSection) k.undying = 1;
            k.life = in.Raw<uint16_t>(), k.effect = in.U8() % 80;
        }
    }
    for (int list = 0; list < 2; ++list) {
        for (int n = in.U8() % 10; n > 0; --n) {
            if (list == 0) RegisterName(t.effectNames, kNames[in.U8() % 4]);
            SEffectKind& k = (list == 0 ? t.effects : t.cutins).emplace_back();
            k.image = in.Raw<int16_t>(), k.srcX = in.Raw<int16_t>(), k.srcY = in.Raw<int16_t>();
            k.cellWidth = in.Raw<int16_t>(), k.cellHeight = in.Raw<int16_t>();
            k.value7 = in.Raw<int16_t>(), k.value8 = in.Raw<int16_t>();
            k.frames.resize(in.U8() % 8, 1);
            // The forms are the frame times -10 to -1; 1 and up are frames of that many ticks.
            k.frameTime = in.U8() % 16 - 10, k.blend = in.U8(), k.priority = in.U8(), k.angle = in.U8();
            k.speed = in.Raw<double>();
        }
    }
    // The death patterns' ids (34-77) exist as copies of the rows read.
    for (size_t n = t.effects.size(); n > 0 && t.effects.size() < 80;) {
        const SEffectKind copy = t.effects[t.effects.size() % n];
        t.effects.push_back(copy);
    }
}

// What the last input left on the field, its gameplay and effects hashed, for the corpus
// replay's check that an input ends alike whatever ran before it.
uint64_t lastEndState = 0;

// The play state's score, item, shot and query operations, from the bytes.
void PlayStateOps(FuzzInput& in, CGameResource& g, CObjectBase* last, int32_t index, int32_t x, int32_t y) {
    g.QueueKillScore(in.I32(), in.U8() % 6, x, y);
    g.AddScore(in.I32(), x, y);
    g.AddGauge(in.I32());
    g.SpawnNextItem(x, y);
    g.SpawnItem(x, y, in.U8() % 10);
    g.ApplyItem(in.U8() % 10);
    int32_t image = 0;
    tovarineGameSDK3rd::Draw::Rect rect{};
    g.PickItemPicture(in.U8(), image, rect);
    g.FireShots(index, x, y, in.U8(), in.U8() % 4, in.Real());
    g.SpawnBurst(in.U8(), in.U8(), x, y);
    g.CreateEffectAtWorld(index, in.Raw<int16_t>(), x, y);
    g.RemoveLandOfKind(index, {x - 64, y - 64, x + 64, y + 64});
    g.timeLimit = in.I32(), g.fightStartHp = in.I32();
    g.AddBossBonus();
    (void)g.AnyEnemyOnScreen(), (void)g.IsBossOnScreen(in.U8()), (void)g.IsAboveViewCentre(y);
    if (g.player) {
        g.FireAimedShot(index, x, y, in.Real());
        (void)g.PositionChance(in.U8()), (void)g.PositionRandom(in.U8());
        if (last != nullptr) {
            (void)g.DistanceToPlayer(*last);
            if (last->GetType() == kTypeShot) g.ReflectShot(static_cast<CObjectShot&>(*last));
        }
    }
}

// The loader numbers a section's records by their place; these tables number them at will, so
// a mine's "next kind" may be another mine, multiplying by eight a generation: such a field
// stops running once it is this large, unless bounded is false.
constexpr size_t kFieldLimit = 4000;

bool Crowded(const CGameResource& g) { return g.objects.size() + g.pendingSpawns.size() >= kFieldLimit; }

// The in-game frame with the given keys; nothing moves without the hero (and its barriers,
// which come with it).
void Frames(CGameResource& g, int frames, uint32_t keys, bool bounded = true) {
    if (!g.player) return;
    for (int f = 0; f < frames && !(bounded && Crowded(g)); ++f) {
        KestraneGameBase2::SKey key(keys);
        g.PlayFrame(&key, true);
    }
}

// The fight's end: its objects leave, none stays to pile up over fights.
void ClearFight(CGameResource& g) {
    g.ClearBossFight();
    const std::vector<SObjectKind>& bosses = g.kinds.objects[kBossSection];
    const auto ofBossKind = [&bosses](const SObjectKind* k) {
        return !std::less<>()(k, bosses.data()) && std::less<>()(k, bosses.data() + bosses.size());
    };
    for (const auto& o : g.objects) Check(!ofBossKind(o->kind));
}

// Boss id's fight as a stage event starts it, its intro played to the end in keyless frames
// of the play scene, where the talks end at once (a running cut-in is cut short first); at
// most frames of them, and answers the frames used.
int StartFight(CGameResource& g, int32_t id, int frames) {
    if (!g.player) return 0;
    ClearFight(g);  // the last fight's objects, as its defeat would have
    g.StartBossRecord(id);
    g.cutinScreen.zoom = 0;
    g.cutins.clear();
    int f = 0;
    for (; f < frames && g.boss.intro != 0 && !Crowded(g); ++f) {
        g.scene = Scene::kPlay;
        Frames(g, 1, 0);
    }
    g.scene = Scene::kPlay;
    return f;
}

// Every object drawn, with the gauge; drawing must leave the play generator where it was.
void DrawAll(CGameResource& g, FuzzInput& in) {
    static morna::test::RecordingSurface target(640, 480);
    target.ClearLog();
    tovarineGameSDK3rd::Math::CRand before = g.playRand;
    if (g.player) {
        g.player->facing = in.U8() & 128, g.player->pose = in.U8() % 24, g.player->poseTimer = in.I32();
        g.player->coolTimer = in.U8();
        g.player->Draw(&target);
        g.player->DrawBarrierGauge(&target, in.I32(), in.I32(), g.player.GetNoCheck(), in.U8() & 1, in.U8() & 1);
    }
    for (const auto& b : g.barriers) {
        if (b) b->Draw(&target);
    }
    for (const auto& o : g.objects) {
        o->fadeCounter = in.Raw<int16_t>(), o->fadeLength = in.Raw<int16_t>(), o->turn = in.U8();
        o->pose = in.U8() % 32, o->poseTimer = in.I32(), o->phase = in.I32() % 8;
        o->Draw(&target);
    }
    for (auto* list : {&g.backEffects, &g.effects, &g.landEffects, &g.cutins, &g.frontEffects}) {
        for (const auto& e : *list) e->Draw(&target);
    }
    tovarineGameSDK3rd::Math::CRand after = g.playRand;
    Check(before.Get() == after.Get());
}

// A boss animation table from the bytes, the fight's fields and containers on the boss objects
// spawned so far, then the part layout and the helpers.
void FightFrame(FuzzInput& in, CGameResource& g) {
    g.bossAnimations.resize(in.U8() % 10);  // boss 0 walks, swings and falls by its blocks 1 to 8
    for (SBossBlock& b : g.bossAnimations) {
        b.value1 = in.I32(), b.value2 = in.I32(), b.totalTime = in.U8();
        b.partOn.assign(in.U8() % 6, in.U8() & 1);
        b.steps.resize(in.U8() % 10);
        for (SBossStep& s : b.steps) {
            s.x = in.I32(), s.endTime = in.I32();
            s.partValues.resize(in.U8() % 6);
            for (auto& [px, py] : s.partValues) px = in.U8() & 1 ? -1 : in.I32(), py = in.I32();
        }
    }
    SBossFight& f = g.boss;
    f.bossId = kBossIds[in.U8() % kBossIdCount], f.animation = in.U8() % 5, f.animationFrame = in.I32();
    f.tilt = in.Raw<uint16_t>();
    f.heightSegment = in.U8() % 4, f.heldPart = in.U8() % 6, f.snappedPart = in.U8() % 6, f.cooldown = in.U8() % 2;
    f.flinchCountdown = in.U8() % 3, f.hp = in.Raw<int16_t>(), f.damageScale = in.U8() % 2, f.enraged = in.U8() & 1;
    g.formation.coils = in.U8() % 20, g.formation.extension = in.Real();
    g.formation.trail.resize(in.U8());
    g.FillBossTrail(in.Raw<int16_t>(), in.Raw<int16_t>(), in.U8());
    const auto pick = [&]() {
        return g.bossObjects.empty() ? CGameResource::ObjectPtr() : g.bossObjects[in.U8() % g.bossObjects.size()];
    };
    for (auto* v : {&g.formation.afterimageParts, &g.formation.segments}) {
        v->clear();
        for (int n = in.U8() % 4; n > 0; --n) v->push_back(pick());
    }
    g.formation.specialPart = pick();
    g.UpdateBossChain(in.U8() & 1);
    g.SnapPartsToBody(), g.KeepBossOnScreen(), g.SetBossAnimation(in.U8());
    if (g.player) {  // the hero is there whenever a game runs
        int32_t x = 0, y = 0;
        g.PlaceHeldPart(), g.GetEvadePoint(&x, &y, in.Raw<int16_t>());
        // A frame of the barrier or of a skill against what the field holds.
        SPlayerStatus& s = g.status;
        s.barrierEnergy = in.Raw<int16_t>(), s.energyTimer = in.U8() % 2, s.barrierTimer = in.U8() % 3;
        switch (in.U8() % 4) {
            case 0: g.StartBarrier(); break;
            case 1: g.UpdateBarrierEnergy(); break;
            case 2: g.SkillBlast(); break;
            default:
                g.status.finisherCounter = 1 + in.U8() % 150;
                g.SkillFinisher();
                break;
        }
    }
    if (in.U8() % 8 == 0) ClearFight(g);
}

}  // namespace

extern "C" uint64_t MornaFuzzEndState() { return lastEndState; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    SKindTables kinds;
    ReadKinds(in, kinds);
    // A play state of its own for each input, built as the game builds it, so that nothing an
    // input leaves (the generators, the scene, the stage progress, the boss animations) shapes
    // the next one and a finding reproduces from its file alone. It goes with the input: one
    // kept in a static would be destroyed at the process's exit after statics its destructor uses.
    const std::unique_ptr<CGameResource> game = MakeFuzzPlayState(kinds);
    CGameResource& g = *game;
    g.progress.scrollX = in.Raw<int16_t>() * 4;
    g.verticalScrollRange = in.U8() * 4;
    g.screenFx.shakeX = in.U8() % 16, g.screenFx.shakeY = in.U8() % 16;

    CObjectBase* last = nullptr;  // the object the set-up steps act on, while it is listed
    const auto spawned = [&last](CObjectBase* o) {
        if (o != nullptr) last = o;
    };
    int budget = 2000;  // frames
    while (!in.Done()) {
        const int32_t index = in.U8() % 8, x = in.Raw<int16_t>() + 320, y = in.Raw<int16_t>() / 8 + 240;
        const int32_t delay = in.U8() % 3;
        switch (in.U8() % 23) {
            case 0: spawned(g.CreateEnemy(index, x, y, delay)); break;
            case 1: spawned(g.CreateEnemyShadow(index, x, y, delay)); break;
            case 2: spawned(g.CreateCrystal(x, y)); break;
            case 3: spawned(g.CreateItem(index, x, y)); break;
            case 4: spawned(g.CreateShot(index, x, y, delay)); break;
            case 5: spawned(g.CreateShotShadow(index, x, y)); break;
            case 6: spawned(g.CreateReflect(last != nullptr ? last->kind : nullptr, x, y)); break;
            case 7: spawned(index & 1 ? g.CreateBlock(index, x, y, delay) : g.CreateBlockByName(kNames[index % 4], x, y, delay)); break;
            case 8: spawned(g.CreateBlockShadow(index, x, y)); break;
            case 9: spawned(g.CreateLand(index, x, y)); break;
            case 10:
                if (CObjectJelly* j = g.CreateJelly(x, y)) {
                    j->SetSize(in.U8() % 9, in.U8() % 9);
                    if (!j->cells.empty()) j->cells[2 * (in.U8() % (j->cells.size() / 2))] = CObjectJelly::kEaten;
                    j->eatenScore = in.Raw<uint16_t>();
                    j->UpdateNeighbours();
                    spawned(j);
                }
                break;
            case 11: spawned(index & 1 ? g.CreateBoss(index, x, y, true) : g.CreateBossParts(index, x, y, false)); break;
            case 12: {
                const int32_t lifetime = in.Raw<int16_t>();
                const double ex = in.Real(), ey = in.Real();
                // A row, a picture, a count or a turn, by the form: the game's values stay below
                // 4096, a land effect's (the rows of a pile, drawn in their square) below 10;
                // here below 16.
                const int32_t value = in.Raw<int16_t>() / 8, rows = value % 16;
                const auto valued = [](CObjectEffect* e, int32_t v) {
                    if (e != nullptr) e->effectReserved = static_cast<uint32_t>(v);
                };
                valued(g.CreateEffect(index, lifetime, ex, ey), value);
                valued(g.CreateBackEffect(index, lifetime, ex, ey), value);
                g.CreateScoreNumber(ex, ey), valued(g.CreateCutin(index, x, y, lifetime, in.U8()), value);
                g.CreateFont(lifetime, ex, ey);
                valued(g.CreateEffectLandByName(kNames[index % 4], lifetime, ex, ey), rows);
                valued(g.CreateEffectLandShadow(index, lifetime, ex, ey), rows);
                valued(g.CreateFrontEffect(index, lifetime, ex, ey), value);
                break;
            }
            case 13:
                if (last != nullptr) {
                    ObjectMotion& m = last->motion;
                    m.vx = in.Real(), m.vy = in.Real(), m.accelAngle = in.U8(), m.accel = in.Real();
                    m.speedLimit = in.Real(), m.frictionX = in.Real(), m.frictionY = in.Real();
                    last->jitter = in.U8() & 1, last->state = in.U8() % 6;
                    last->phase = in.Raw<int16_t>(), last->pose = in.U8() % 12, last->wait = in.U8();
                    if (auto* s = dynamic_cast<IObjectShadow*>(last)) s->trailLength = in.U8() % 12;
                }
                break;
            case 14:
                if (last != nullptr) {
                    last->MoveToward(in.U8() & 1, in.Real(), in.Real(), in.Real(), x + in.Real(), y + in.Real());
                }
                break;
            case 15:
                if (last != nullptr) {
                    last->motion.TurnToward(in.U8(), in.U8());
                    last->motion.Rotate(in.U8());
                    last->motion.SetFrictionByAngle(in.U8(), in.Real());
                    if (g.player) last->SetCourse(*g.player, in.Real(), in.Real(), in.Real());
                    last->SetVelocityFromPosition(in.Real());
                }
                break;
            case 16:
                FightFrame(in, g);
                last = nullptr;  // clearing the fight may have taken it off its list
                break;
            case 17: {  // a boss fight, a scene, the barrier's state
                g.boss.bossId = kBossIds[in.U8() % kBossIdCount];
                g.boss.intro = in.U8() & 1;
                g.boss.hp = in.I32() % 20000, g.boss.partnerCounter = in.U8() - 128;
                g.boss.secondMeter = in.I32() % 20000, g.boss.gauge = in.I32() % 20000;
                g.boss.actions.assign(in.U8() % 3, in.U8() % 8);
                g.boss.step = in.U8() % 110, g.boss.lastStep = in.U8() % 110, g.boss.floorLimit = in.Raw<int16_t>();
                g.boss.skillHit = in.U8() & 1;
                g.formation.trail.resize(in.U8() % 90);
                g.progress.stage = in.U8() % 5 - 1;
                g.progress.scrollSpeed = in.Real();
                g.progress.subStep = in.U8() & 1;
                g.scene = static_cast<Scene>(in.U8() % 10);
                g.status.barrierUp = in.U8() & 1, g.status.magicTimer = in.U8() % 3;
                for (auto& b : g.barriers) {
                    if (!b) continue;
                    b->hp = in.Raw<int16_t>(), b->hitCount = in.U8();
                    b->burstQueue.assign(in.U8() % 4, {in.U8(), static_cast<uint8_t>(in.U8() % 64)});
                }
                if (g.player) g.player->hp = in.Raw<int16_t>();
                break;
            }
            case 18: PlayStateOps(in, g, last, index, x, y); break;
            case 19:  // an enemy's spawner fields and its damage (the difficulty is the stage's)
                if (auto* e = dynamic_cast<CObjectEnemy*>(last)) {
                    e->phase = in.Raw<int8_t>(), e->facing = in.U8(), e->hp = in.Raw<int16_t>();
                    e->step = in.Raw<uint16_t>(), e->wait = in.U8() % 4;
                }
                break;
            case 20:
                DrawAll(g, in);
                break;
            case 21: {
                const int32_t id = kBossIds[1 + in.U8() % (kBossIdCount - 1)];
                budget -= StartFight(g, id, std::min(budget, 1200));
                last = nullptr;  // the last fight's objects are gone
                break;
            }
            default: {
                const int frames = std::min<int>(in.U8() % 64, budget);
                budget -= frames;
                Frames(g, frames, in.Raw<uint16_t>());
                bool any = false, all = false;
                g.CheckBlockGroup(any, all);
                if (in.U8() % 4 == 0) g.ResetBlockGroup();
                if (in.U8() % 4 == 0) g.boss.actions.push_front(1);  // the terrain that gives way
                last = nullptr;  // it may have left its list
                break;
            }
        }
    }
    // The last frames run whole (no cut-in freeze, no key to end them early). An object may be
    // left marked to leave: contact that comes after a frame's walk marks it for the next walk.
    g.cutinScreen.zoom = 0;
    g.cutins.clear();
    Frames(g, std::min(budget, 60), 0);
    Frames(g, 1, 0, false);
    DrawAll(g, in);
    for (const auto& o : g.objects) {
        if (auto* s = dynamic_cast<IObjectShadow*>(o.GetNoCheck())) {
            Check(s->trail.size() <= s->trailLength && s->trailScreen.size() == s->trail.size());
        }
    }
    lastEndState = FieldHash(g);
    return 0;
}

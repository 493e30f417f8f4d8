// The gameplay state of a play state as named raw bytes, and its 64-bit hash: what a replay
// must reproduce. Player status, the live stage progress, the scene, the boss record, the hero,
// the barriers and every object of the object list and the pending list in order. Effects,
// alphas, animation counters and screen positions only shape looks and are left out; doubles
// go in as their raw bits.
//
//   uint64_t h = morna::e2e::GameplayHash(game);              // fast: no names are built
//   std::vector<morna::e2e::Field> f = morna::e2e::GameplayFields(game);
//   std::string where = morna::e2e::FirstDifference(a, b);    // "objects[3].x", or ""
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "game/play/game_resource.h"
#include "tests/game/e2e/e2e_ids.h"

namespace morna::e2e {

struct Field {
    std::string name;
    std::vector<uint8_t> bytes;
};

// FNV-1a over the fields' bytes in order; the names are not built.
class HashSink {
public:
    void Group(const char*, int = -1) {}
    template <class T>
    void Put(const char*, const T& v) {
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        for (size_t i = 0; i < sizeof v; ++i) hash_ = (hash_ ^ p[i]) * 0x100000001B3ull;
    }
    uint64_t Hash() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

// Every field with its name ("boss.hp", "objects[12].x").
class FieldSink {
public:
    void Group(const char* name, int index = -1) {
        prefix_ = name;
        if (index >= 0) prefix_ += "[" + std::to_string(index) + "]";
        prefix_ += ".";
    }
    template <class T>
    void Put(const char* name, const T& v) {
        const auto* p = reinterpret_cast<const uint8_t*>(&v);
        fields.push_back({prefix_ + name, std::vector<uint8_t>(p, p + sizeof v)});
    }
    std::vector<Field> fields;

private:
    std::string prefix_;
};

template <class Sink>
void WalkObject(Sink& s, const CObjectBase& o) {
    s.Put("type", o.GetType());
    s.Put("kind", o.kind->index);
    s.Put("state", o.state);
    s.Put("x", o.x);
    s.Put("y", o.y);
    s.Put("vx", o.motion.vx);
    s.Put("vy", o.motion.vy);
    s.Put("hp", o.hp);
    s.Put("step", o.step);
    s.Put("wait", o.wait);
    s.Put("phase", o.phase);
    s.Put("pose", o.pose);
    s.Put("poseTimer", o.poseTimer);
    if (const auto* a = dynamic_cast<const CObjectAvatar*>(&o)) s.Put("facing", a->facing);
    if (const auto* e = dynamic_cast<const CObjectEnemy*>(&o)) {
        s.Put("facing", e->facing);
        s.Put("travelTimer", e->travelTimer);
        s.Put("targetX", e->targetX);
        s.Put("targetY", e->targetY);
        s.Put("moving", e->moving);
        s.Put("stopAtEnd", e->stopAtEnd);
        s.Put("travelSpeed", e->travelSpeed);
        s.Put("travelAccel", e->travelAccel);
        s.Put("travelLimit", e->travelLimit);
    }
}

template <class Sink>
void WalkGameplay(Sink& s, const CGameResource& g) {
    const SPlayerStatus& st = g.status;
    s.Group("status");
    s.Put("hp", st.hp), s.Put("maxHp", st.maxHp), s.Put("barrierEnergy", st.barrierEnergy);
    s.Put("maxBarrierEnergy", st.maxBarrierEnergy), s.Put("gauge", st.gauge), s.Put("gaugeMax", st.gaugeMax);
    s.Put("bonusCounters", st.bonusCounters), s.Put("speedUpTimer", st.speedUpTimer);
    s.Put("magicTimer", st.magicTimer), s.Put("energyTimer", st.energyTimer), s.Put("score", st.score);
    s.Put("barrierUp", st.barrierUp), s.Put("magicRequest", st.magicRequest), s.Put("barrierTimer", st.barrierTimer);
    s.Put("overload", st.overload), s.Put("hardOverload", st.hardOverload), s.Put("skillRunning", st.skillRunning);
    s.Put("finisherCounter", st.finisherCounter), s.Put("regenerating", st.regenerating);

    const SStageProgress& p = g.progress;
    s.Group("progress");
    s.Put("stage", p.stage), s.Put("scrollX", p.scrollX), s.Put("scrollY", p.scrollY), s.Put("eventStep", p.eventStep);
    s.Put("dropCounter", p.dropCounter), s.Put("itemLevel1", p.itemLevel1), s.Put("itemLevel2", p.itemLevel2);
    s.Put("vertical", p.vertical), s.Put("scrollSpeed", p.scrollSpeed), s.Put("targetSpeed", p.targetSpeed);
    s.Put("nextColumn", p.nextColumn), s.Put("backgroundOpacity", p.backgroundOpacity);
    s.Put("backgroundSpeed", p.backgroundSpeed), s.Put("scoreCarry", p.scoreCarry), s.Put("invincible", p.invincible);

    s.Group("game");
    // A talk holds the world and a replay skips it: it counts as the scene it goes on to.
    s.Put("scene", g.scene == Scene::kTalk ? (g.talkState.resume != 0 ? Scene::kScriptedWait : Scene::kPlay) : g.scene);
    s.Put("timeLimit", g.timeLimit);
    s.Put("gravity", g.gravity);

    const SBossFight& b = g.boss;
    s.Group("boss");
    s.Put("intro", b.intro), s.Put("bossId", b.bossId), s.Put("hp", b.hp), s.Put("maxHp", b.maxHp);
    s.Put("gauge", b.gauge), s.Put("gaugeCap", b.gaugeCap), s.Put("secondMeter", b.secondMeter);
    s.Put("damageScale", b.damageScale), s.Put("powerUpCountdown", b.powerUpCountdown), s.Put("enraged", b.enraged);
    s.Put("partnerCounter", b.partnerCounter), s.Put("weaponOffset", b.weaponOffset), s.Put("step", b.step);
    s.Put("lastStep", b.lastStep), s.Put("waitFrames", b.waitFrames), s.Put("actionCounter", b.actionCounter);
    s.Put("cooldown", b.cooldown), s.Put("idleCountdown", b.idleCountdown), s.Put("flinchCountdown", b.flinchCountdown);
    s.Put("holdTimer", b.holdTimer), s.Put("phase", b.phase), s.Put("tilt", b.tilt), s.Put("skillHit", b.skillHit);
    s.Put("specialKill", b.specialKill), s.Put("workValue5", b.workValue5), s.Put("heightSegment", b.heightSegment);
    s.Put("floorLimit", b.floorLimit), s.Put("heldPart", b.heldPart), s.Put("snappedPart", b.snappedPart);
    s.Put("savedX", b.savedX), s.Put("savedY", b.savedY), s.Put("savedAngle", b.savedAngle);
    s.Put("actions", b.actions.size());
    int i = 0;
    for (int32_t a : b.actions) {
        s.Group("boss.actions", i++);
        s.Put("action", a);
    }

    s.Group("player");
    if (!g.player.isNull()) WalkObject(s, *g.player.GetNoCheck());
    for (int k = 0; k < 2; ++k) {
        s.Group("barriers", k);
        if (!g.barriers[k].isNull()) WalkObject(s, *g.barriers[k].GetNoCheck());
    }
    s.Group("lists");
    s.Put("objects", g.objects.size());
    s.Put("pending", g.pendingSpawns.size());
    i = 0;
    for (const auto& o : g.objects) {
        s.Group("objects", i++);
        if (!o.isNull()) WalkObject(s, *o.GetNoCheck());
    }
    i = 0;
    for (const SPendingSpawn& p : g.pendingSpawns) {
        s.Group("pending", i++);
        s.Put("delay", p.delay);
        if (!p.object.isNull()) WalkObject(s, *p.object.GetNoCheck());
    }
}

inline uint64_t GameplayHash(const CGameResource& g) {
    HashSink s;
    WalkGameplay(s, g);
    return s.Hash();
}

inline std::vector<Field> GameplayFields(const CGameResource& g) {
    FieldSink s;
    WalkGameplay(s, g);
    return std::move(s.fields);
}

// Where an effect's kind stands in the play state's tables: the effect, cut-in and text
// records counted on from one another; -1 for a kind of no table.
inline int64_t KindIndex(const CGameResource& g, const SEffectKind* k) {
    int64_t base = 0;
    for (const std::vector<SEffectKind>* t : {&g.kinds.effects, &g.kinds.cutins, &g.textKind}) {
        if (!t->empty() && k >= t->data() && k < t->data() + t->size()) return base + (k - t->data());
        base += static_cast<int64_t>(t->size());
    }
    return -1;
}

// The effect lists (type, kind, place, velocity, lifetime) in order.
template <class Sink>
void WalkEffects(Sink& s, const CGameResource& g) {
    const std::pair<const char*, const std::list<CGameResource::EffectPtr>*> lists[] = {
        {"effects", &g.effects}, {"backEffects", &g.backEffects}, {"landEffects", &g.landEffects},
        {"frontEffects", &g.frontEffects}, {"cutins", &g.cutins}};
    for (const auto& [name, list] : lists) {
        s.Group(name);
        s.Put("size", list->size());
        int i = 0;
        for (const auto& e : *list) {
            s.Group(name, i++);
            if (e.isNull()) continue;
            s.Put("type", e->GetType());
            s.Put("kind", KindIndex(g, e->kind));
            s.Put("x", e->x), s.Put("y", e->y), s.Put("vx", e->motion.vx), s.Put("vy", e->motion.vy);
            s.Put("lifetime", e->lifetime), s.Put("startDelay", e->startDelay);
        }
    }
}

inline uint64_t EffectHash(const CGameResource& g) {
    HashSink s;
    WalkEffects(s, g);
    return s.Hash();
}

inline std::vector<Field> EffectFields(const CGameResource& g) {
    FieldSink s;
    WalkEffects(s, g);
    return std::move(s.fields);
}

// The first field that differs in name or bytes ("" when none); a count that differs shows
// as the first field one side lacks.
inline std::string FirstDifference(const std::vector<Field>& a, const std::vector<Field>& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].name != b[i].name) return a[i].name + " / " + b[i].name;
        if (a[i].bytes != b[i].bytes) return a[i].name;
    }
    if (a.size() != b.size()) return a.size() > b.size() ? a[b.size()].name : b[a.size()].name;
    return "";
}

}  // namespace morna::e2e

// Boss 2's script: the phase and meter rule, the special move's programme against a shuffle
// of the same generator, the first programme as a timeline, the summons, the charge and the
// shield's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

struct Boss2Fight : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder k;
        for (int i = 0; i < 74; ++i) k.Object(1, ("enemy" + std::to_string(i)).c_str());
        for (int i = 0; i < 20; ++i) k.Object(3, ("block" + std::to_string(i)).c_str());
        for (int i = 1; i < 36; ++i) k.Effect(("effect" + std::to_string(i)).c_str());
        k.Object(6, "body").hitWidth = 40;
        SObjectKind& partner = k.Object(6, "partner");
        partner.life = 4000, partner.hitWidth = 20;
        k.Object(6, "hit box"), k.Object(6, "slam box");
        return k;
    }
    // Past the intro, 10000 HP down: the body at (400, 240), the hero at (200, 300).
    explicit Boss2Fight(int32_t phase = 0) : PlayFixture(Kinds()) {
        SBossFight& b = G().boss;
        b.bossId = 2, b.intro = 0, b.maxHp = 25000, b.hp = 15000, b.gaugeCap = 10000, b.phase = phase;
        body = G().CreateBoss(0, 400, 240, false);
        for (int32_t i = 1; i <= 3; ++i) G().CreateBossParts(i, 0, 0, true);
        b.heldPart = 1, b.snappedPart = 2;
        G().player->x = 200, G().player->y = 300;
    }
    CGameResource& G() { return *game; }
    void Frame() { G().UpdatePlayField(), Run(1); }
    CObjectBoss* body;
};

TEST(Boss2, PhaseAndTheSpecialsProgrammeFromAShuffleOfTheBossGenerator) {
    // action counter, HP lost, phase before -> phase (-1: nothing queued below 5000 HP lost)
    for (const auto& [counter, lost, before, phase] : {std::tuple{0, 5000, 0, -1}, {0, 5001, 2, 2}, {1, 20000, 0, 1},
                                                       {2, 9999, 0, 1}, {2, 10000, 0, 2}, {3, 15000, 0, 4}, {5, 10000, 0, 3}}) {
        Boss2Fight f(before);
        SBossFight& b = f.G().boss;
        std::tie(b.actionCounter, b.hp, b.secondMeter) = std::tuple(counter, 25000 - lost, 10000);
        f.G().bossRand.SetSeed(77 + counter);
        tovarineGameSDK3rd::Math::CRand same;
        same.SetSeed(77 + counter);
        f.G().RunBoss2(), f.G().RunBoss2();
        std::vector<int> ids = {18, 19, 21, 23};
        Shuffle(ids, same), ids.resize(phase >= 3 ? 4 : 3);
        std::vector<int32_t> expected = {7};
        for (const int id : ids) {  // from phase 2: 24 before 23, 20 after 19, 22 after 21; a rest after each
            for (const int a : {phase >= 2 && id == 23 ? 24 : -1, id, phase >= 2 && (id == 19 || id == 21) ? id + 1 : -1, 0}) {
                if (a >= 0) expected.push_back(a);
            }
        }
        expected.push_back(25);
        if (phase < 0) expected.clear();
        EXPECT_EQ(std::vector<int32_t>(b.actions.begin(), b.actions.end()), expected) << counter << " " << lost;
        // The meter gains (phase + 1) / 2 a frame, after the special emptied it.
        EXPECT_EQ(std::tuple(b.phase, b.secondMeter, f.G().cutinScreen.id, b.powerUpCountdown, b.actionCounter),
                  phase < 0 ? std::tuple(0, 10000, 0, 0, 0) : std::tuple(phase, (phase + 1) / 2, 11, 1, counter + 1));
    }
}

TEST(Boss2, FirstProgrammeTimeline) {
    Boss2Fight f;
    SBossFight& b = f.G().boss;
    b.secondMeter = 10000;
    std::vector<std::pair<int32_t, int>> fronts;  // (front action, first frame)
    for (int frame = 1; frame <= 1110; ++frame) {
        f.Frame();
        const int32_t front = b.actions.empty() ? -1 : b.actions.front();
        if (fronts.empty() || fronts.back().first != front) fronts.emplace_back(front, frame);
        // The shield taken at 408 wears off by 10 a frame; the partner leaves as two effects.
        EXPECT_EQ(std::tuple(b.partnerCounter == 0, f.G().effects.size()), std::tuple(frame < 408 || frame >= 808, frame < 808 ? 0u : 2u));
        EXPECT_TRUE(frame != 225 || (b.animation == 0 && f.body->motion.vx == 0));  // no charge while healing
    }
    EXPECT_EQ(fronts, (std::vector<std::pair<int32_t, int>>{
                          {7, 1}, {17, 3}, {0, 226}, {19, 377}, {0, 438}, {21, 589}, {0, 651}, {25, 802}, {-1, 1103}}));
    // Healed 50 a frame for 101 frames; 8 pushes and the programme's end fill the player's gauge.
    EXPECT_EQ(std::tuple(b.hp, f.G().status.gauge, b.powerUpCountdown, b.phase), std::tuple(20050, 5290, 0, 1));
}

TEST(Boss2, SummonsComeAtTheEdgesOfTheView) {
    // action, phase -> record, x, y, facing, phase, trail length, wait; the falling block (24) shows its pose as facing
    using Row = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>;
    for (const auto& [action, phase, row] :
         {std::tuple{18, 2, Row{68, 448, 240, 128, 1, 0, 60}}, {20, 3, {69, 608, 432, 128, 1, 6, 0}},
          {21, 4, {71, 32, 432, 0, 3, 0, 60}}, {22, 1, {70, 608, 240, 128, 1, 0, 200}},
          {23, 4, {73, 32, 300, 0, 1, 0, 200}}, {24, 2, {19, 200, -32, 1, 90, 0, 0}}}) {
        Boss2Fight f(phase);
        f.G().boss.actions = {action};
        f.G().RunBoss2(), f.G().RunBoss2();
        const CObjectBase& o = action == 24 ? *f.G().objects.back() : *f.G().pendingSpawns.back().object;
        const auto* e = dynamic_cast<const CObjectEnemyShadow*>(&o);
        EXPECT_EQ(Row(o.kind->index, TruncInt(o.x), TruncInt(o.y), action == 24 ? o.pose : static_cast<const CObjectEnemy&>(o).facing,
                      o.phase, e != nullptr ? e->trailLength : 0, f.G().boss.waitFrames), row) << action;
        EXPECT_EQ(f.G().landEffects.size(), action == 24 ? 0u : 2u);
    }
}

TEST(Boss2, ChargeBrakesWhenThePlayerSlipsAsideAndRecovers) {
    Boss2Fight f;
    SBossFight& b = f.G().boss;
    const auto stance = [&] { return std::tuple(f.G().bossObjects[2]->pose, f.G().bossObjects[3]->pose); };
    std::vector<std::tuple<int32_t, double, uint16_t>> states;  // (animation, acceleration, trail) as it changes
    for (int frame = 1; frame <= 120; ++frame) {
        if (frame == 40) {
            EXPECT_EQ(stance(), std::tuple(1, 0));  // slam stance
            f.G().player->x = 600;                  // behind the charge
        }
        f.Frame();
        if (!states.empty() && std::get<0>(states.back()) == b.animation) continue;
        states.emplace_back(b.animation, f.body->motion.accel, f.body->trailLength);
        if (states.size() == 4) {  // a recoil away, braked over 60 frames, in guard stance
            EXPECT_NEAR(f.body->motion.Speed(), 2.0 - 1.0 / 30, 1e-9);
            EXPECT_EQ(std::tuple(f.body->motion.vx < 0, b.idleCountdown, stance()), std::tuple(true, 30, std::tuple(0, 1)));
        }
    }
    EXPECT_EQ(states, (std::vector<std::tuple<int32_t, double, uint16_t>>{
                          {5, 0.1, 6}, {2, 0.0, 0}, {3, 0.0, 0}, {0, 0.0, 0}, {5, 0.1, 6}}));
}

TEST(Boss2, TheWornShieldThrowsABlockFromPhase2) {
    Boss2Fight f(2);
    std::tie(f.G().boss.partnerCounter, f.G().boss.waitFrames, f.body->hp) = std::tuple(50, 10, -45);
    f.G().UpdatePlayField();  // worn to 1 and gone in the same frame, from beside the body
    const CObjectBase& block = *f.G().objects.back();
    EXPECT_EQ(std::tuple(f.G().boss.partnerCounter, f.G().boss.hp, f.G().bossObjects[1]->x), std::tuple(0, 15000, 370.0));
    EXPECT_EQ(std::tuple(block.kind->index, block.x, block.y, block.pose, block.phase), std::tuple(18, 370.0, 260.0, 9, 128));
    EXPECT_EQ(f.TakeSoundIds(), (std::vector<int32_t>{112, 163}));
}

}  // namespace

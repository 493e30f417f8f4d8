// The score chain, items and their popups, shots, bursts and the position tests.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "framework/sine_table.h"
#include "tests/game/support/play_fixture.h"

namespace {

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

struct ScorePlay : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder k;
        for (int i = 1; i <= 38; ++i) k.Effect("e").cellWidth = 16;  // 6: the score digits
        for (int i = 0; i < 9; ++i) k.Object(4, "item").hitWidth = 8;
        for (int i = 0; i < 13; ++i) k.Object(2, "shot");
        k.Tables().objects[0][0].hitWidth = k.Tables().objects[0][0].hitHeight = 16;
        return k;
    }
    ScorePlay() : PlayFixture(Kinds()) {
        game->progress.scrollX = 1000;
        game->effects.clear();
    }
    std::vector<int32_t> Numbers() {
        std::vector<int32_t> values;
        for (const auto& e : game->effects) {
            if (e->GetType() == kTypeENumber) values.push_back(static_cast<CObjectENumber&>(*e).value);
        }
        game->effects.clear();
        return values;
    }
};

TEST(ScoreChain, KillsWithin8FramesPayAsOneChain) {
    ScorePlay play;
    CGameResource& g = *play.game;
    // Kills on frames 0, 3 and 5, one flush a frame: all paid on the 8th flush after the last.
    std::vector<std::tuple<int, std::vector<int32_t>>> paid;
    for (int f = 0; f < 20; ++f) {
        if (f == 0 || f == 3 || f == 5) g.QueueKillScore(100, 3, 1100, 200);
        g.FlushScoreQueue();
        if (std::vector<int32_t> n = play.Numbers(); !n.empty()) paid.emplace_back(f, n);
    }
    EXPECT_EQ(paid, (std::vector<std::tuple<int, std::vector<int32_t>>>{{12, {140, 140, 140}}}));
    EXPECT_EQ(std::tuple(g.status.score, g.scoreChain.popups[SScoreChain::kChainCount],
                         g.scoreChain.popups[SScoreChain::kChainPopup]),
              std::tuple(420, 2, 180 - 7));

    // A special kill in a chain of 2; a code-5 kill at once; a stage-scaled value.
    g.status.score = 0, g.progress.stage = 2;
    g.QueueKillScore(100, 4, 1100, 200), g.QueueKillScore(100, 3, 1100, 200);
    g.QueueKillScore(100, 5, 1100, 200);
    EXPECT_EQ(play.Numbers(), (std::vector<int32_t>{150}));
    for (int f = 0; f < 8; ++f) g.FlushScoreQueue();
    EXPECT_EQ(play.Numbers(), (std::vector<int32_t>{180, 120}));
    g.QueueKillScore(-30, 5, 1100, 200);  // 2 x 50 + 30, half again
    EXPECT_EQ(play.Numbers(), (std::vector<int32_t>{195}));
    EXPECT_EQ(std::tuple(g.scoreChain.popups[SScoreChain::kSpecialPopup],
                         g.scoreChain.popups[SScoreChain::kBonusPopup]),
              std::tuple(180, 180));
    g.status.score = 9999990;
    g.AddScore(2000000000, 0, 0);
    EXPECT_EQ(g.status.score, 9999999);
}

TEST(ScoreChain, PopupsSitAtTheScreenPointInsideTheScreen) {
    ScorePlay play;
    CGameResource& g = *play.game;
    g.AddScore(12345, 1010, 200);  // five 16-pixel digits at screen x 10: moved to 40
    g.AddScore(0, 1010, 200);       // nothing
    ASSERT_EQ(g.effects.size(), 1u);
    const auto& n = static_cast<CObjectENumber&>(*g.effects.front());
    EXPECT_EQ(std::tuple(n.x, n.y, n.fadeCounter, n.fadeLength, n.fadeDelay), std::tuple(40.0, 200.0, 32, 32, 16));
    CObjectENumber zero(&g.kinds.effects[6]);
    zero.x = 0;
    zero.KeepOnScreen();  // one digit
    EXPECT_EQ(zero.x, 8);
}

TEST(ScoreChain, BossBonusPaysOvertimeAndTheHpLeftIn64Bits) {
    ScorePlay play;
    CGameResource& g = *play.game;
    g.kinds.objects[6].emplace_back().score = 200000;
    g.CreateBoss(0, 1200, 200, false);
    g.status.score = 0, g.status.hp = 13000, g.fightStartHp = 13000, g.timeLimit = 600;
    g.AddBossBonus();  // 100,000 and 100,000
    EXPECT_EQ(std::tuple(g.status.score, g.scoreChain.popups[SScoreChain::kTimeBonusValue],
                         g.scoreChain.popups[SScoreChain::kLifeBonusValue]),
              std::tuple(200000, 100000, 100000));
    g.status.score = 0, g.status.hp = 6500, g.timeLimit = -30000;  // overtime: 100,000 - 150,000
    g.scoreChain.popups[SScoreChain::kTimeBonusPopup] = 0;
    g.AddBossBonus();
    EXPECT_EQ(std::tuple(g.status.score, g.scoreChain.popups[SScoreChain::kTimeBonusPopup]), std::tuple(50000, 0));
}

TEST(Items, EachKindsEffectAndPopup) {
    const struct {
        uint8_t kind;
        int32_t hp, maxHp, energy, energyTimer, speedUp, gauge;
        uint8_t magic, level1, level2;
        const char* text;
        uint32_t colour;
    } rows[] = {
        {0, 8500, 10000, 4000, 500, 0, 5000, 0, 0, 0, "HP+", 0xA0FFA0},
        {1, 6000, 10000, 4000, 500, 0, 5000, 1, 0, 0, "MAGIC+", 0x80C0FF},
        {2, 6000, 10000, 4000, 500, 1500, 5000, 0, 0, 0, "SPEED+", 0x80C0FF},
        {3, 6000, 10000, 10000, 1500, 0, 5000, 0, 0, 0, "MP++", 0x80C0FF},
        {4, 10000, 10000, 10000, 1250, 0, 5000, 0, 0, 0, "HP++ MP+", 0xA0FFA0},
        {5, 6000, 10000, 10000, 1250, 0, 10000, 0, 0, 0, "TP+ MP+", 0xA0FFA0},
        {6, 6000, 10000, 4000, 500, 0, 5000, 0, 0, 0, nullptr, 0},
        {7, 9000, 13000, 4000, 500, 0, 5000, 0, 1, 0, "MaxHP+", 0x80C0FF},
        {8, 6000, 10000, 4000, 500, 0, 5000, 0, 0, 1, "MaxMP+", 0x80C0FF},
    };
    for (const auto& r : rows) {
        ScorePlay play;
        CGameResource& g = *play.game;
        SPlayerStatus& s = g.status;
        s.hp = 6000, s.barrierEnergy = 4000, s.energyTimer = 500;
        g.player->x = 1100, g.player->y = r.kind == 1 ? 40 : 300;
        g.ApplyItem(r.kind);
        EXPECT_EQ(std::tuple(s.hp, s.maxHp, s.barrierEnergy, s.energyTimer, s.speedUpTimer, s.gauge, s.magicRequest,
                             g.progress.itemLevel1, g.progress.itemLevel2),
                  std::tuple(r.hp, r.maxHp, r.energy, r.energyTimer, r.speedUp, r.gauge, r.magic, r.level1, r.level2))
            << int(r.kind);
        EXPECT_EQ(play.TakeSoundIds().back(), 109);
        const CObjectFont* popup = nullptr;
        for (const auto& e : g.effects) {
            if (e->GetType() == kTypeFont) popup = static_cast<CObjectFont*>(e.GetNoCheck());
        }
        ASSERT_EQ(popup != nullptr, r.text != nullptr) << int(r.kind);
        if (popup == nullptr) continue;
        const tovarineGameSDK3rd::Draw::CFont& font = *const_cast<CObjectFont*>(popup)->textPlane.GetFont();
        EXPECT_EQ(std::tuple(font.GetText().c_str(), font.GetColor(), popup->x, popup->motion.vy, popup->fadeDelay),
                  std::tuple(std::string(r.text), r.colour, 100.0 - 7 * std::strlen(r.text), r.kind == 1 ? 0.5 : -0.5,
                             int16_t{60}));
    }
}

TEST(Items, DropListThrowsAndTheSecondMaxHpIsPlain) {
    ScorePlay play;
    CGameResource& g = *play.game;
    g.progress.dropCounter = 60;
    std::vector<int> kinds;
    for (int i = 0; i < 24; ++i) g.SpawnNextItem(1100, 40);
    for (const auto& o : g.objects) kinds.push_back(o->kind->index);
    EXPECT_EQ(kinds, (std::vector<int>{2, 1, 0, 6, 3, 1, 2, 0, 6, 1, 0, 3, 2, 6, 0, 2, 3, 1, 6, 0, 2, 1, 6, 2}));
    EXPECT_EQ(g.progress.dropCounter, 60 - 24 * 50);
    const CObjectBase& item = *g.objects.front();  // y 40: angle 8 - 32
    EXPECT_EQ(std::tuple(item.motion.vx, item.motion.vy), std::tuple(CosOf(232) * 3.0, SinOf(232) * 3.0));
    g.progress.itemLevel1 = 1;
    g.SpawnItem(1100, 40, 7);
    g.SpawnItem(1100, 40, 8);
    const auto& last2 = *std::prev(g.objects.end(), 2);
    EXPECT_EQ(std::tuple(int(last2->kind->index), int(g.objects.back()->kind->index)), std::tuple(6, 8));
}

TEST(Shots, FiredOnlyInTheViewWithTheirSounds) {
    ScorePlay play;
    CGameResource& g = *play.game;
    g.FireShots(4, 999, 200, 0, 0, 3.0);  // left of the view
    g.FireShots(4, 1100, 480, 0, 0, 3.0);  // below it
    EXPECT_TRUE(g.objects.empty());
    EXPECT_TRUE(play.TakeSoundIds().empty());
    for (int kind = 3; kind <= 12; ++kind) g.FireShots(kind, 1100, 200, 64, kind == 12 ? 2 : 0, 3.0);
    EXPECT_EQ(play.TakeSoundIds(), (std::vector<int32_t>{200, 200, 201, 201, 202, 203, 58, 58}));
    EXPECT_EQ(g.objects.back()->motion.vy, 3.0);
    EXPECT_EQ(dynamic_cast<IObjectShadow&>(*g.objects.back()).trailLength, 4);
    g.FireAimedShot(0, 1100, 200, 2.0);
    EXPECT_NEAR(g.objects.back()->motion.Speed(), 2.0, 1e-6);
}

TEST(Bursts, SixteenSparklesTwoDrawsEachHeightFirst) {
    ScorePlay play;
    CGameResource& g = *play.game;
    tovarineGameSDK3rd::Math::CRand twin = g.playRand;
    g.SpawnBurst(40, 20, 1100, 200);  // screen (100, 200)
    ASSERT_EQ(g.effects.size(), 16u);
    int i = 0;
    for (const auto& e : g.effects) {
        const int32_t ry = static_cast<int32_t>(twin.Get() % 20), rx = static_cast<int32_t>(twin.Get() % 40);
        EXPECT_EQ(std::tuple(e->kind, e->startDelay, e->x, e->y),
                  std::tuple(&g.kinds.effects[37 + i % 2], 2 * i, 100.0 + rx - 20, 200.0 + ry - 10));
        ++i;
    }
    EXPECT_EQ(play.TakeSoundIds(), (std::vector<int32_t>{115}));
    g.SpawnBurst(0, 0, 1100, 200);  // no draws
    EXPECT_EQ(g.playRand.Get(), twin.Get());
}

TEST(Queries, PositionChanceWithAndWithoutABoss) {
    ScorePlay play;
    CGameResource& g = *play.game;
    g.player->x = 1310.7, g.player->y = 241;
    EXPECT_EQ(g.PositionRandom(1000), (3u * 1310 + 7 * 241) % 1000);
    EXPECT_TRUE(g.PositionChance(18));  // 5617 mod 100 = 17
    EXPECT_FALSE(g.PositionChance(17));
    g.kinds.objects[6].emplace_back();
    g.CreateBoss(0, -70000, 90000, false);  // px by + py bx wraps in 32 bits
    EXPECT_EQ(g.PositionRandom(1u << 31), (1310u * 90000u + 241u * static_cast<uint32_t>(-70000)) % (1u << 31));
    EXPECT_EQ(g.PositionRandom(0), 0u);
}

}  // namespace

// The field objects' behaviours (blocks, shots, crystal, reflector, terrain, boss parts) as
// worked timelines, and the block-group scans.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

// Block section records 0..n-1 (the kind number is the record's index), enemies 0..n-1.
KindTableBuilder FieldKinds(int blocks = 40, int enemies = 80) {
    KindTableBuilder kinds;
    for (int i = 0; i < blocks; ++i) kinds.Object(3, i == 0 ? "ポロちゃん岩" : "block");
    for (int i = 0; i < enemies; ++i) kinds.Object(1, "enemy");
    return kinds;
}

TEST(BlockGroup, ScansAndReset) {
    PlayFixture play(FieldKinds());
    CGameResource& g = *play.game;
    bool any = true, all = false;
    CObjectBlock* other = g.CreateBlock(12, 0, 0, 0);
    other->phase = 1;
    g.CheckBlockGroup(any, all);
    EXPECT_EQ(std::tuple(any, all, other->phase), std::tuple(false, true, 1));

    CObjectBlock* a = g.CreateBlock(13, 0, 0, 0);
    CObjectBlock* b = g.CreateBlock(13, 0, 0, 0);
    CObjectEnemy* e13 = g.CreateEnemy(13, 0, 0, 0);  // an enemy of kind 13 is not in the group
    a->phase = 2, b->phase = 1;
    g.CheckBlockGroup(any, all);
    EXPECT_EQ(std::tuple(any, all, a->phase, b->phase), std::tuple(true, false, 2, 1));
    b->phase = 5;
    g.CheckBlockGroup(any, all);
    EXPECT_EQ(std::tuple(any, all, a->phase, b->phase, e13->phase), std::tuple(true, true, 3, 3, 0));

    CObjectBlock* spark = g.CreateBlock(17, 0, 0, 0);
    CObjectEnemy* e71 = g.CreateEnemy(71, 0, 0, 0);
    CObjectEnemy* e72 = g.CreateEnemy(72, 0, 0, 0);
    CObjectEnemy* e17 = g.CreateEnemy(17, 0, 0, 0);
    g.ResetBlockGroup();
    EXPECT_EQ(std::tuple(a->phase, b->phase, other->phase), std::tuple(0, 0, 1));
    EXPECT_EQ(std::tuple(spark->state, e71->state, e72->state, e17->state, other->state),
              std::tuple(kStateVanish, kStateVanish, kStateVanish, kStateAlive, kStateAlive));
}

}  // namespace

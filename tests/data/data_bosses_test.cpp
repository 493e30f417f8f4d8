// Every boss and mid-boss can be worn down by the barrier alone: each fight is built by the
// game's own intro on the data set's kind tables, and at least one of its parts is one that the
// barrier's contact rule wears down rather than meets as a block. A part is judged in a pose it
// can be touched in: its poses come from its script, what the rule asks of its kind from the data.
#include <algorithm>
#include <map>
#include <string>

#include "tests/data/data_set.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::DataSet;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

struct Fight {
    bool worn = false;  // one of its parts is worn down by the barrier
    std::string rows;   // its parts' rows of data.txt section 6
};

// The fights that the intros build on these kinds, by boss id.
std::map<int32_t, Fight> Fights(const SKindTables& tables) {
    KindTableBuilder kinds;
    kinds.Tables() = tables;
    std::map<int32_t, Fight> fights;
    for (int32_t id = 0; id < 32; ++id) {  // an id without a fight of its own builds nothing
        PlayFixture play(kinds);
        CGameResource& g = *play.game;
        g.StartBossRecord(id);
        // The intro with its waits and walks cut short.
        for (int step = 0; step < 100; ++step) {
            g.boss.waitFrames = 0;
            g.move.targetX = -1;
            if (g.BeginBossFight()) break;
        }
        if (g.bossObjects.empty()) continue;
        Fight& f = fights[id];
        for (const CGameResource::ObjectPtr& o : g.bossObjects) {
            o->pose = 0;
            f.worn = f.worn || CObjectBarrier::WearsDown(*o);
            f.rows += " " + std::to_string(o->kind->index);
        }
    }
    return fights;
}

TEST(DataBosses, EveryFightHasAPartTheBarrierWearsDown) {
    const std::map<int32_t, Fight> fights = Fights(DataSet::Get().kinds);
    std::vector<int32_t> ids;
    for (const auto& [id, f] : fights) {
        ids.push_back(id);
        EXPECT_TRUE(f.worn) << "boss " << id << ", data.txt section 6 rows" << f.rows;
    }
    // The four stage bosses and the two mid-bosses that the stage events announce.
    EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2, 3, 12, 14}));

    // With every part a heavy undying kind that hurts on contact, none is.
    SKindTables heavy = DataSet::Get().kinds;
    for (SObjectKind& k : heavy.objects[6]) k.mass = 10, k.power = std::max<int16_t>(k.power, 1);
    for (const auto& [id, f] : Fights(heavy)) EXPECT_FALSE(f.worn) << "boss " << id;
}

}  // namespace

// The object passes: how finely moves are cut, who is tested against whom, the floor limit,
// the scroll's carry and the front effects that follow the boss.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

// Objects that log every collision test and push-out they are asked for.
std::vector<std::string>* gLog = nullptr;

struct Named {
    virtual ~Named() = default;
    std::string name;
    bool brakes = false;  // a contact makes it brake
};

template <class Base>
struct Probe : Base, Named {
    Probe(const SObjectKind* kind, const char* n) : Base(kind) { name = n; }
    bool Collide(CObjectBase* other) override {
        gLog->push_back(name + ">" + dynamic_cast<Named*>(other)->name);
        if (brakes) this->SetBrake(1);
        return false;
    }
    void PushOut(double distance, uint8_t direction, bool) override {
        gLog->push_back(name + " up " + std::to_string(distance) + " " + std::to_string(direction));
    }
};

struct Passes : PlayFixture {
    static KindTableBuilder Kinds() {
        KindTableBuilder kinds;
        kinds.Object(1, "enemy");
        kinds.Object(1, "drifter");  // index 1: carried by the scroll
        kinds.Object(4, "item");
        SObjectKind& floor = kinds.Object(6, "undying");
        floor.undying = 1, floor.hitHeight = 20;
        return kinds;
    }
    Passes() : PlayFixture(Kinds()) {
        gLog = &log;
        game->move.targetX = -1;
        hero = new Probe<CObjectAvatar>(&game->kinds.objects[0][0], "hero");  // it only ever tests others
        game->player = hero;
        game->player->x = 320, game->player->y = 240;
    }
    ~Passes() { gLog = nullptr; }
    template <class T>
    T* Add(int section, int index, const char* name, double x, double vx) {
        T* o = new Probe<T>(&game->kinds.objects[section][index], name);
        game->objects.push_back(CGameResource::ObjectPtr(o));
        o->x = x, o->y = 240, o->motion.vx = vx;
        return o;
    }
    std::vector<std::string> log;
    Probe<CObjectAvatar>* hero;
};

TEST(ObjectPasses, SubStepsFollowTheFastestBody) {
    for (const auto& [speed, steps] : {std::pair{8.0, 1}, {9.0, 2}, {16.0, 3}, {40.0, 6}}) {
        Passes p;
        p.Add<CObjectEnemy>(1, 0, "shot", 100, speed);
        p.Add<CObjectItem>(4, 0, "still", 900, 0);
        p.game->UpdateObjectLists();
        EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "shot>still"), steps) << speed;
        EXPECT_NEAR(p.game->objects.front()->x, 100 + speed, 1e-9);  // v / n added n times
    }
}

TEST(ObjectPasses, NoTestWithinATypeAndTheHeroOnlyAsFirstParty) {
    Passes p;
    p.Add<CObjectEnemy>(1, 0, "e1", 100, 1);
    p.Add<CObjectEnemy>(1, 0, "e2", 200, 1);
    p.Add<CObjectItem>(4, 0, "item", 300, 1);
    CObjectEnemy* removed = p.Add<CObjectEnemy>(1, 0, "gone", 400, 1);
    removed->state = kStateRemove;  // neither moved nor tested, but still met as the other party
    p.game->UpdateObjectLists();
    const std::vector<std::string> expected = {"e1>item", "e2>item", "item>e1", "item>e2", "item>gone",
                                               "hero>e1", "hero>e2", "hero>item", "hero>gone"};
    EXPECT_EQ(p.log, expected);
    EXPECT_EQ(removed->x, 400);
}

TEST(ObjectPasses, FloorLimitPushesUndyingBodiesUp) {
    Passes p;
    p.game->boss.floorLimit = 400;
    p.Add<CObjectBoss>(6, 0, "boss", 100, 1)->y = 400;  // bottom 410
    p.Add<CObjectEnemy>(1, 0, "enemy", 200, 1)->y = 450;  // mortal: left alone
    p.game->UpdateObjectLists();
    std::vector<std::string> pushes;
    for (const std::string& line : p.log) {
        if (line.find(" up ") != std::string::npos) pushes.push_back(line);
    }
    EXPECT_EQ(pushes, std::vector<std::string>{"boss up 10.000000 192"});
}

TEST(ObjectPasses, ScrollCarriesItemsDriftersAndTheHeroUnlessItBrakes) {
    for (bool braking : {false, true}) {
        Passes p;
        p.game->progress.scrollSpeed = 2;
        CObjectItem* item = p.Add<CObjectItem>(4, 0, "item", 100, 0);
        CObjectEnemy* drifter = p.Add<CObjectEnemy>(1, 1, "drifter", 200, 0);
        CObjectEnemy* enemy = p.Add<CObjectEnemy>(1, 0, "enemy", 300, 0);
        p.hero->brakes = braking;  // a contact during the sub-steps
        p.game->UpdateObjectLists();
        EXPECT_EQ(std::tuple(item->x, drifter->x, enemy->x), std::tuple(102.0, 202.0, 300.0));
        EXPECT_EQ(p.game->player->x, braking ? 320 : 322);
    }
}

TEST(ObjectPasses, FrontEffectsFollowTheBossBodysScreenPoint) {
    Passes p;
    p.game->progress.scrollX = 1000;
    p.game->screenFx.shakeX = 3;
    p.Add<CObjectBoss>(6, 0, "boss", 1300.5, 0);
    p.game->bossObjects.push_back(p.game->objects.back());
    CObjectEffect* front = p.game->CreateFrontEffect(0, 10, 0, 0);
    p.game->UpdateObjectLists();
    EXPECT_EQ(std::tuple(front->x, front->y), std::tuple(297.5, 240.0));
    p.game->bossObjects.clear();
    p.game->UpdateObjectLists();
    EXPECT_EQ(front->x, 297.5);
}

}  // namespace

// The scene machine driven by key masks, frame by frame, with the sound and music requests in
// one ordered log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/bgm_player.h"
#include "framework/sound_list.h"
#include "game/play/game_resource.h"
#include "tests/game/support/play_fixture.h"

namespace KB = KestraneGameBase2;
using morna::test::KindTableBuilder;
using morna::test::PlayFixture;

namespace {

constexpr uint32_t kUp = 1u << 0, kLeft = 1u << 1, kDown = 1u << 2, kRight = 1u << 3, kDecide = 1u << 8,
                   kBack = 1u << 9, kPauseKey = 1u << 14, kFast = 1u << 15;

// The music player on recording sounds (track t is sound 1000 + t), ticked before each scene
// step as the main loop does. Take() gives what sounded since the last call: "se 103" for an
// effect, "music 10" for a track that starts and "stop 0" for one that has faded out.
struct SoundLog {
    SoundLog(morna::test::RecordingSE& se, const std::string& folder) : se_(se) {
        std::string list;
        for (int t = 0; t < 16; ++t) list += std::to_string(1000 + t) + ".wav," + std::to_string(t) + "\r\n";
        morna::test::WriteBelow(folder, "data/music/list.txt", list);
        KB::GetBGMPlayer()->Initialize(KB::SoundFactoryRef(music_));
    }
    ~SoundLog() {
        KB::DestroyBGMPlayer();
        KB::DestroyMusicLoader();
    }
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        for (const morna::test::SPlay& p : std::exchange(se_.played, {})) out.push_back("se " + std::to_string(p.id));
        for (const std::string& line : std::exchange(music_->log, {})) {
            const int track = std::stoi(line) - 1000;
            if (line.ends_with(" play")) out.push_back("music " + std::to_string(track));
            if (line.ends_with(" stop")) out.push_back("stop " + std::to_string(track));
        }
        return out;
    }
    morna::test::RecordingSE& se_;
    morna::test::RecordingFactory* music_ = new morna::test::RecordingFactory;  // owned by the loader
};

KindTableBuilder Kinds() {
    KindTableBuilder k;
    k.Object(1, "敵");
    while (k.Tables().effects.size() < 96) k.Effect(("e" + std::to_string(k.Tables().effects.size())).c_str());
    while (k.Tables().cutins.size() < 22) k.Cutin().frames = {0};
    return k;
}

class SceneTest : public ::testing::Test {
protected:
    SceneTest() : play(Kinds()), g(*play.game) {
        g.messageWindow.SetMeasure([](std::string_view ch, int32_t size) { return ch.size() == 1 ? size / 2 : size; });
    }
    void Text(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(play.images.Path() + "/data/text");
        std::ofstream(play.images.Path() + "/data/text/" + name, std::ios::binary) << text;
    }
    void Frame(uint32_t mask = 0) {
        KB::GetBGMPlayer()->OnFrame();
        KB::SKey key(mask);
        g.UpdateScene(key);
    }
    // Frames with the keys of mask until pred holds; how many it took (limit + 1 when it never did).
    int Until(const std::function<bool()>& pred, uint32_t mask = 0, int limit = 2000) {
        for (int n = 1; n <= limit; ++n) {
            Frame(mask);
            if (pred()) return n;
        }
        return limit + 1;
    }
    void OpenFully() {
        Until([&] { return g.selectWindow.fade == 0; });
    }
    // Moves the open menu's cursor to item and decides.
    void Choose(int item) {
        OpenFully();
        while (g.selectWindow.cursor < item) Frame(kDown);
        Frame(kDecide);
    }
    int32_t Repeat(int key) const { return g.keyControl->GetRepeat(key); }

    PlayFixture play;
    CGameResource& g;
    SoundLog sounds{play.sounds, play.images.Path()};
};

TEST_F(SceneTest, TitleMenuWithAndWithoutTheExtras) {
    g.SetMode(Scene::kTitle);
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"music 0"}));
    EXPECT_TRUE(play.settings.acceptsDrops);
    std::filesystem::create_directories(play.images.Path() + "/save");
    ASSERT_FALSE(g.SaveReplay("save\\a.rpl"));
    play.settings.dropped = {"save\\a.rpl", "b.rpl"};  // the first file plays
    Frame();
    EXPECT_EQ(std::tuple(g.GetMode(), g.replayLog.playing, play.settings.dropped.size()), std::tuple(Scene::kPlay, true, size_t{0}));
    g.replayLog.playing = false;
    g.SetMode(Scene::kTitle);
    EXPECT_EQ(std::tuple(g.selectWindow.GetCount(), g.selectWindow.GetX(), g.selectWindow.GetY()),
              std::tuple(5, 208, 256));
    Choose(4);
    EXPECT_TRUE(g.IsExitRequested());
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"se 100", "se 100", "se 100", "se 100"}));

    g.exitRequest = false;
    play.settings.config.extrasUnlocked = 1;
    g.SetMode(Scene::kTitle);
    EXPECT_EQ(std::tuple(g.selectWindow.GetCount(), g.selectWindow.GetX(), g.selectWindow.GetY()),
              std::tuple(6, 208, 240));
    Choose(4);
    EXPECT_EQ(std::tuple(g.GetMode(), g.IsExitRequested(), play.settings.acceptsDrops), std::tuple(Scene::kGalleryMenu, false, false));

    // "設定" asks the host for the settings dialog over the title.
    g.SetMode(Scene::kTitle);
    Choose(3);
    EXPECT_EQ(std::tuple(g.GetMode(), play.settings.settingsOpened), std::tuple(Scene::kTitle, 1));
}

TEST_F(SceneTest, HowToPlayAndRankingReturnToTheTitle) {
    Text("help.txt", "一頁目\r\n\r\nabc\r\n");
    g.SetMode(Scene::kTitle);
    Choose(1);
    ASSERT_EQ(g.GetMode(), Scene::kHowToPlay);
    // Menus repeat directions at 48; the help takes buttons once, the barrier key level.
    EXPECT_EQ(std::tuple(Repeat(0), Repeat(9), Repeat(8)), std::tuple(48, 128, 0));
    Frame();
    EXPECT_EQ(std::pair(g.talkState.page, g.messageWindow.IsShown()), std::pair(0, true));
    // Decide held: page 0 walks the hero about and ends once its text is typed and f reaches
    // 100; page 1 sends an enemy in and ends at f 120.
    std::vector<std::tuple<int, int, int>> walks;
    for (int f = 2; g.talkState.page == 0 && f < 300; ++f) {
        const auto target = std::pair(g.move.targetX, g.move.targetY);
        Frame(kDecide);
        // A new walk; an arrival (target -1) is not one.
        if (target != std::pair(g.move.targetX, g.move.targetY) && g.move.targetX != -1) {
            walks.emplace_back(f, g.move.targetX, g.move.targetY);
        }
        if (g.talkState.page == 1) {
            EXPECT_EQ(f, 100);
        }
    }
    EXPECT_EQ(walks, (std::vector<std::tuple<int, int, int>>{{30, 384, 176}, {60, 288, 144}, {100, 320, 240}}));
    Frame(kDecide);
    ASSERT_EQ(g.objects.size(), 1u);
    // Sent in at (640, 240), it has moved once.
    EXPECT_EQ(std::tuple(g.objects.front()->x, g.objects.front()->y, g.objects.front()->motion.vx),
              std::tuple(637.0, 240.0, -3.0));
    EXPECT_EQ(Until([&] { return g.GetMode() == Scene::kTitle; }, kDecide), 120);

    Choose(1);
    Frame();
    Frame(kFast);
    EXPECT_EQ(std::pair(g.GetMode(), g.messageWindow.IsShown()), std::pair(Scene::kTitle, false));

    sounds.Take();
    Choose(2);
    ASSERT_EQ(g.GetMode(), Scene::kRanking);
    Frame(kUp);  // no rows: the cursor stays
    Frame(kDecide);
    EXPECT_EQ(g.GetMode(), Scene::kTitle);
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"se 100", "se 100", "se 101", "se 101"}));
    g.SetMode(Scene::kRanking);
    g.rankingScreen.count = 10;
    Frame(kUp);
    EXPECT_EQ(g.rankingScreen.row, 9);  // wraps
    Frame(kBack);
    EXPECT_EQ(g.GetMode(), Scene::kTitle);
}

TEST_F(SceneTest, GameStartPauseAndBackToTheTitle) {
    g.SetMode(Scene::kTitle);
    sounds.Take();
    g.replayLog.keys = {1, 2};
    g.replayLog.playing = true;  // F12 during a replay leaves it on; a new game is recorded
    OpenFully();
    Frame(kDecide);
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"se 103"}));
    EXPECT_EQ(Until([&] { return g.GetMode() != Scene::kTitle; }), 16);
    EXPECT_EQ(std::tuple(g.GetMode(), g.replayLog.keys.size(), g.replayLog.playing, g.progress.stage), std::tuple(Scene::kPlay, 0u, false, 0));
    EXPECT_EQ(std::tuple(Repeat(0), Repeat(9), Repeat(8)), std::tuple(0, 0, 0));  // the barrier too, while held
    g.status.score = 500;
    play.settings.config.invincible = true;  // the cheat switch: never rated
    Frame();
    EXPECT_EQ(std::pair(g.status.score, g.progress.invincible), std::pair(0, uint8_t{1}));

    g.Pause();
    ASSERT_EQ(g.GetMode(), Scene::kPause);
    EXPECT_EQ(std::tuple(g.selectWindow.GetCount(), g.selectWindow.GetY(), Repeat(0), Repeat(8)),
              std::tuple(2, 256, 48, 128));
    Frame();
    Frame(kDown);  // the cursor does not move while the menu opens
    ASSERT_GT(g.selectWindow.fade, 0);
    Frame(kDecide);  // taken while the menu opens
    EXPECT_EQ(std::pair(g.selectWindow.fade, sounds.Take()), std::pair(-255, std::vector<std::string>{"se 101"}));
    Until([&] { return g.GetMode() != Scene::kPause; });
    EXPECT_EQ(g.GetMode(), Scene::kPlay);  // item 0, resume

    g.Pause();
    Choose(1);
    Until([&] { return g.GetMode() != Scene::kPause; });
    EXPECT_EQ(g.GetMode(), Scene::kTitle);
    // The title takes no decide while its menu opens.
    Frame();
    Frame(kDecide);
    EXPECT_GT(g.selectWindow.fade, 0);
    EXPECT_EQ(g.GetMode(), Scene::kTitle);
}

TEST_F(SceneTest, GameOverTimelineOfAScoreOfZero) {
    g.SetMode(Scene::kTitle);  // the title music, which the game over fades out
    sounds.Take();
    g.scene = Scene::kPlay;
    g.SetMode(Scene::kGameOver);
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"se 126"}));
    std::vector<std::string> seen;
    for (int f = 1; f <= 420; ++f) {
        const int fade = g.screenFx.fadeDuration;
        Frame();
        for (const std::string& s : sounds.Take()) seen.push_back(std::to_string(f) + " " + s);
        if (g.screenFx.fadeDuration != fade) {
            seen.push_back(std::to_string(f) + (g.screenFx.fadeDirection > 0 ? " out " : " in ") + std::to_string(g.screenFx.fadeDuration));
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"60 stop 0", "120 music 10", "120 out 180", "300 in 120"}));
    EXPECT_EQ(std::tuple(g.gameOverCounter, g.selectWindow.GetY(), g.selectWindow.GetCount()), std::tuple(600, 320, 2));
    ASSERT_EQ(g.effects.size(), 1u);
    EXPECT_EQ(std::tuple(g.effects.front()->x, g.effects.front()->y), std::tuple(320.0, 160.0));
    Choose(0);  // the music fades over 60 frames from here
    const int closing = Until([&] { return g.GetMode() != Scene::kGameOver; });
    EXPECT_EQ(std::tuple(g.GetMode(), g.screenFx.fadeDirection, g.screenFx.fadeDuration), std::tuple(Scene::kPlay, -1, 60));
    for (int f = closing; f < 60; ++f) Frame();
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"stop 10"}));
}

TEST_F(SceneTest, ScriptedWaitEndingAndReplay) {
    g.scene = Scene::kScriptedWait;
    g.move.targetX = 100000, g.move.targetY = 240;  // a walk that does not end in time
    g.move.frameBudget = 1000;
    EXPECT_EQ(Until([&] { return g.GetMode() != Scene::kScriptedWait; }), 301);
    EXPECT_EQ(g.GetMode(), Scene::kPlay);

    g.SetMode(Scene::kEnding);
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"music 9"}));
    EXPECT_EQ(Until([&] { return g.blackOutCounter == 180; }), 180);
    for (int f = 0; f < 50; ++f) Frame();
    EXPECT_EQ(g.blackOutCounter, 180);
    Frame(kFast);
    EXPECT_EQ(std::pair(g.blackOutCounter, g.screenFx.fadeDuration), std::pair(400, 180));
    EXPECT_EQ(Until([&] { return g.GetMode() == Scene::kTitle; }), 181);
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"stop 9", "music 0"}));

    g.replayLog.playing = true;
    g.SetMode(Scene::kEnding);
    EXPECT_EQ(std::tuple(g.GetMode(), g.screenFx.fadeDirection, g.screenFx.fadeDuration), std::tuple(Scene::kFadeToTitle, 1, 60));
    g.SetMode(Scene::kPlay);
    Frame(kPauseKey);
    EXPECT_EQ(g.GetMode(), Scene::kFadeToTitle);
    EXPECT_EQ(Until([&] { return g.GetMode() == Scene::kTitle; }), 60);
    EXPECT_FALSE(g.replayLog.playing);
}

TEST_F(SceneTest, GalleryPanStaysInItsRectangle) {
    play.settings.config.extrasUnlocked = 1;
    g.SetMode(Scene::kGalleryMenu);
    Choose(1);  // "ギガトンハンマー"
    ASSERT_EQ(std::pair(g.GetMode(), g.gallery.value), std::pair(Scene::kGallery, 6));
    std::vector<std::pair<int, int>> pans;
    for (uint32_t mask : {kLeft, kUp, kUp, kRight, kDown, kDown, kDown}) {
        Frame(mask);
        pans.emplace_back(g.gallery.panX, g.gallery.panY);
    }
    EXPECT_EQ(pans, (std::vector<std::pair<int, int>>{{0, 0}, {0, 8}, {0, 16}, {0, 16}, {0, 8}, {0, 0}, {0, 0}}));
    for (int i = 0; i < 50; ++i) Frame(kUp);
    EXPECT_EQ(g.gallery.panY, 320);
    ASSERT_EQ(g.cutins.size(), 1u);  // the still of record 17, placed against the pan
    EXPECT_EQ(std::pair(g.cutins.front()->x, g.cutins.front()->y), std::pair(0.0, -320.0));
    EXPECT_EQ(g.cutins.front()->kind, &g.kinds.cutins[17]);
    Frame(kBack);
    EXPECT_EQ(g.GetMode(), Scene::kGalleryMenu);
    Choose(2);  // "バルカンフレア": its still over record 18
    Frame();
    std::vector<const SEffectKind*> layers;
    for (const CGameResource::EffectPtr& c : g.cutins) layers.push_back(c->kind);
    EXPECT_EQ(layers, (std::vector<const SEffectKind*>{&g.kinds.cutins[18], &g.kinds.cutins[19]}));
}

TEST_F(SceneTest, TalksShowOncePerGameAndFastForwardRunsThemThrough) {
    Text("face.txt", "ティルト,90,1,0\r\n");
    Text("talk03.txt", "/ティルト\r\n一\r\n/*\r\n二\r\n/誰\r\n三\r\n");
    g.scene = Scene::kPlay;
    g.talkState.shown = 0;
    g.LoadTalk(Talk::kBoss0Defeated, true);
    ASSERT_EQ(g.GetMode(), Scene::kTalk);
    // Buttons and directions once per press, fast-forward level.
    EXPECT_EQ(std::tuple(Repeat(0), Repeat(8), Repeat(15)), std::tuple(128, 128, 0));
    g.screenFx.shakeCounterX = 30;
    Frame(kFast);
    EXPECT_EQ(std::tuple(g.talkState.face.image, g.talkState.face.column, g.messageWindow.background), std::tuple(90, 1, true));
    EXPECT_LT(Until([&] { return g.GetMode() != Scene::kTalk; }, kFast, 200), 200);
    EXPECT_EQ(g.GetMode(), Scene::kScriptedWait);
    EXPECT_EQ(g.screenFx.shakeCounterX, 30);  // the camera holds during a talk
    EXPECT_EQ(sounds.Take(), (std::vector<std::string>{"se 124"}));

    g.scene = Scene::kPlay;
    g.LoadTalk(Talk::kBoss0Defeated, false);
    EXPECT_EQ(g.GetMode(), Scene::kPlay);
    g.LoadTalk(Talk::kBoss0Defeated, true);
    EXPECT_EQ(g.GetMode(), Scene::kScriptedWait);
}

}  // namespace

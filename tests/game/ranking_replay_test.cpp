// The ranking and replay files byte for byte with their readers on damaged copies, the
// labels, the ranking's entry rules, and a replay's load answers and playback.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "game/files/ranking.h"
#include "game/files/replay.h"
#include "game/scenes/ranking_screen.h"
#include "platform/message_box.h"
#include "tests/common/file_bytes.h"
#include "tests/common/temp_base_folder.h"
#include "tests/game/support/play_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace mp = morna::platform;

SRankingEntry Entry(uint32_t score, uint8_t second = 56) { return {score, {18, 4, 8, 12, 34, second}}; }

// The base folder with its save folder.
struct SaveFolder : morna::test::TempBaseFolder {
    SaveFolder() : TempBaseFolder("morna-save") { std::filesystem::create_directory(Path() + "/save"); }
    std::string File(const std::string& name) const { return Path() + "/save/" + name; }
};

TEST(RankingFile, BytesAndDamagedCopies) {
    std::list<SRankingEntry> list, back;
    EXPECT_EQ(EncodeRanking(list), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    ASSERT_EQ(DecodeRanking(EncodeRanking(list), back), 0);
    EXPECT_TRUE(back.empty());
    list.push_back(Entry(600000));
    const Bytes one = EncodeRanking(list);
    EXPECT_EQ(one, (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 0xC0, 0x27, 0x09, 0, 0x12, 4, 8, 0x0C, 0x22, 0x38, 0x46, 0xBC, 0x4B, 0x7A}));
    ASSERT_EQ(DecodeRanking(one, back), 0);
    EXPECT_EQ(EncodeRanking(back), one);

    // Refused, the list kept: a flipped bit; under valid trailers a count of 11 with its
    // 110 bytes, a count of -1, and a count of 2 with one entry.
    Bytes flipped = one, eleven = {0, 0, 0, 0, 11, 0, 0, 0}, negative(one.begin(), one.end() - 4), two = negative;
    flipped[13] ^= 1;
    eleven.resize(8 + 110, 1);
    negative[4] = negative[5] = negative[6] = negative[7] = 0xFF;
    two[4] = 2;
    for (const Bytes& bad : {flipped, WithTrailer(eleven), WithTrailer(negative), WithTrailer(two)}) {
        EXPECT_EQ(DecodeRanking(bad, back), 2);
        EXPECT_EQ(EncodeRanking(back), one);
    }
}

TEST(ReplayFile, BytesDamagedCopiesAndKeyBytes) {
    SStageProgress title;  // the title start: stage 0, the rest as reset (opacity -1)
    title.stage = 0;
    const Bytes file = EncodeReplay(title, {0x00, 0x55, 0x7F});
    Bytes expected(78, 0);
    std::copy_n("morna", 5, expected.begin());
    std::fill_n(expected.begin() + 51, 4, 0xFF);  // background opacity -1
    expected[67] = 3;
    const Bytes tail = {0x00, 0x55, 0x7F, 0xE6, 0xA2, 0xE6, 0xA6};
    std::copy(tail.begin(), tail.end(), expected.begin() + 71);
    EXPECT_EQ(file, expected);

    // The fields a replay does not hold load as 0; the last field stays.
    SStageProgress header;
    header.dropCounter = 40, header.itemLevel1 = header.itemLevel2 = header.invincible = 1, header.subStep = 5;
    Bytes keys = {9};
    ASSERT_EQ(DecodeReplay(file, header, keys), 0);
    EXPECT_EQ(keys, (Bytes{0x00, 0x55, 0x7F}));
    title.subStep = 5;
    EXPECT_EQ(EncodeReplay(header, keys), file);
    EXPECT_EQ(std::tuple(header.dropCounter, header.itemLevel1, header.itemLevel2, header.invincible, header.subStep),
              std::tuple(0, 0, 0, 0, 5));

    const Bytes body(file.begin(), file.end() - 4);
    const auto edited = [&](size_t at, const Bytes& with, size_t size = 74) {
        Bytes b = body;
        std::copy(with.begin(), with.end(), b.begin() + static_cast<long>(at));
        b.resize(size);
        return WithTrailer(b);
    };
    Bytes flipped = file;
    flipped[20] ^= 0x80;
    const std::pair<Bytes, int> damaged[] = {{flipped, 1},
                                             {edited(3, {'x'}), 2},
                                             {edited(0, {}, 3), 2},
                                             {edited(0, {}, 40), 1},
                                             {edited(67, {0xFF, 0xFF, 0xFF, 0xFF}), 1},
                                             {edited(67, {4}), 1}};
    for (const auto& [bad, answer] : damaged) {
        EXPECT_EQ(DecodeReplay(bad, header, keys), answer);
        EXPECT_EQ(EncodeReplay(header, keys), file);
    }

    EXPECT_EQ(std::pair(PackKeys(0x4105), UnpackKeys(0x55)), std::pair(uint8_t{0x55}, 0x4105u));
    EXPECT_EQ(std::pair(PackKeys(0xFFFFFFFF), UnpackKeys(0xFF)), std::pair(uint8_t{0x7F}, 0x430Fu));
    for (int k = 0; k < 128; ++k) EXPECT_EQ(PackKeys(UnpackKeys(uint8_t(k))), k);
}

TEST(Ranking, GradesLinesAndNames) {
    const std::pair<uint32_t, const char*> grades[] = {
        {2000000, "[SSS]"}, {1999999, " [SS]"}, {1500000, " [SS]"}, {1499999, "  [S]"}, {1200000, "  [S]"},
        {1199999, "  [A]"}, {1000000, "  [A]"}, {999999, "  [B]"},  {500000, "  [B]"},  {499999, "  [C]"},
        {200000, "  [C]"},  {199999, "  [D]"},  {1, "  [D]"}};
    for (const auto& [score, label] : grades) EXPECT_STREQ(GradeText(score), label) << score;
    EXPECT_STREQ(RankingLine(Entry(0), true).c_str(), "  [-] -------  --/--/-- --:--:--");
    EXPECT_STREQ(RankingLine(Entry(10000000), false).c_str(), "[SSS] 9999999  18/04/08 12:34:56");
    EXPECT_STREQ(RankingLine(Entry(600000, 5), true).c_str(), "  [B] 0600000  18/04/08 12:34:05 更新!");
    EXPECT_STREQ(MakeReplayFileName(Entry(600000)).c_str(), "save\\  [B]180408123456.rpl");
}

TEST(Ranking, EnterKeepsTheTenBestWithTheirReplays) {
    morna::test::PlayFixture play;
    SaveFolder folder;  // after the fixture, whose pictures have a base folder of their own
    CGameResource& g = *play.game;
    g.replayLog.keys = {1, 2, 3};
    EXPECT_EQ(g.EnterRanking(Entry(0)), -1);
    std::list<SRankingEntry> expected;
    for (uint8_t i = 0; i < 9; ++i) {
        EXPECT_EQ(g.EnterRanking(Entry(1000000 - 100000 * i, i)), i);
        expected.push_back(Entry(1000000 - 100000 * i, i));
    }
    EXPECT_EQ(g.EnterRanking(Entry(600000, 20)), 5);  // after the fifth, of equal score
    expected.insert(std::next(expected.begin(), 5), Entry(600000, 20));
    EXPECT_EQ(g.EnterRanking(Entry(150000, 21)), -1);
    const std::string dropped = folder.File("  [C]180408123408.rpl");
    EXPECT_EQ(morna::test::ReadBytes(dropped), EncodeReplay(g.replayLog.header, g.replayLog.keys));
    EXPECT_EQ(g.EnterRanking(Entry(1100000, 22)), 0);
    expected.push_front(Entry(1100000, 22));
    expected.pop_back();
    EXPECT_EQ(morna::test::ReadBytes(folder.File("ranking.sav")), EncodeRanking(expected));
    EXPECT_FALSE(std::filesystem::exists(dropped));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path() + "/save"), {}), 11);

    // An empty list is read from the file before an entry.
    g.ranking.clear();
    EXPECT_EQ(g.EnterRanking(Entry(1050000)), 1);
    EXPECT_EQ(g.rankingScreen.count, 10u);
}

TEST(Ranking, ScreenRows) {
    morna::test::PlayFixture play;
    SaveFolder folder;
    CGameResource& g = *play.game;
    g.ranking = {Entry(2100000), Entry(600000, 1)}, g.scene = Scene::kRanking;
    g.ShowRanking(1);
    ASSERT_EQ(std::pair(g.rankingScreen.rowObjects.size(), g.effects.size()), std::pair(size_t{20}, size_t{22}));
    // Layer by layer: text, colour, size, start, vertical friction and blink.
    using Layer = std::tuple<std::string, uint32_t, int, double, double, double, int>;
    const std::string updated = "  [B] 0600000  18/04/08 12:34:01 更新!";
    const std::pair<int, Layer> layers[] = {{0, {"[SSS] 2100000  18/04/08 12:34:56", 0x80FFFF, 32, 32, 58, 0, -1}},
                                            {2, {updated, 0x80FF80, 28, 40, 68, 0.5, -1}},
                                            {3, {updated, 0xFFFFFF, 28, 40, 68, 0.5, 64}},
                                            {19, {"  [-] -------  --/--/-- --:--:--", 0xB7B7B7, 28, 40, 68, 1 / 18.0, -1}}};
    for (const auto& [i, layer] : layers) {
        auto& text = dynamic_cast<CObjectFont&>(*g.rankingScreen.rowObjects[i].GetNoCheck());
        const auto& font = *text.textPlane.GetFont();
        EXPECT_EQ(Layer(font.GetText().c_str(), font.GetColor(), font.GetFontSize(), text.x, text.y,
                        text.motion.frictionY, text.fadeCounter),
                  layer)
            << i;
    }
    EXPECT_EQ(play.TakeSoundIds(), std::vector<int32_t>{123});
}

TEST(Replay, LoadAnswersAndPlayback) {
    morna::test::PlayFixture play;
    SaveFolder folder;
    CGameResource& g = *play.game;
    std::vector<std::string> boxes;
    mp::SetMessageBoxHook([&](const mp::MessageBoxRequest& r) {
        boxes.push_back(r.caption + ": " + r.text);
        return mp::IDOK;
    });
    g.replayLog.header.stage = 2;
    g.replayLog.keys = {0x55, 0x01};
    ASSERT_FALSE(g.SaveReplay("save\\good.rpl"));
    Bytes bad = morna::test::ReadBytes(folder.File("good.rpl"));
    bad[9] ^= 1;
    morna::test::WriteBytes(folder.File("flipped.rpl"), bad);
    morna::test::WriteBytes(folder.File("other.rpl"), WithTrailer({'m', 'o', 'r', 'n', 'o', 0}));
    morna::test::WriteBytes(folder.File("large.rpl"), {});
    std::filesystem::resize_file(folder.File("large.rpl"), kSaveFileLimit + 1);

    g.replayLog.header.stage = 1;
    EXPECT_EQ(g.LoadReplay("save\\missing.rpl"), -1);
    EXPECT_EQ(g.replayLog.keys.size(), 2u);  // only a file that was read empties the log
    const std::pair<const char*, int> answers[] = {{"flipped", 1}, {"large", 1}, {"other", 2}};
    for (const auto& [name, answer] : answers) {
        g.replayLog.keys = {7};
        EXPECT_EQ(g.LoadReplay((std::string("save\\") + name + ".rpl").c_str()), answer) << name;
        EXPECT_TRUE(g.replayLog.keys.empty());
    }
    EXPECT_EQ(std::tuple(g.GetMode(), g.replayLog.playing, g.replayLog.header.stage), std::tuple(Scene::kTitle, false, 1));
    EXPECT_EQ(boxes, (std::vector<std::string>{"エラー: リプレイファイルが開けませんでした。",
                                               "エラー: リプレイファイルが読み込めませんでした。",
                                               "エラー: リプレイファイルが読み込めませんでした。",
                                               "エラー: モルナ！のリプレイファイルではありません。"}));
    mp::SetMessageBoxHook({});

    // Recording appends the packed keys and leaves the frame's mask.
    KestraneGameBase2::SKey key(0xC10F);
    g.RecordKeys(key);
    EXPECT_EQ(std::pair(g.replayLog.keys, key.mask), std::pair(Bytes{0x7D}, 0xC10Fu));

    ASSERT_EQ(g.LoadReplay("save\\good.rpl"), 0);
    EXPECT_EQ(std::tuple(g.GetMode(), g.replayLog.playing, g.talkState.shown, g.replayLog.header.stage), std::tuple(Scene::kPlay, true, ~0u, 2));
    // Playback: the logged keys replace the live ones; past the log the keys are empty and
    // the game fades to a new one.
    std::vector<uint32_t> masks;
    for (uint32_t live : {0xFFFFu, 0x8000u, 0x8u}) {
        key.mask = live;
        g.RecordKeys(key);
        masks.push_back(key.mask);
    }
    EXPECT_EQ(masks, (std::vector<uint32_t>{0x4105, 0x100, 0}));
    EXPECT_EQ(g.GetMode(), Scene::kFadeToTitle);
}

}  // namespace

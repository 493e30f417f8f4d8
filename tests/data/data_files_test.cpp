// The stage maps, the boss skeleton and the talks as the readers see them, and the committed
// bytes themselves: encoding, line ends, the run folder's copy, map rows and field syntax.
#include <algorithm>
#include <filesystem>

#include "tests/data/data_set.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::DataBytes;
using morna::test::DataLines;
using morna::test::DataSet;
using morna::test::Fields;
using morna::test::Utf8;

TEST(DataMaps, StagesHoldTheirEventsPartsMarkersAndLetters) {
    const DataSet& d = DataSet::Get();
    struct {
        size_t events;
        std::vector<size_t> fights;  // the events that start a boss fight
        std::vector<int32_t> partEnds;
        int32_t verticalRange;
        std::vector<std::pair<int32_t, int32_t>> markers;  // '*' cells: column, row
        std::vector<std::string> letters;                  // enemy letters per part, in key order
    } const expect[4] = {
        {4, {3}, {81}, 0, {{0, 7}, {20, 4}, {30, 7}, {50, 9}, {60, 7}}, {"ABCDEFHIKLMNOPQRSTUVXYZacekk"}},
        {10, {3, 6, 9}, {62, 122}, 288, {{0, 7}, {25, 8}, {35, 5}, {55, 12}, {62, 12}, {76, 18}, {86, 12}, {107, 12}},
         {"CDEFHIKLMNOPQRShikmnopqrstu", "ACEMNQvwxyz"}},
        {13, {4, 12}, {231}, 288, {{0, 12}, {45, 12}, {100, 12}, {200, 12}}, {"CDEFHIKLMNOPQRSbglxyz"}},
        {2, {1}, {30}, 0, {{0, 7}}, {""}}};
    for (int s = 0; s < 4; ++s) {
        SCOPED_TRACE("stage " + std::to_string(s));
        const SStageMap& map = d.stages[s];
        const auto& e = expect[s];
        EXPECT_EQ(std::tuple(map.partEnds, map.verticalRange), std::tuple(e.partEnds, e.verticalRange));
        std::map<int32_t, int32_t> markers = {{0, 224}};
        for (const auto& [c, r] : e.markers) markers.emplace((c + 22) * 32, r * 32);
        EXPECT_EQ(map.markers, markers);
        std::vector<std::string> letters(map.partEnds.size());
        for (const auto& [key, entry] : map.enemyLetters) letters.at(key / 256) += static_cast<char>(key % 256);
        EXPECT_EQ(letters, e.letters);

        std::vector<int32_t> events, gates;  // columns, in the order the scroll meets them
        for (const auto& [column, cell] : map.cells) {
            const char b = static_cast<char>(cell.second);
            if (cell.first == '!') events.push_back(column);
            if (cell.first == 'B' && b == 0) gates.push_back(column);
            const bool block = (s >= 1 && (b == '+' || b == '-')) || (s == 2 && b == 'G');
            if (cell.first == '!' || b == 0 || b == '$' || block) continue;
            // An enemy cell: its letter has an entry in its part's table.
            const auto part = std::upper_bound(map.partEnds.begin(), map.partEnds.end(), column) - map.partEnds.begin();
            EXPECT_TRUE(b != 'j' && map.enemyLetters.count(EnemyLetterKey(static_cast<int32_t>(part), b)))
                << "column " << column << " row " << cell.row << " letter " << b;
        }
        ASSERT_EQ(events.size(), e.events);
        EXPECT_EQ(events[0], 0);  // the first event starts the scroll
        EXPECT_TRUE(s != 3 || events[1] <= 4);  // stage 3 is black until its fight starts
        // A gate stands in a fight's arena (the view at the boss marker), where the fight removes it.
        for (int32_t g : gates) {
            EXPECT_TRUE(std::any_of(e.fights.begin(), e.fights.end(),
                                    [&](size_t n) { return g >= events[n] - 22 && g <= events[n] - 2; }))
                << "gate at column " << g;
        }
    }
    std::vector<std::tuple<int, char, int, int>> delayed;  // stage, letter, kind, delay
    for (int s = 0; s < 4; ++s) {
        for (const auto& [key, entry] : d.stages[s].enemyLetters) {
            const char letter = static_cast<char>(key % 256);
            if (entry.delay != 0 || (s == 0 && letter == 'k')) delayed.emplace_back(s, letter, entry.kind, entry.delay);
        }
    }
    EXPECT_EQ(delayed, (std::vector<std::tuple<int, char, int, int>>{
                           {0, 'D', 10, 32}, {0, 'k', 0, 0}, {0, 'k', 0, 64}, {1, 'D', 10, 32}, {2, 'D', 10, 32}}));
    std::vector<std::tuple<uint32_t, int32_t, int32_t>> jellies;
    for (const auto& [key, p] : d.stages[2].jellies) jellies.emplace_back(key, p.a, p.b);
    EXPECT_EQ(jellies, (std::vector<std::tuple<uint32_t, int32_t, int32_t>>{
                           {JellyKey(10, 36), 2, 4}, {JellyKey(18, 18), 3, 2}, {JellyKey(19, 190), 4, 3}}));
}

TEST(DataMaps, BossSkeletonHasItsNineBlocks) {
    using Steps = std::vector<std::pair<int32_t, int32_t>>;  // picture, end time
    const auto walk = [](int32_t p) { return Steps{{300, 10}, {p, 30}, {300, 40}}; };
    const Steps expect[] = {{{300, 30}}, walk(301), walk(302), walk(303), walk(304), {{300, 10}, {305, 60}},
                            {{300, 1}, {300, 2}, {300, 3}, {306, 17}, {307, 25}, {307, 41}, {300, 51}},
                            {{300, 1}, {300, 2}, {300, 3}, {308, 43}, {308, 72}, {309, 82}, {309, 122}},
                            {{300, 120}}};
    const auto& boss = DataSet::Get().boss;
    ASSERT_EQ(boss.size(), 9u);
    for (size_t b = 0; b < 9; ++b) {
        Steps steps;
        for (const SBossStep& s : boss[b].steps) steps.emplace_back(s.x, s.endTime);
        EXPECT_EQ(steps, expect[b]) << "block " << b;
        // Eight part rows: the code reads at most 14; the anchor is the body's centre.
        EXPECT_EQ(std::tuple(boss[b].value1, boss[b].value2, boss[b].partOn.size(), boss[b].totalTime),
                  std::tuple(53, 64, 8u, steps.back().second))
            << "block " << b;
    }
}

// The hammer block laid out frame by frame: the body's picture per step.
TEST(DataMaps, BossSkeletonShowsTheHammerBlocksPictures) {
    morna::test::KindTableBuilder kinds;
    kinds.Tables() = DataSet::Get().kinds;
    morna::test::PlayFixture play(kinds);
    CGameResource& g = *play.game;
    g.bossAnimations = DataSet::Get().boss;
    g.StartBossRecord(0);
    ASSERT_NE(g.CreateBoss(0, 320, 240, false), nullptr);
    g.boss.animation = 6;
    std::vector<std::pair<int32_t, int32_t>> runs;  // picture, first frame past it
    for (int32_t frame = 0; frame < 51; ++frame) {
        g.boss.animationFrame = frame;
        g.UpdateBossChain(false);
        if (runs.empty() || runs.back().first != g.bossObjects[0]->phase) runs.emplace_back(g.bossObjects[0]->phase, 0);
        runs.back().second = frame + 1;
    }
    EXPECT_EQ(runs, (std::vector<std::pair<int32_t, int32_t>>{{300, 3}, {306, 17}, {307, 41}, {300, 51}}));
}

TEST(DataFiles, HelpHasItsPagesAndEverySpeakerHasAFace) {
    const DataSet& d = DataSet::Get();
    EXPECT_EQ(d.help.size(), 14u);  // one per demonstration of the how-to-play scene
    for (int t = 1; t <= 13; ++t) {
        EXPECT_FALSE(d.talks[t].empty()) << "talk " << t;
        for (const STalkPage& p : d.talks[t]) {
            EXPECT_TRUE(p.speaker == "*" || d.faces.count(p.speaker)) << "talk " << t << " " << Utf8(p.speaker.view());
        }
    }
}

TEST(DataFiles, EveryTextFileIsShiftJisWithCrLfCopiedWholeAndHasFullMapRows) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(MORNA_SOURCE_DIR) + "/data")) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const std::string path = entry.path().string(), bytes = DataBytes(path.substr(path.find("/data/") + 6));
        const std::vector<uint8_t> copy = morna::test::ReadBytes(MORNA_RUN_DIR + path.substr(path.find("/data/")));
        EXPECT_EQ(std::string(copy.begin(), copy.end()), bytes) << "the run folder's copy of " << path;
        std::string utf8;
        EXPECT_TRUE(morna::platform::Cp932ToUtf8(bytes, utf8) && bytes.rfind("\xEF\xBB\xBF", 0) != 0) << path;
        ASSERT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << path;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const bool lone = bytes[i] == '\r' ? bytes[i + 1] != '\n' : bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
            ASSERT_FALSE(lone) << path << " byte " << i;
        }
    }
    EXPECT_EQ(files, 27u);
    // Map rows keep their trailing blanks: a cut row would lose cells or a lone last character.
    const std::map<std::string, std::pair<size_t, size_t>> maps = {
        {"00", {16, 81}}, {"10", {16, 62}}, {"11", {25, 60}}, {"20", {25, 231}}, {"30", {16, 30}}};
    for (const auto& [name, size] : maps) {
        size_t rows = 0;
        for (const Fields& f : DataLines("text/stage/" + name + ".txt", '\t')) {
            if (f[0].empty()) break;
            EXPECT_EQ(f[0].size(), 2 * size.second) << name << " row " << rows;
            ++rows;
        }
        EXPECT_EQ(rows, size.first) << name;
    }
}

// A table field of a column type: i integer, r real (digits.digits), l frame list, N name, n name
// or empty, o "on" or empty, b blend, e reaction, h hit shape. Keywords compare whole fields, so
// "on " or "1.5 " would read as something else.
bool FieldFits(char type, const std::string& v) {
    const auto npos = std::string::npos;
    auto oneOf = [&](std::initializer_list<const char*> words) {
        return std::find(words.begin(), words.end(), v) != words.end();
    };
    switch (type) {
        case 'i': {
            const size_t digits = v.rfind('-', 0) == 0 ? 1 : 0;
            return v.size() > digits && v.find_first_not_of("0123456789", digits) == npos;
        }
        case 'r': {
            const size_t dot = v.find('.');
            return dot != npos && FieldFits('i', v.substr(0, dot)) && dot + 1 < v.size() &&
                   v.find_first_not_of("0123456789", dot + 1) == npos;
        }
        case 'l':
            return v.empty() || (v.front() != ',' && v.back() != ',' && v.find(",,") == npos &&
                                 v.find_first_not_of("0123456789,") == npos);
        case 'N': return !v.empty() && v.find(' ') == npos;
        case 'n': return v.find(' ') == npos;
        case 'o': return v.empty() || v == "on";
        case 'b': return v.empty() || oneOf({"fast", "add", "blend"});
        case 'e': return oneOf({"破壊", "反射", "弾む", "停止"});
        default: return oneOf({"矩形", "円", "台形"});
    }
}

TEST(DataFiles, TableFieldsKeepTheirSyntax) {
    for (const auto& [path, columns] : {std::pair{"text/effect.txt", std::string("Niiiiiiiribiiil")},
                                        std::pair{"text/data.txt", std::string("Niiiiioeiihoiiiiibniil")}}) {
        for (const Fields& f : DataLines(path, '\t')) {
            if (f.size() == 1 && f[0].empty()) continue;  // a section break
            ASSERT_EQ(f.size(), columns.size()) << path << " " << Utf8(f[0]);
            for (size_t c = 0; c < f.size(); ++c) {
                EXPECT_TRUE(FieldFits(columns[c], f[c])) << path << " " << Utf8(f[0]) << " column " << c + 1;
            }
        }
    }
}

}  // namespace

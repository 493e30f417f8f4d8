// The kind tables and the lists of the data set: their sizes, the names and ids the code asks
// for, and the values the code relies on, each failure naming the row.
#include <cmath>
#include <numbers>
#include <set>

#include "tests/data/data_set.h"

namespace {

using morna::test::DataLines;
using morna::test::DataSet;
using morna::test::Fields;
using morna::test::Utf8;

// The ids of a numbered list ("name,id"; empty and "//" lines skipped). Each line must carry a
// number (a bare name stops the sound lists' reading), fit their 256-byte line buffer and name
// a file without ',' or '/'; an id listed twice would drop a file.
std::set<int> ListIds(const std::string& path) {
    std::set<int> ids;
    for (const Fields& f : DataLines(path, ',')) {
        const std::string line = f.size() == 2 ? f[0] + "," + f[1] : f[0];
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        const bool numbered = f.size() == 2 && !f[1].empty() && f[1].find_first_not_of("0123456789") == std::string::npos;
        EXPECT_TRUE(numbered && !f[0].empty() && f[0].find('/') == std::string::npos && line.size() < 255)
            << path << ": " << line;
        EXPECT_TRUE(!numbered || ids.insert(std::stoi(f[1])).second) << path << ": " << line;
    }
    return ids;
}

// Frames of one animation cycle > 0: a kind that removes itself after it, or an effect made to
// live one cycle, would otherwise go at once or never.
template <class Kind>
bool PositiveCycle(const Kind& k) {
    return k.frameTime >= 1 && !k.frames.empty();
}

TEST(DataTables, KindsHaveTheirSizesAndTheNamesTheCodeLooksUp) {
    const DataSet& d = DataSet::Get();
    const SKindTables& k = d.kinds;
    EXPECT_EQ(d.failedLoads, 0);
    EXPECT_EQ(std::tuple(k.effects.size(), k.cutins.size()), std::tuple(96u, 22u));  // effect 0 is "dummy"
    const size_t sizes[] = {3, 75, 19, 33, 9, 12, 25};
    for (int s = 0; s < 7; ++s) {
        EXPECT_EQ(k.objects[s].size(), sizes[s]) << "section " << s;
        // A repeated name would shift the number of every later name.
        EXPECT_TRUE(s == 0 || k.objectNames[s].size() == k.objects[s].size()) << "section " << s;
    }
    EXPECT_EQ(k.effectNames.size(), k.effects.size());

    // Section 7 stands for the effect names; index -1: looked up by name only.
    const std::tuple<int, const char*, int> names[] = {
        {1, "クリスタル", 74}, {3, "ポロちゃん岩", 1}, {3, "ポロちゃん岩逆", 2}, {5, "プリン", 7}, {5, "ゼリー", 11},
        {6, "ポロちゃん", 0}, {6, "リュミナ", 1}, {6, "ボルカン", 2}, {6, "セレスタ", 3}, {6, "炎龍本体", 12},
        {6, "ケーキ上段", 14}, {6, "ケーキ中段", 15}, {6, "ケーキ下段", 16}, {6, "ガンテツ", 17},
        {6, "アイスファーント", 21}, {6, "クイーンズレイジ改", 22}, {6, "ギロチンスカイ", 23}, {6, "アイスミラー", 24},
        {6, "ポロちゃんハンマー", -1}, {6, "ポロちゃんパーツ", -1}, {6, "ポロちゃん手", -1}, {6, "ポロちゃん足", -1},
        {6, "ポロちゃん高さ", -1}, {6, "ポロちゃん高さ転倒", -1}, {6, "ポロちゃん表情", -1},
        {6, "ポロちゃんハンマー描画", -1}, {6, "炎龍胴", -1}, {6, "ボルカン判定", -1}, {6, "ボルカン体当たり", -1},
        {6, "セレスタ剣", -1}, {7, "ポロちゃん土埃左", 21}, {7, "ポロちゃん土埃右", 25}, {7, "ポロちゃん衝撃", 26}};
    for (const auto& [section, name, index] : names) {
        const NameMap& map = section == 7 ? k.effectNames : k.objectNames[section];
        const auto it = map.find(name);
        ASSERT_NE(it, map.end()) << Utf8(name);  // FindName would answer 0, another kind
        EXPECT_TRUE(index < 0 || it->second == index) << Utf8(name);
    }

    // Every death effect that data.txt names is in effect.txt (an unknown name reads as none).
    size_t section = 0, row = 0;
    for (const Fields& f : DataLines("text/data.txt", '\t')) {
        if (f.size() == 1) {
            ++section, row = 0;
        } else {
            EXPECT_EQ(f.at(18).empty(), k.objects[section].at(row++).effect == 0) << Utf8(f[0]);
        }
    }
}

TEST(DataTables, EveryIdTheCodeUsesIsListed) {
    const DataSet& d = DataSet::Get();
    // The sheets with fixed rectangles, the backgrounds 41 + stage, the boss-0 face grid.
    std::set<int> images = {0, 1, 2, 3, 4, 5, 6, 11, 15, 16, 17, 18, 21, 41, 42, 43, 44, 87, 89, 90, 316};
    for (const auto& section : d.kinds.objects) {
        for (const SObjectKind& o : section) images.insert(o.image);
    }
    for (const SEffectKind& e : d.kinds.effects) images.insert(e.image);
    for (const SEffectKind& e : d.kinds.cutins) {  // a cut-in preloads image + each frame
        images.insert(e.image);
        for (int32_t f : e.frames) images.insert(e.image + f);
    }
    for (const SBossBlock& b : d.boss) {  // step pictures and the hammer drawn for each
        for (const SBossStep& s : b.steps) images.insert({s.x, 320 + s.x - b.steps[0].x});
    }
    for (const auto& [name, face] : d.faces) images.insert(face.image);
    const std::set<int> listed = ListIds("image/list.txt");
    for (int id : images) EXPECT_TRUE(d.images.count(id) && listed.count(id)) << "image " << id;

    std::set<int> sounds = {15, 55, 124};  // 124: the narrator's page
    for (const auto& [from, to] : {std::pair{57, 61}, {100, 127}, {150, 154}, {156, 178}, {180, 182}, {200, 210}}) {
        for (int id = from; id <= to; ++id) sounds.insert(id);
    }
    for (const auto* table : {&d.kinds.effects, &d.kinds.cutins}) {
        for (const SEffectKind& e : *table) sounds.insert(e.sound);
    }
    sounds.erase(0);  // none
    const std::set<int> se = ListIds("se/list.txt");
    for (int id : sounds) EXPECT_TRUE(se.count(id)) << "sound " << id;

    const std::set<int> tracks = ListIds("music/list.txt");
    EXPECT_EQ(tracks.size(), 11u);
    std::set<int> looped;
    for (const Fields& f : DataLines("music/loop.txt", ',')) {
        if (f[0].empty() || f[0].rfind("//", 0) == 0) continue;
        ASSERT_EQ(f.size(), 3u) << f[0];
        const int track = std::stoi(f[0]), start = std::stoi(f[1]), end = std::stoi(f[2]);
        // Whole samples at 22050 Hz: the player seeks without aligning.
        EXPECT_TRUE(tracks.count(track) && start < end && start % 20 == 0 && end % 20 == 0) << "loop of track " << track;
        looped.insert(track);
    }
    EXPECT_EQ(looped, tracks);
}

TEST(DataTables, KindsKeepTheValuesTheCodeReliesOn) {
    const SKindTables& k = DataSet::Get().kinds;
    auto row = [](int s, size_t i) { return "data.txt section " + std::to_string(s) + " row " + std::to_string(i); };
    auto effectRow = [](size_t id) { return "effect " + std::to_string(id); };

    // Death effects created for one animation cycle: every id that no pattern handles itself.
    std::set<size_t> oneCycle = {34, 35, 37, 38, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 61, 63, 82, 83, 84};
    for (int s = 0; s < 7; ++s) {
        for (size_t i = 0; i < k.objects[s].size(); ++i) {
            const SObjectKind& o = k.objects[s][i];
            const bool shield = s == 6 && (i == 17 || i == 24);  // their life is the shield's strength
            EXPECT_TRUE((s != 0 && s != 6) || (o.life > 0) == shield) << row(s, i);  // else hp changes each frame
            EXPECT_TRUE(s != 6 || (o.undying && o.reaction != 0)) << row(s, i);  // never culled nor vanished
            EXPECT_TRUE((s != 4 && s != 5) || !o.undying) << row(s, i);  // a fight's end removes undying objects
            EXPECT_TRUE(o.reaction != 2 || o.mass >= 2) << row(s, i);  // the bounce divides by (mass + 1) / 3
            EXPECT_TRUE(o.drop < 128 || o.drop >= 252) << row(s, i);
            const bool multiplies = s == 1 && (i == 24 || i == 25 || (i >= 55 && i <= 58));
            EXPECT_TRUE(o.drop < 252 || !multiplies) << row(s, i);
            const uint16_t e = o.effect;
            if (e != 0 && e != 34 && !(e >= 47 && e <= 56) && !(e >= 61 && e <= 77)) oneCycle.insert(e);
        }
    }
    EXPECT_GT(k.objects[0][0].power, 0);
    for (size_t i : {2, 41}) EXPECT_TRUE(PositiveCycle(k.objects[1][i])) << row(1, i);
    for (size_t i : {8, 10, 11, 16, 29, 30}) EXPECT_TRUE(PositiveCycle(k.objects[3][i])) << row(3, i);
    EXPECT_TRUE(k.objects[6][0].frameTime == -1 && k.objects[6][0].image != 0);  // boss 0 draws its skeleton
    // The falling ceiling and the gate make four 32-px terrain pieces in a line inside their hit box.
    EXPECT_GE(k.objects[1][59].hitWidth, 3 * 32 + k.objects[5][5].hitWidth);
    EXPECT_GE(k.objects[1][60].hitHeight, 3 * 32 + k.objects[5][6].hitHeight);

    for (size_t id : oneCycle) EXPECT_TRUE(PositiveCycle(k.effects[id])) << effectRow(id);
    // The special drawings (negative frame times) that the code asks for by effect id and by
    // cut-in record (table 1); none can take -10, whose picture would be a value.
    const std::map<std::pair<int, size_t>, int32_t> special = {
        {{0, 3}, -1},  {{0, 22}, -7}, {{0, 24}, -1}, {{0, 26}, -5}, {{0, 33}, -6}, {{0, 39}, -3}, {{0, 64}, -4},
        {{0, 72}, -4}, {{0, 87}, -2}, {{0, 88}, -7}, {{0, 89}, -7}, {{0, 90}, -8}, {{0, 91}, -9}, {{1, 4}, -4},
        {{1, 5}, -3},  {{1, 9}, -5},  {{1, 12}, -1}};
    for (int t = 0; t < 2; ++t) {
        const std::vector<SEffectKind>& table = t == 0 ? k.effects : k.cutins;
        for (size_t id = 0; id < table.size(); ++id) {
            const auto it = special.find({t, id});
            EXPECT_TRUE(table[id].frameTime != -10 && (it == special.end() || table[id].frameTime == it->second))
                << (t == 0 ? "effect " : "cut-in ") << id;
        }
    }
    for (size_t id = 1; id < k.effects.size(); ++id) {
        const SEffectKind& e = k.effects[id];
        // Ambient particles get -0.1..+0.2 added to vx and must still drift left (a still one is
        // never culled); still land decorations would never be culled either.
        EXPECT_TRUE(id > 5 || e.speed * std::cos(e.angle * std::numbers::pi / 128) + 0.2 < 0) << effectRow(id);
        EXPECT_TRUE(id < 7 || id == 21 || id > 24 || e.speed != 0.0) << effectRow(id);
    }
    EXPECT_GE(k.effects[91].cellWidth, 2);  // the beam's step
    EXPECT_TRUE(PositiveCycle(k.cutins[2]) && PositiveCycle(k.cutins[3]));  // made with lifetime -1
}

}  // namespace

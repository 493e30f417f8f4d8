// The kind tables over small texts: sections, names, every column in its place, keywords and
// frame lists; the files themselves read through CFile.
#include "game/files/kind_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/common/temp_base_folder.h"

namespace {

TEST(KindTables, EffectTableSectionsNamesAndColumns) {
    SKindTables t;
    ParseEffectTable("\r\n"
                     "火花\t657\t-1\t3\t32\t48\t5\t-6\t-1.25\t300\tadd\t13\t124\t-7\t0,1,2,1\r\n"
                     "\"煙 B\"\t1\t0\t0\t0\t0\t0\t0\t0.5\t0\tblend\t0\t0\t1\t0 1 2\r\n"
                     "火花\t2\r\n\r\n \r\n"
                     "層\t9\t0\t0\t0\t0\t0\t0\t3.123456789\t0\tfast\r\n\r\n"
                     "後\t5\r\n",
                     t);
    ASSERT_EQ(t.effects.size(), 4u);  // "dummy", then three rows; the fourth section is dropped
    ASSERT_EQ(t.cutins.size(), 1u);
    const SEffectKind& e = t.effects[1];
    EXPECT_EQ(std::tuple(e.image, e.srcX, e.srcY, e.cellWidth, e.cellHeight, e.value7, e.value8, e.angle, e.blend,
                         e.priority, e.sound, e.frameTime, e.frames),
              std::tuple(657, -1, 3, 32, 48, 5, -6, 44, 2, 13, 124, -7, std::vector<int32_t>{0, 1, 2, 1}));
    EXPECT_DOUBLE_EQ(e.speed, -1.25);
    EXPECT_EQ(std::tuple(t.effects[2].blend, t.effects[2].frames, t.effects[3].image, t.effects[3].frames.size()),
              std::tuple(3, std::vector<int32_t>{0, 1, 2}, 2, 0u));
    EXPECT_EQ(std::tuple(t.cutins[0].image, t.cutins[0].blend), std::tuple(9, 1));
    // A repeated name keeps its first number: the names and the rows part ways from there.
    EXPECT_EQ(t.effectNames, (NameMap{{"dummy", 0}, {"火花", 1}, {"煙 B", 2}}));
}

TEST(KindTables, DataTableSectionsKeywordsAndEffects) {
    SKindTables t;
    ParseEffectTable("火花\t1\r\n", t);
    std::string text = "勇者\t0\t100\t-4\t300\t10\ton\t反射\t24\t16\t円\ton\t-1\t2\t3\t64\t32\tadd\t火花\t7\t8\t0,1,x,2\r\n"
                       "\r\n\r\n"
                       "敵\t5\t0\t0\t0\t0\ton \t弾む\t0\t0\t台形\toff\t0\t0\t0\t0\t0\tblend\t無い\t0\t0\t0 1 2\r\n"
                       "敵\t6\r\n"
                       "岩\t7\t\t\t\t\t\t停止\t\t\t矩形\r\n";
    for (int s = 2; s <= 7; ++s) text += "\r\n行" + std::to_string(s) + "\r\n";  // sections 2-7, 7 dropped
    ParseDataTable(text, t);
    const SObjectKind& h = t.objects[0][0];
    EXPECT_EQ(std::tuple(h.life, h.score, h.drop, h.power, h.mass, h.gravity, h.reaction, h.hitWidth, h.hitHeight,
                         h.hitShape, h.undying, h.image, h.srcX, h.srcY, h.cellWidth, h.cellHeight, h.blend, h.effect,
                         h.priority, h.frameTime, h.frames),
              std::tuple(0, 100, 252, 300, 10, 1, 1, 24, 16, 1, 1, -1, 2, 3, 64, 32, 2, 1, 7, 8, std::vector<uint8_t>{0, 1, 2}));
    ASSERT_EQ(t.objects[1].size(), 3u);
    const SObjectKind& e = t.objects[1][0];
    EXPECT_EQ(std::tuple(e.gravity, e.reaction, e.hitShape, e.undying, e.blend, e.effect, e.frames.size()),
              std::tuple(0, 2, 2, 0, 3, 0, 3u));
    EXPECT_EQ(std::tuple(t.objects[1][1].index, t.objects[1][2].index, t.objects[1][2].reaction, t.objects[1][2].hitShape),
              std::tuple(1, 2, 3, 0));
    EXPECT_EQ(t.objectNames[1], (NameMap{{"敵", 0}, {"岩", 1}}));
    for (int s = 2; s < 7; ++s) EXPECT_EQ(t.objects[s].size(), 1u) << s;
    EXPECT_TRUE(t.objectNames[0].empty());
}

TEST(KindTables, FilesAreReadThroughTheFileLayer) {
    morna::test::TempBaseFolder folder("morna-kinds");
    SKindTables t;
    EXPECT_EQ(LoadEffectTable(t), 1);
    EXPECT_TRUE(t.effects.empty());  // "dummy" only comes with a file
    std::filesystem::create_directories(folder.Path() + "/data/text");
    std::ofstream(folder.Path() + "/data/text/effect.txt", std::ios::binary) << "火花\t1\r\n";
    std::ofstream(folder.Path() + "/data/text/data.txt", std::ios::binary) << "勇者\t0\r\n\r\n敵\t1\t2\r\n";
    EXPECT_EQ(LoadEffectTable(t), 0);
    EXPECT_EQ(LoadDataTable(t), 0);
    EXPECT_EQ(std::tuple(t.effects.size(), t.objects[0].size(), t.objects[1].at(0).score), std::tuple(2u, 1u, 2));
}

}  // namespace

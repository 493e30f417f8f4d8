// A stage of two parts read from files: cells, markers, enemy letters, jellies, part ends and
// the vertical range; and a part too large for the cell's fields.
#include "game/files/stage_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/common/log_capture.h"
#include "tests/common/temp_base_folder.h"

namespace {

TEST(StageMap, TwoPartsFillEveryTable) {
    morna::test::TempBaseFolder folder("morna-stage");
    const std::string dir = folder.Path() + "/data/text/stage/";
    std::filesystem::create_directories(dir);
    std::string part0 = "ab  *\r\nab   *\r\nj  j\r\n# note\r\n A *\r\n   *\r\n          \r\n";
    for (int r = 6; r < 20; ++r) part0 += "  \r\n";
    part0 += "\r\n# table\r\nA\t1.5\t敵A\r\nA\t0\t敵B\r\nB\t1\t未知\r\n0\t2\tゼリー\t3\t2\r\n1\t2\tゼリー\t9\t9\r\n0\t2\tゼリー\t4\t4\r\n";
    std::ofstream(dir + "20.txt", std::ios::binary) << part0;
    std::ofstream(dir + "21.txt", std::ios::binary) << "ab\r\n\r\nA\t1\t敵A\r\n";
    const NameMap enemies{{"x", 0}, {"敵A", 1}, {"敵B", 2}};
    SStageMap map;
    ASSERT_EQ(LoadStageMap(2, enemies, map), 0);

    EXPECT_EQ(map.partEnds, (std::vector<int32_t>{5, 6}));  // part 1 starts after part 0's widest row
    EXPECT_EQ(map.verticalRange, 128);
    std::vector<std::tuple<int32_t, int, int, int>> cells;
    for (const auto& [column, c] : map.cells) cells.emplace_back(column, c.row, c.second, c.first);
    // "ab  *": the lone '*' stores nothing; " j" is a cell but no jelly place.
    EXPECT_EQ(cells, (std::vector<std::tuple<int32_t, int, int, int>>{
                         {0, 0, 'b', 'a'}, {0, 1, 'b', 'a'}, {0, 2, 0, 'j'}, {0, 3, 'A', 0}, {1, 2, 'j', 0}, {5, 0, 'b', 'a'}}));
    // (0, 224) from the start; "ab   *" at column 2; a repeated x keeps its first y.
    EXPECT_EQ(map.markers, (std::map<int32_t, int32_t>{{0, 224}, {23 * 32, 3 * 32}, {24 * 32, 32}}));
    std::vector<std::tuple<int, int, int>> letters;
    for (const auto& [key, e] : map.enemyLetters) letters.emplace_back(key, e.kind, e.delay);
    EXPECT_EQ(letters, (std::vector<std::tuple<int, int, int>>{{65, 1, 48}, {65, 2, 0}, {256 + 65, 1, 32}}));
    ASSERT_EQ(map.jellies.size(), 1u);
    EXPECT_EQ(std::tuple(map.jellies.begin()->first, map.jellies.begin()->second.a, map.jellies.begin()->second.b),
              std::tuple(JellyKey(2, 0), 3, 2));

    EXPECT_EQ(LoadStageMap(3, enemies, map), 1);
    EXPECT_EQ(std::tuple(map.cells.size(), map.markers.size(), map.partEnds.size()), std::tuple(0u, 1u, 0u));
}

TEST(StageMap, APartIsCutAtTheCellsLimits) {
    std::string text(70000, 'a');
    for (int r = 1; r <= kMaxStageRowsOrColumns; ++r) text += "\r\na";
    SStageMap map;
    map.Clear();
    morna::test::LogCapture log;
    ParseStagePart(text, 0, {}, map);
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(map.partEnds, std::vector<int32_t>{kMaxStageRowsOrColumns});
    EXPECT_EQ(map.verticalRange, (kMaxStageRowsOrColumns - 16) * 32);
    EXPECT_EQ(std::pair(map.cells.size(), map.cells.rbegin()->first), std::pair(size_t{32767}, 32766));
}

}  // namespace

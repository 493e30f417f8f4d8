// bossparts, help, talk and face tables over small texts and files; the image cache around
// cut-ins and stage starts.
#include "game/files/text_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/common/image_folder.h"
#include "tests/common/temp_base_folder.h"

namespace {

using tovarineGameSDK3rd::VTL::VTLstring;

TEST(TextTables, BossPartsBlocksStepsAndPartRows) {
    std::vector<SBossBlock> table(3);
    ParseBossParts("part\ton\t1\r\n#walk\t3,4\t10,5\t2\t3,6\r\npart\ton\t1,2\t\t5\r\n\r\nhand\toff\t7\r\n"
                   "#empty\t1,1\r\nfoot\ton\t1,1\r\n#swing\t53,64\t300,1\t0,1\t0,1\t6,14\t7,8\t7,16\t0,10\r\n",
                   table);
    ASSERT_EQ(table.size(), 2u);  // blocks without steps are dropped
    auto steps = [](const SBossBlock& b) {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (const SBossStep& s : b.steps) out.emplace_back(s.x, s.endTime);
        return out;
    };
    using Steps = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(std::tuple(table[0].value1, table[0].value2, table[0].totalTime, steps(table[0])),
              std::tuple(3, 4, 16, Steps{{10, 5}, {12, 10}, {13, 16}}));
    EXPECT_EQ(table[0].partOn, (std::vector<bool>{true, false}));
    // An empty field, or a missing second number, repeats what came before.
    const Steps values[] = {{{1, 2}, {7, 0}}, {{1, 2}, {7, 0}}, {{5, 2}, {7, 0}}};
    for (int s = 0; s < 3; ++s) EXPECT_EQ(table[0].steps[s].partValues, values[s]) << s;
    EXPECT_EQ(steps(table[1]), (Steps{{300, 1}, {300, 2}, {300, 3}, {306, 17}, {307, 25}, {307, 41}, {300, 51}}));
}

TEST(TextTables, HelpTalkAndFacePages) {
    std::vector<VTLstring> help;
    ParseHelp("一\r\n二\r\n\r\n\r\n三\r\n", help);
    EXPECT_EQ(help, (std::vector<VTLstring>{"一\n二", "三"}));
    std::vector<STalkPage> talk(1);
    ParseTalk("前\r\n/*\r\n一\r\n\r\n二\r\n/\r\n/空\r\n/ティルト\r\n三", talk);
    std::vector<std::pair<VTLstring, VTLstring>> pages;
    for (const STalkPage& p : talk) pages.emplace_back(p.speaker, p.text);
    EXPECT_EQ(pages, (std::vector<std::pair<VTLstring, VTLstring>>{{"", "前"}, {"*", "一\n二"}, {"ティルト", "三"}}));
    FaceMap faces;
    ParseFaces("ティルト,90,0,0\r\nルーメ,90,1,0\r\nティルト,1,1,1\r\n名, 300,-1,2\r\n", faces);
    std::vector<std::tuple<VTLstring, int, int, int>> got;
    for (const auto& [name, f] : faces) got.emplace_back(name, f.image, f.column, f.row);
    EXPECT_EQ(got, (std::vector<std::tuple<VTLstring, int, int, int>>{
                       {"ティルト", 90, 0, 0}, {"ルーメ", 90, 1, 0}, {"名", 300, 255, 2}}));
}

TEST(TextTables, FilesAreReadOnceAndMissingFilesLeaveTheTables) {
    morna::test::TempBaseFolder folder("morna-texts");
    std::vector<VTLstring> help;
    FaceMap faces;
    std::vector<STalkPage> talk(1);
    std::vector<SBossBlock> boss(1);
    EXPECT_EQ(std::tuple(LoadHelp(help), LoadFaces(faces), ReadTalk(3, talk)), std::tuple(1, 1, 1));
    LoadBossParts(boss);
    EXPECT_EQ(std::tuple(help.size(), faces.size(), talk.size(), boss.size()), std::tuple(0u, 0u, 1u, 1u));
    std::filesystem::create_directories(folder.Path() + "/data/text");
    for (const char* name : {"help", "face", "talk03", "bossparts"}) {
        std::ofstream(folder.Path() + "/data/text/" + name + ".txt", std::ios::binary)
            << "/*\r\nA,1,2,3\r\n#b\t1,1\t5,5\r\n";
    }
    EXPECT_EQ(std::tuple(LoadHelp(help), LoadFaces(faces), ReadTalk(3, talk)), std::tuple(0, 0, 0));
    LoadBossParts(boss);
    EXPECT_EQ(std::tuple(help.size(), faces.size(), talk.size(), boss.size()), std::tuple(1u, 3u, 1u, 1u));
    std::filesystem::remove_all(folder.Path() + "/data");
    EXPECT_EQ(std::pair(LoadHelp(help), LoadFaces(faces)), std::pair(0, 0));  // loaded once: not read again
}

struct StepClock : tovarineGameSDK3rd::Timer::IClock {
    uint32_t now = 0;
    uint32_t Now() override { return now += 600; }
    void Sleep(uint32_t) override {}
};

TEST(TextTables, CutinImagesArePreloadedAndReleasedAndStageImagesTrimmed) {
    morna::test::ImageFolder images;
    images.Write("a.bmp", 0x445566, "a.bmp,6\r\na.bmp,7\r\na.bmp,100\r\na.bmp,101\r\na.bmp,110\r\na.bmp,120\r\n");
    std::vector<SEffectKind> cutins(15);
    cutins[12].image = 120, cutins[12].frames = {0};
    cutins[13].image = 100, cutins[13].frames = {0, 1};
    cutins[14].image = 110, cutins[14].frames = {0};
    images.Colour(6), images.Colour(7);
    StepClock clock;
    EXPECT_EQ(PreloadCutin(cutins, 13, clock), 10);  // 600 ms taken: 10 frames to skip
    images.Remove("a.bmp");  // from here on only images still held have pixels
    for (int32_t id : {100, 101, 110}) EXPECT_EQ(images.Colour(id), 0x445566u) << id;  // layers 13 and 14
    EXPECT_EQ(images.Colour(120), 1u);
    ReleaseCutin(cutins, 13);
    EXPECT_EQ(std::pair(images.Colour(101), images.Colour(110)), std::pair(1u, 1u));
    TrimImageCache();
    EXPECT_EQ(images.Colour(7), 0x445566u);
    EXPECT_EQ(images.Colour(6), 1u);
}

}  // namespace

// The image list: list syntax, loading once, least recently used out first, the memory budget
// and its warning, image 0 for BltImageZero, over small BMPs of a temporary image folder.
#include "framework/image_loader.h"

#include <gtest/gtest.h>

#include "framework/blt_support.h"
#include "platform/message_box.h"
#include "tests/common/log_capture.h"
#include "tests/common/image_folder.h"
#include "tests/common/recording_surface.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using KestraneGameBase2::CBltSupport;
using KestraneGameBase2::CImageLoader;
namespace mp = morna::platform;

class ImageLoaderTest : public ::testing::Test {
protected:
    morna::test::ImageFolder images_;
    CImageLoader& loader_ = CImageLoader::GetInstance();
};

TEST_F(ImageLoaderTest, ListLinesMapIdsToFiles) {
    const char* names[] = {"a.bmp", "b.bmp", "d.bmp", "e.bmp"};
    for (uint32_t i = 0; i < 4; ++i) images_.Write(names[i], 0x102030 * (i + 1), "");
    images_.Write("画像.bmp", 0x102030 * 5, "// a.bmp,1\r\n\r\nb.bmp,2\r\nd.bmp 3\r\nd.bmp,4\r\ne.bmp,4\r\n画像.bmp,5\r\n");
    const std::pair<int32_t, uint32_t> want[] = {{1, 1}, {2, 0x102030 * 2}, {3, 1}, {4, 0x102030 * 4}, {5, 0x102030 * 5}, {999, 1}};
    for (const auto& [id, colour] : want) EXPECT_EQ(images_.Colour(id), colour) << id;
    EXPECT_EQ(CImageLoader::GetImage(2).GetColorKey(), 0xFF00FFu);
}

TEST_F(ImageLoaderTest, LoadsOnceAndGivesUpTheLeastRecentlyUsed) {
    std::string list;
    for (int id = 100; id <= 355; ++id) list += "a.bmp," + std::to_string(id) + "\r\n";
    images_.Write("a.bmp", 0x445566, list);
    EXPECT_EQ(images_.Colour(9999), 1u);  // an id without a file holds a slot too: the first to go
    for (int id = 100; id < 355; ++id) ASSERT_EQ(images_.Colour(id), 0x445566u) << id;
    images_.Remove("a.bmp");  // from here on only images still held have pixels
    EXPECT_EQ(images_.Colour(100), 0x445566u);  // held: not loaded again
    EXPECT_EQ(images_.Colour(355), 1u);         // the 256th image: 101, used longest ago, goes
    EXPECT_EQ(images_.Colour(102), 0x445566u);
    EXPECT_EQ(images_.Colour(101), 1u);
    EXPECT_EQ(loader_.FindId(CImageLoader::GetImage(102).GetSurfaceInfo()), 102);
    EXPECT_EQ(images_.Colour(9999), 1u);  // given up with no stale entry left behind
}

TEST_F(ImageLoaderTest, BudgetBelowOneImageKeepsOnlyTheNewest) {
    images_.Write("big.bmp", 0x0000FF, "big.bmp,400\r\nbig.bmp,401\r\nbig.bmp,402\r\n", 16);
    loader_.CheckMemory(100, 500);
    for (int id = 400; id <= 402; ++id) images_.Colour(id);
    EXPECT_EQ(loader_.GetBytesUsed(), 16u * 16 * 4);
    images_.Remove("big.bmp");
    EXPECT_EQ(images_.Colour(402), 0x0000FFu);
    EXPECT_EQ(images_.Colour(400), 1u);
}

TEST_F(ImageLoaderTest, SmallBudgetWarnsThroughTheMessageBox) {
    std::vector<mp::MessageBoxRequest> boxes;
    mp::SetMessageBoxHook([&](const mp::MessageBoxRequest& r) {
        boxes.push_back(r);
        return 0;  // as a box that could not be shown: an error-log line
    });
    morna::test::LogCapture log;
    loader_.CheckMemory(101, 100);  // out of range: ignored
    loader_.CheckMemory(90, 100);
    mp::SetMessageBoxHook({});
    EXPECT_EQ(loader_.GetBudget(), 90u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(std::tuple(boxes[0].caption, boxes[0].text, boxes[0].flags),
              std::tuple("メモリ警告", "メモリの空きが少なくなっているため\n正常にゲームが動作しない恐れがあります。",
                         mp::MB_OK | mp::MB_ICONWARNING));
    EXPECT_TRUE(log.Contains("メッセージボックスを表示できない"));
}

TEST_F(ImageLoaderTest, BltImageZeroDrawsImageZeroDoubledWhileTheSwitchIsOn) {
    images_.Write("zero.bmp", 0x123456, "zero.bmp,0\r\n");
    morna::test::RecordingSurface target(8, 8);
    CBltSupport::BltImageZero(target, 0, 0);
    CBltSupport::SetDoubleSize(1);
    CBltSupport::BltImageZero(target, 4, 4);
    CBltSupport::SetDoubleSize(0);
    for (int i = 0; i < 64; ++i) {
        const int x = i % 8, y = i / 8;
        EXPECT_EQ(target.Pixel(x, y), (x < 2 && y < 2) || (x >= 4 && y >= 4) ? 0x123456u : 0u) << x << "," << y;
    }
    EXPECT_EQ(target.Log().at(1).image, 0);
}

}  // namespace

#include "draw/surface_type_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/base/pixel_format.h"
#include "tests/common/log_capture.h"

using namespace tovarineGameSDK3rd::Draw;

namespace {

class FakeDesc : public morna::platform::ISurfaceDescSource {
public:
    FakeDesc(bool ok, uint32_t bits, uint32_t r, uint32_t g, uint32_t b) : ok_(ok), desc_{bits, r, g, b} {}
    bool GetSurfaceDesc(morna::platform::SurfaceDesc& out) override {
        if (ok_) out = desc_;
        return ok_;
    }

private:
    bool ok_;
    morna::platform::SurfaceDesc desc_;
};

struct ProbeCase {
    uint32_t bits, r, g, b;
    int32_t code;
    std::vector<std::string> log;
};

}  // namespace

TEST(SurfaceProbe, NullAndUnreadable) {
    morna::test::LogCapture log;
    EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(nullptr), -1);
    EXPECT_TRUE(log.Lines().empty());
    FakeDesc broken(false, 32, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(&broken), 0);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CDirectDrawSurfaceManager::GetSurfaceTypeでGetSurfaceDescに失敗"});
}

TEST(SurfaceProbe, ClassifiesByBitsAndMasks) {
    const std::vector<ProbeCase> cases = {
        {8, 0, 0, 0, Palette8, {}},
        {8, 1, 2, 3, Palette8, {}},
        {16, 0xF800, 0x07E0, 0x001F, RGB565, {}},
        {16, 0x7C00, 0x03E0, 0x001F, RGB555, {}},
        {24, 0xFF0000, 0xFF00, 0xFF, RGB888, {}},
        {24, 0xFF, 0xFF00, 0xFF0000, BGR888, {}},
        {32, 0xFF0000, 0xFF00, 0xFF, XRGB8888, {}},
        {32, 0xFF, 0xFF00, 0xFF0000, XBGR8888, {}},
        {16, 0x0F00, 0x00F0, 0x000F, 1,
         {"CDirectDrawSurfaceManager::16bppの不明ピクセルフォーマット検出", "BMask=0xf00 BMask=0xf0 BMask=0xf"}},
        {24, 0xFF00, 0xFF, 0xFF0000, 1,
         {"CDirectDrawSurfaceManager::24bppの不明ピクセルフォーマット検出", "BMask=0xff00 BMask=0xff BMask=0xff0000"}},
        {32, 0xF800, 0x07E0, 0x001F, 1,
         {"CDirectDrawSurfaceManager::32bppの不明ピクセルフォーマット検出", "BMask=0xf800 BMask=0x7e0 BMask=0x1f"}},
        {15, 0x7C00, 0x03E0, 0x001F, 1,
         {"CDirectDrawSurfaceManager::bpp不明のピクセルフォーマット検出", "nBpp=15 BMask=0x7c00 BMask=0x3e0 BMask=0x1f"}},
    };
    for (const ProbeCase& c : cases) {
        morna::test::LogCapture log;
        FakeDesc desc(true, c.bits, c.r, c.g, c.b);
        EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(&desc), c.code) << c.bits << " " << c.r;
        EXPECT_EQ(log.Lines(), c.log);
    }
}

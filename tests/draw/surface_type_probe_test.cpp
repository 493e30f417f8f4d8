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
    FakeDesc(bool ok, morna::platform::SurfaceDesc desc) : ok_(ok), desc_(desc) {}
    bool GetSurfaceDesc(morna::platform::SurfaceDesc& out) override {
        if (ok_) out = desc_;
        return ok_;
    }

private:
    bool ok_;
    morna::platform::SurfaceDesc desc_;
};
}  // namespace

TEST(SurfaceProbe, ClassifiesByBitsAndMasks) {
    struct Case {
        uint32_t bits, r, g, b;
        int32_t code;
    };
    const Case cases[] = {
        {8, 1, 2, 3, Palette8},          {16, 0xF800, 0x07E0, 0x001F, RGB565}, {16, 0x7C00, 0x03E0, 0x001F, RGB555},
        {24, 0xFF0000, 0xFF00, 0xFF, RGB888}, {24, 0xFF, 0xFF00, 0xFF0000, BGR888},
        {32, 0xFF0000, 0xFF00, 0xFF, XRGB8888}, {32, 0xFF, 0xFF00, 0xFF0000, XBGR8888},
        {16, 0x0F00, 0x00F0, 0x000F, 1}, {24, 0xFF00, 0xFF, 0xFF0000, 1}, {32, 0xF800, 0x07E0, 0x001F, 1},
        {15, 0x7C00, 0x03E0, 0x001F, 1},
    };
    for (const Case& c : cases) {
        FakeDesc desc(true, {c.bits, c.r, c.g, c.b});
        EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(&desc), c.code) << c.bits << " " << c.r;
    }
    morna::test::LogCapture log;
    EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(nullptr), -1);
    FakeDesc broken(false, {32, 0xFF0000, 0xFF00, 0xFF});
    EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(&broken), 0);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CDirectDrawSurfaceManager::GetSurfaceTypeでGetSurfaceDescに失敗"});
}

// The renderer a window gets, by what the player named and what the display's OpenGL draws with;
// the display's own answer is asked in the X11 present test.
#include <gtest/gtest.h>

#include <string>

#include "platform/render_driver.h"

namespace mp = morna::platform;
using mp::GlRasterizer;

namespace {

struct Row {
    const char* named;
    GlRasterizer gl;
    const char* driver;  // null: SDL's first
    bool holds;
};

TEST(RenderDriver, TheNamedRendererOrSoftwareOverASoftwareRasterizerAndTheHoldOnlyForANamedOpenGl) {
    constexpr GlRasterizer kSoft = GlRasterizer::kSoftware, kGpu = GlRasterizer::kAccelerated,
                           kNone = GlRasterizer::kUnknown;
    const Row rows[] = {
        // Nothing named: a software rasterizer gets SDL's software renderer; a device's OpenGL,
        // or one that gave no answer, SDL's first with no hold.
        {nullptr, kSoft, "software", false},
        {nullptr, kGpu, nullptr, false},
        {nullptr, kNone, nullptr, false},
        // OpenGL named: held unless the answer was a device's.
        {"opengl", kSoft, "opengl", true},
        {"opengl", kGpu, "opengl", false},
        {"opengl", kNone, "opengl", true},
        {"OpenGLES2", kSoft, "OpenGLES2", true},
        {"opengles", kGpu, "opengles", false},
        // Software named: itself, never held.
        {"software", kSoft, "software", false},
        {"software", kGpu, "software", false},
        {"software", kNone, "software", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.named != nullptr ? row.named : "nothing") + " named, GL answer " +
                     std::to_string(static_cast<int>(row.gl)));
        const mp::RenderChoice choice = mp::ChooseRenderer(row.named, row.gl);
        EXPECT_STREQ(choice.driver, row.driver);
        EXPECT_EQ(choice.holdServer, row.holds);
    }
}

}  // namespace

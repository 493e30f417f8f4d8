// A picture for a person to look at: every object class drawn from generated pictures onto
// full-size planes of both pixel sizes, written as BMP files into the build folder, with a
// few pixels checked (keyed pixels untouched, saturated sums, a turned sprite's centre).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "draw/fast_draw.h"
#include "draw/fast_plane.h"
#include "draw/image_writer.h"
#include "framework/image_loader.h"
#include "tests/game/objects/draw_log.h"

namespace {

namespace draw = tovarineGameSDK3rd::Draw;
using KestraneGameBase2::CImageLoader;

constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kBackground = 0x203040;
constexpr uint32_t kPatch = 0x808080;  // where the added sprite saturates

void Fill(draw::ISurface& s, uint32_t colour, const Rect& r) {
    s.SetFillColor(colour);
    s.Clear(&r);
}

// A sheet of cells of `cell` pixels: a keyed border, a body whose hue steps per frame (column)
// and row, and a white bar along its top edge that shows turning and mirroring.
void PaintSheet(int32_t id, int w, int h, int cell) {
    draw::ISurface& s = CImageLoader::GetImage(id);
    Fill(s, kKey, {0, 0, w, h});
    for (int y = 0; y < h / cell; ++y) {
        for (int x = 0; x < w / cell; ++x) {
            const int l = x * cell;
            const int t = y * cell;
            const uint32_t hue = static_cast<uint32_t>(0x30 + 0x28 * x) << 16 | static_cast<uint32_t>(0xC0 - 0x18 * y) << 8 |
                                 static_cast<uint32_t>(0x40 + 0x10 * (x + y));
            Fill(s, hue, {l + 2, t + 2, l + cell - 2, t + cell - 2});
            Fill(s, 0xFFFFFF, {l + cell / 4, t + 2, l + cell * 3 / 4, t + 5});
        }
    }
}

struct Scene {
    // The pictures load in the display's format, as the game's do.
    explicit Scene(int32_t type) {
        bool retry = false;
        draw::CFastDraw* display = draw::CFastDraw::GetCurrent();
        display->GetDDraw()->SetDisplayMode(type, 64, 48);
        EXPECT_EQ(display->GetPrimary()->CreatePrimary(&retry, 0, 0), 0);
        f.play.images.Add(11, 256, 64);
        f.play.images.Add(15, 144, 48);
        f.play.images.Add(40, 128, 64);   // objects: cells of 32
        f.play.images.Add(41, 192, 320);  // character body: cells of 32
        f.play.images.Add(42, 160, 16);   // digits 0-9, 16 wide
        f.play.images.Add(89, 256, 128);  // weapon pieces
        PaintSheet(11, 256, 64, 32);
        PaintSheet(15, 144, 48, 48);
        PaintSheet(40, 128, 64, 32);
        PaintSheet(41, 192, 320, 32);
        PaintSheet(89, 256, 128, 32);
        draw::ISurface& digits = CImageLoader::GetImage(42);
        Fill(digits, kKey, {0, 0, 160, 16});
        for (int d = 0; d < 10; ++d) {  // a digit d as d + 1 short bars
            for (int b = 0; b <= d; ++b) Fill(digits, 0xFFD040, {16 * d + 1 + (b % 5) * 3, b < 5 ? 2 : 9, 16 * d + 3 + (b % 5) * 3, b < 5 ? 7 : 14});
        }
        sheet.image = 40, sheet.cellWidth = sheet.cellHeight = 32, sheet.frames = {0, 1, 2, 3}, sheet.frameTime = 8;
        body.image = 41, body.cellWidth = body.cellHeight = 32, body.frames = {0, 1, 2}, body.frameTime = 8;
    }

    template <class O>
    O& At(O& o, int x, int y) {
        o.screenX = static_cast<int16_t>(x), o.screenY = static_cast<int16_t>(y);
        return o;
    }

    void Draw(draw::ISurface& target) {
        Fill(target, kBackground, {0, 0, 640, 480});
        Fill(target, kPatch, {400, 20, 520, 70});
        // Enemies: plain, tinted blue and red, additive over the grey patch, mirrored.
        SObjectKind k = sheet;
        const struct { uint8_t index, pose, blend, facing; int x, y; } enemies[] = {
            {0, 0, 0, 128, 20, 30}, {13, 3, 0, 128, 70, 30}, {14, 3, 0, 128, 120, 30}, {6, 0, 0, 0, 170, 30},
            {0, 0, 2, 128, 420, 30}, {0, 0, 3, 128, 470, 30},
        };
        std::vector<SObjectKind> kinds(std::size(enemies), sheet);
        for (size_t i = 0; i < std::size(enemies); ++i) {
            kinds[i].index = enemies[i].index, kinds[i].blend = enemies[i].blend;
            CObjectEnemy e(&kinds[i]);
            e.pose = enemies[i].pose, e.poseTimer = 40, e.facing = enemies[i].facing, e.animCounter = 8;
            At(e, enemies[i].x, enemies[i].y).Draw(&target);
        }
        // A trail of after-images fading to the left.
        CObjectEnemyShadow shadow(&k);
        shadow.trailLength = 8, shadow.trailSpacing = 1;
        for (int i = 1; i <= 8; ++i) shadow.trailScreen.push_back({230 - 18 * i, 100});
        At(shadow, 230, 100).Draw(&target);
        // A shot turned by its heading (64: flying down), and its unturned twin.
        k.index = 6;
        CObjectShot shot(&k);
        shot.motion.vy = 2;
        At(shot, 300, 100).Draw(&target);
        shot.motion.vy = 0, shot.motion.vx = -2;
        At(shot, 340, 100).Draw(&target);
        // A jelly of 5 x 3 cells, one eaten.
        SObjectKind jk = sheet;
        jk.srcX = 0, jk.srcY = 0;
        CObjectJelly jelly(&jk);
        jelly.SetSize(5, 3);
        jelly.Cell(2, 1)[0] = CObjectJelly::kEaten;
        At(jelly, 400, 90).Draw(&target);
        // A score number and a text object.
        SEffectKind dk;
        dk.image = 42, dk.cellWidth = dk.cellHeight = 16;
        CObjectENumber score(&dk);
        score.x = 560, score.y = 100, score.value = 1234567;
        score.Draw(&target);
        CObjectFont text(&dk);
        text.SetText(SGlobalConfig(), 20, 0x00FFFFFF, true, "Morna 0123");
        text.x = 20, text.y = 160;
        text.Draw(&target);
        // Effects: a beam, a growing square, a land pile, a ring of pieces.
        SEffectKind ek;
        ek.image = 40, ek.cellWidth = ek.cellHeight = 32, ek.frames = {0}, ek.frameTime = -9, ek.blend = 2;
        CObjectEffect beam(&ek);
        beam.x = 200, beam.y = 230, beam.turn = 10;
        beam.Draw(&target);
        SEffectKind sk = ek;
        sk.frameTime = -8;
        CObjectEffect square(&sk);
        square.x = 80, square.y = 230, square.animCounter = 24;
        square.Draw(&target);
        SEffectKind pk = ek;
        pk.frameTime = -1, pk.blend = 0;
        CObjectEffectLand pile(&pk);
        pile.effectReserved = 3;
        At(pile, 520, 260).Draw(&target);
        SEffectKind rk = pk;
        rk.frameTime = -6;
        CObjectEffectLand ring(&rk);
        ring.animCounter = 10;
        At(ring, 330, 300).Draw(&target);
        // Boss 0 with its swarm, and a character body holding its weapon, left and right.
        SObjectKind bk = sheet;
        bk.frameTime = -6, bk.blend = 0;
        CObjectBoss boss(&bk);
        for (uint32_t c = 0; c < 48; c += 12) {  // the swarm at four moments
            boss.animCounter = c;
            At(boss, 60 + static_cast<int>(c) * 3, 390).Draw(&target);
        }
        SObjectKind ck = body;
        ck.index = 3;
        for (uint8_t facing : {uint8_t{128}, uint8_t{0}}) {
            CObjectBoss hero(&ck);
            hero.pose = 24, hero.facing = facing;
            hero.trailLength = 6, hero.trailSpacing = 1;
            for (int i = 1; i <= 6; ++i) hero.trailScreen.push_back({(facing ? 360 : 560) + (facing ? -14 : 14) * i, 390});
            At(hero, facing ? 360 : 560, 390).Draw(&target);
        }
    }

    DrawFixture f;
    SObjectKind sheet;
    SObjectKind body;
};

class DrawScene : public ::testing::TestWithParam<int32_t> {};

TEST_P(DrawScene, EveryClassOnAFullPlane) {
    Scene scene(GetParam());
    draw::CFastPlane target;
    ASSERT_EQ(target.CreateMemorySurface(640, 480, GetParam(), true), 0);
    scene.Draw(target);

    auto pixel = [&](int x, int y) {
        uint32_t c = 0;
        target.GetSurfaceInfo()->GetPixel(x, y, &c);
        return c & 0xFFFFFF;
    };
    const uint32_t background = pixel(639, 479);
    const uint32_t white = GetParam() == draw::RGB565 ? 0xF8FCF8 : 0xFFFFFF;  // read back without low bits
    EXPECT_EQ(pixel(20, 30), background);   // the keyed corner of the first enemy
    EXPECT_NE(pixel(36, 46), background);   // its body
    EXPECT_EQ(pixel(430, 33), white);  // the added sprite's bar over grey: saturated
    EXPECT_EQ(pixel(300 + 16, 100 + 16), pixel(340 + 16, 100 + 16));  // the turned shot's centre
    EXPECT_EQ(pixel(340 + 16, 100 + 3), white);  // the unturned bar lies along the top,
    EXPECT_NE(pixel(300 + 16, 100 + 3), white);  // the turned one no longer

    const std::string name = GetParam() == draw::RGB565 ? "objects_rgb565.bmp" : "objects_xrgb8888.bmp";
    const std::string file = std::string(MORNA_BUILD_DIR) + "/" + name;
    std::filesystem::remove(file);
    std::string path = "Z:" + file;  // the file layer's form of an absolute path
    std::replace(path.begin(), path.end(), '/', '\\');
    EXPECT_EQ(draw::SaveBitmap(*target.GetSurfaceInfo(), path.c_str(), nullptr), 0);
    EXPECT_TRUE(std::filesystem::exists(file));
}

INSTANTIATE_TEST_SUITE_P(Formats, DrawScene, ::testing::Values(draw::XRGB8888, draw::RGB565));

}  // namespace

// The present over the headless software renderer: each display format's picture read back
// from the output, letterboxing on an output of another shape (full screen, or a window the
// manager sized), stretching on one of the picture's shape, refused pictures.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <random>
#include <tuple>
#include <vector>

#include "platform/display_present.h"

namespace mp = morna::platform;

namespace {

int BytesOf(int32_t format) {
    static const int bytes[] = {0, 0, 1, 2, 2, 3, 3, 4, 4};
    return bytes[format];
}

// The colour a pixel of the picture means (0x00RRGGBB), and the bits of each channel that
// the format holds (the rest SDL may fill as it likes when it widens).
struct Meaning {
    uint32_t colour;
    uint32_t mask;
};

Meaning Decode(int32_t format, const uint8_t* p, const uint32_t* palette) {
    auto rgb = [](uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; };
    uint32_t w = p[0] | (p[1] << 8);
    switch (format) {
    case mp::kPresentPalette8: return {palette[p[0]] & 0xFFFFFFu, 0xFFFFFFu};
    case mp::kPresentRGB565:
        return {rgb((w >> 8) & 0xF8, (w >> 3) & 0xFC, (w << 3) & 0xF8), 0xF8FCF8u};
    case mp::kPresentRGB555:
        return {rgb((w >> 7) & 0xF8, (w >> 2) & 0xF8, (w << 3) & 0xF8), 0xF8F8F8u};
    case mp::kPresentRGB888:
    case mp::kPresentXRGB8888: return {rgb(p[2], p[1], p[0]), 0xFFFFFFu};
    case mp::kPresentBGR888:
    case mp::kPresentXBGR8888: return {rgb(p[0], p[1], p[2]), 0xFFFFFFu};
    }
    return {0, 0};
}

struct Picture {
    Picture(int32_t format, int32_t w, int32_t h, uint32_t seed) : palette(256) {
        std::mt19937 rng(seed);
        for (auto& c : palette) c = rng() & 0xFFFFFFu;
        // A pitch wider than the rows, as a display surface may have.
        pitch = w * BytesOf(format) + 5;
        bytes.resize(static_cast<size_t>(pitch) * h);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        pic.pixels = bytes.data();
        pic.pitch = pitch;
        pic.width = w;
        pic.height = h;
        pic.format = format;
        pic.palette = palette.data();
    }
    Meaning At(int x, int y) const {
        return Decode(pic.format, bytes.data() + y * pitch + x * BytesOf(pic.format), palette.data());
    }
    std::vector<uint32_t> palette;
    std::vector<uint8_t> bytes;
    int32_t pitch = 0;
    mp::PresentPicture pic;
};

// A converter as a drawing core hands one: every pixel as the colour it means.
void WriteMeaning(const mp::PresentPicture& picture, uint8_t* out, int32_t outPitch) {
    for (int32_t y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out + static_cast<ptrdiff_t>(y) * outPitch);
        for (int32_t x = 0; x < picture.width; ++x)
            row[x] = Decode(picture.format, picture.pixels + y * picture.pitch + x * BytesOf(picture.format),
                            picture.palette).colour;
    }
}

// Param: the format, with or without the converter. Without it the texture has the picture's
// format; with it a software renderer takes XRGB8888, written straight onto a 1:1 output.
class PresentFormat : public ::testing::TestWithParam<std::tuple<int32_t, bool>> {};

TEST_P(PresentFormat, OutputShowsEveryPixelOfThePicture) {
    const auto [format, converter] = GetParam();
    constexpr int W = 37, H = 23;
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        Picture picture(format, W, H, 100 + format);
        if (converter) picture.pic.writeXrgb8888 = &WriteMeaning;
        auto presenter = mp::DisplayPresenter::CreateOffscreen(W * scale, H * scale);
        ASSERT_NE(presenter, nullptr);
        ASSERT_TRUE(presenter->Present(picture.pic)) << presenter->LastError();

        std::vector<uint32_t> out;
        int32_t ow = 0, oh = 0;
        ASSERT_TRUE(presenter->ReadOutput(out, ow, oh));
        ASSERT_EQ(ow, W * scale);
        ASSERT_EQ(oh, H * scale);
        int wrong = 0;
        for (int y = 0; y < oh; ++y)
            for (int x = 0; x < ow; ++x) {
                Meaning m = picture.At(x / scale, y / scale);
                uint32_t got = out[static_cast<size_t>(y) * ow + x];
                if ((got & m.mask) != m.colour && ++wrong <= 5)
                    ADD_FAILURE() << "format " << format << " at " << x << "," << y << ": got " << std::hex
                                  << got << " want " << m.colour;
            }
        EXPECT_EQ(wrong, 0);

        // A second present of new contents in the same texture shows the new contents.
        Picture second(format, W, H, 900 + format);
        if (converter) second.pic.writeXrgb8888 = &WriteMeaning;
        ASSERT_TRUE(presenter->Present(second.pic));
        ASSERT_TRUE(presenter->ReadOutput(out, ow, oh));
        EXPECT_EQ(out[5 * scale * ow + 7 * scale] & second.At(7, 5).mask, second.At(7, 5).colour);
    }
}

INSTANTIATE_TEST_SUITE_P(DisplayFormats, PresentFormat, ::testing::Combine(::testing::Range(2, 9), ::testing::Bool()));

// The picture scaled to fit, its size rounded down, centred with the odd pixel of a margin
// on the right or at the bottom.
TEST(LetterboxRect, KeepsTheShapeAndCentres) {
    const struct {
        int32_t pw, ph, ow, oh, x, y, w, h;
    } cases[] = {
        {640, 480, 1920, 1080, 240, 0, 1440, 1080},  // wider output: bands left and right
        {640, 480, 1280, 1024, 0, 32, 1280, 960},    // taller output: bands above and below
        {640, 480, 1365, 768, 170, 0, 1024, 768},    // margin 341
        {640, 480, 1000, 701, 33, 0, 934, 701},      // 934.67 wide
        {640, 480, 800, 601, 0, 0, 800, 600},        // margin 1
        {640, 480, 640, 480, 0, 0, 640, 480},
        {0, 480, 640, 480, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto r = mp::LetterboxRect(c.pw, c.ph, c.ow, c.oh);
        EXPECT_EQ(std::vector<int32_t>({r.x, r.y, r.width, r.height}), std::vector<int32_t>({c.x, c.y, c.w, c.h}))
            << c.ow << "x" << c.oh;
    }
}

// The picture shown on an output of w x h, read back.
std::vector<uint32_t> ShowOn(int32_t w, int32_t h, Picture& picture) {
    auto presenter = mp::DisplayPresenter::CreateOffscreen(w, h);
    EXPECT_NE(presenter, nullptr);
    if (!presenter) return {};
    EXPECT_TRUE(presenter->Present(picture.pic)) << presenter->LastError();
    std::vector<uint32_t> out;
    int32_t ow = 0, oh = 0;
    EXPECT_TRUE(presenter->ReadOutput(out, ow, oh));
    return out;
}

// Full screen on a desktop of another shape, or a window the manager sized (a compositor's
// maximise of 640x480 to 1012x703): the same black bands.
TEST(DisplayPresenter, AnOutputOfAnotherShapeScalesKeepingTheShapeWithBlackBands) {
    Picture picture(mp::kPresentXRGB8888, 4, 3, 7);
    auto out = ShowOn(10, 6, picture);
    ASSERT_EQ(out.size(), 60u);
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(out[y * 10 + 0], 0u) << y;  // the picture is 8 wide at x 1 to 8
        EXPECT_EQ(out[y * 10 + 9], 0u) << y;
        for (int x = 1; x < 9; ++x)
            EXPECT_EQ(out[y * 10 + x], picture.At((x - 1) / 2, y / 2).colour) << x << "," << y;
    }

    // 640x480 in 1012x703: 937.33 wide, rounded down, at x 37 (bands of 37 and 38), every row.
    Picture large(mp::kPresentXRGB8888, 640, 480, 9);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) large.bytes[static_cast<size_t>(y) * large.pitch + x * 4] |= 1;  // no black
    out = ShowOn(1012, 703, large);
    ASSERT_EQ(out.size(), 1012u * 703u);
    int wrong = 0;
    for (int y = 0; y < 703; ++y)
        for (int x = 0; x < 1012; ++x) {
            const bool band = x < 37 || x >= 37 + 937;
            if ((out[static_cast<size_t>(y) * 1012 + x] == 0) != band && ++wrong <= 5)
                ADD_FAILURE() << x << "," << y << (band ? " not black" : " black");
        }
    EXPECT_EQ(wrong, 0);
    const auto at = [&](int x, int y) { return out[static_cast<size_t>(y) * 1012 + x]; };
    EXPECT_EQ(std::vector<uint32_t>({at(37, 0), at(973, 0), at(37, 702), at(973, 702)}),
              std::vector<uint32_t>({large.At(0, 0).colour, large.At(639, 0).colour, large.At(0, 479).colour,
                                     large.At(639, 479).colour}));
}

TEST(DisplayPresenter, AnOutputOfThePicturesShapeIsCoveredWhole) {
    Picture picture(mp::kPresentXRGB8888, 5, 3, 8);
    auto out = ShowOn(10, 6, picture);
    ASSERT_EQ(out.size(), 60u);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(out[y * 10 + x], picture.At(x / 2, y / 2).colour) << x << "," << y;
}

TEST(DisplayPresenter, RefusesWhatIsNotADisplayPicture) {
    auto presenter = mp::DisplayPresenter::CreateOffscreen(8, 8);
    ASSERT_NE(presenter, nullptr);
    Picture ok(mp::kPresentRGB565, 8, 8, 1);
    mp::PresentPicture p = ok.pic;
    p.format = 12;  // an in-memory alpha format, never a display's
    EXPECT_FALSE(presenter->Present(p));
    EXPECT_FALSE(presenter->LastError().empty());
    p = ok.pic;
    p.pitch = 15;  // narrower than a row
    EXPECT_FALSE(presenter->Present(p));
    p = ok.pic;
    p.pixels = nullptr;
    EXPECT_FALSE(presenter->Present(p));
    Picture pal(mp::kPresentPalette8, 8, 8, 2);
    p = pal.pic;
    p.palette = nullptr;
    EXPECT_FALSE(presenter->Present(p));
    EXPECT_TRUE(presenter->Present(ok.pic)) << presenter->LastError();
    EXPECT_EQ(mp::DisplayPresenter::CreateOffscreen(0, 480), nullptr);
    EXPECT_EQ(mp::DisplayPresenter::CreateForWindow(12345), nullptr);
}

}  // namespace

#pragma once
// The present: the display's picture (the primary surface's pixels, in the display's own
// format) copied into an SDL2 streaming texture of that format and drawn onto a renderer's
// output (or, by a software renderer at 1:1, written straight onto it), scaled keeping its shape
// and letterboxed in black where the output has another shape: full screen on a desktop of
// another shape, or a window that the window manager sized (a maximise the compositor offers).
// The renderer is a window's (the real display) or a software renderer over memory of our own
// (headless, for tests); both read back what they show.
//
// The renderer never waits for the vertical blank: frame pacing belongs to the frame timer.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;

namespace morna::platform {

// The display formats, numbered as the drawing core's format codes 2 to 8.
inline constexpr int32_t kPresentPalette8 = 2;
inline constexpr int32_t kPresentRGB565 = 3;
inline constexpr int32_t kPresentRGB555 = 4;
inline constexpr int32_t kPresentRGB888 = 5;    // bytes B, G, R
inline constexpr int32_t kPresentBGR888 = 6;    // bytes R, G, B
inline constexpr int32_t kPresentXRGB8888 = 7;  // bytes B, G, R, X
inline constexpr int32_t kPresentXBGR8888 = 8;  // bytes R, G, B, X

// SDL's texture format for a display format; 0 for a code that no display has. The names
// cross: our RGB888 (bytes B, G, R) is SDL's BGR24, our BGR888 is SDL's RGB24. A Palette8
// picture is expanded through its palette into XRGB8888.
uint32_t PresentTextureFormat(int32_t displayFormat);

// What one present shows.
struct PresentPicture {
    const uint8_t* pixels = nullptr;  // row 0, rows top to bottom
    int32_t pitch = 0;                // bytes from one row to the next
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = 0;                // display format code 2 to 8
    const uint32_t* palette = nullptr;  // Palette8: 256 colours 0x00RRGGBB
    // Optional: writes the picture converted to XRGB8888 into out (rows top to bottom, outPitch
    // bytes apart). A renderer that draws in software then gets an XRGB8888 texture written
    // through it, one converting pass in place of the renderer's own conversion.
    void (*writeXrgb8888)(const PresentPicture& picture, uint8_t* out, int32_t outPitch) = nullptr;
};

struct PresentRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};
// Where a picture of pictureW x pictureH goes in an output of outW x outH when letterboxed:
// the largest size of the picture's shape that fits, centred. Empty for an empty input.
PresentRect LetterboxRect(int32_t pictureW, int32_t pictureH, int32_t outW, int32_t outH);

class DisplayPresenter {
public:
    // Over a window's SDL window, on the window's thread. The renderer is the one the window was
    // made for (render_driver.h: SDL's software one where the display's OpenGL is a software
    // rasterizer or SDL_RENDER_DRIVER=software). Null when the window is unknown here or SDL refuses
    // a renderer (the reason in *error when given).
    static std::unique_ptr<DisplayPresenter> CreateForWindow(WindowHandle window,
                                                             std::string* error = nullptr);
    // A software renderer over an output of our own of the given size (1 to 16384 a side).
    static std::unique_ptr<DisplayPresenter> CreateOffscreen(int32_t outW, int32_t outH,
                                                             std::string* error = nullptr);
    ~DisplayPresenter();
    DisplayPresenter(const DisplayPresenter&) = delete;
    DisplayPresenter& operator=(const DisplayPresenter&) = delete;

    // Copies the picture into the streaming texture (made again when the format or size
    // changed) and shows it in the output's LetterboxRect; a software renderer showing it at 1:1
    // on an XRGB8888 output gets it written straight onto that output. False, with the reason in LastError, for a picture
    // that is not a display format with pixels (or a Palette8 one without palette) or when SDL fails.
    // A window another program destroyed gets nothing through a graphics driver once its notice
    // is read, nor before where the draw holds the X server; and that is no failure: it is closing.
    bool Present(const PresentPicture& picture);

    // What the output shows now, as 0x00RRGGBB words row by row. False when SDL cannot read.
    bool ReadOutput(std::vector<uint32_t>& out, int32_t& width, int32_t& height);
    // The output's size in pixels.
    bool GetOutputSize(int32_t& width, int32_t& height) const;
    // The SDL format of the texture now held (0 before the first present).
    uint32_t TextureFormat() const { return textureFormat_; }
    const std::string& LastError() const { return error_; }

private:
    DisplayPresenter() = default;
    bool Fail(const char* what);
    bool EnsureTexture(uint32_t format, int32_t width, int32_t height);
    // The output itself when a software renderer shows the picture at 1:1 on XRGB8888 and the
    // picture can be written as XRGB8888; null otherwise (the picture goes through the texture).
    SDL_Surface* DirectOutput(const PresentPicture& picture);
    // The picture through the texture onto the output, and the output shown.
    bool Draw(const PresentPicture& picture);
    // The picture's rows into out: through writeXrgb8888 when toXrgb8888 (a Palette8 picture
    // always through its palette), else as they are.
    static void WritePixels(const PresentPicture& picture, uint8_t* out, int32_t pitch, bool toXrgb8888);

    WindowHandle window_ = 0;
    SDL_Window* sdlWindow_ = nullptr;  // the window's, when window-backed
    SDL_Surface* output_ = nullptr;    // ours, when offscreen
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    bool software_ = false;  // the renderer draws in software onto a 32-bit output
    bool accelerated_ = false;  // it draws through a graphics driver (OpenGL), not the X server
    bool holdServer_ = false;   // and with the X server held (render_driver.h)
    uint32_t textureFormat_ = 0;
    int32_t textureW_ = 0, textureH_ = 0;
    std::string error_;
};

}  // namespace morna::platform

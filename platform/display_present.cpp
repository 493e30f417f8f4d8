#include "platform/display_present.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/render_driver.h"
#include "platform/x11_window.h"

namespace morna::platform {

namespace {

constexpr int32_t kMaxSide = 16384;

int32_t SourceBytesPerPixel(int32_t format) {
    switch (format) {
    case kPresentPalette8: return 1;
    case kPresentRGB565:
    case kPresentRGB555: return 2;
    case kPresentRGB888:
    case kPresentBGR888: return 3;
    case kPresentXRGB8888:
    case kPresentXBGR8888: return 4;
    default: return 0;
    }
}

}  // namespace

uint32_t PresentTextureFormat(int32_t displayFormat) {
    switch (displayFormat) {
    case kPresentPalette8: return SDL_PIXELFORMAT_XRGB8888;
    case kPresentRGB565: return SDL_PIXELFORMAT_RGB565;
    case kPresentRGB555: return SDL_PIXELFORMAT_RGB555;
    case kPresentRGB888: return SDL_PIXELFORMAT_BGR24;
    case kPresentBGR888: return SDL_PIXELFORMAT_RGB24;
    case kPresentXRGB8888: return SDL_PIXELFORMAT_XRGB8888;
    case kPresentXBGR8888: return SDL_PIXELFORMAT_XBGR8888;
    default: return 0;
    }
}

PresentRect LetterboxRect(int32_t pictureW, int32_t pictureH, int32_t outW, int32_t outH) {
    PresentRect r;
    if (pictureW <= 0 || pictureH <= 0 || outW <= 0 || outH <= 0) return r;
    // Compare the shapes in 64 bits: pictureW * outH against outW * pictureH.
    if (int64_t{outW} * pictureH <= int64_t{outH} * pictureW) {
        r.width = outW;
        r.height = static_cast<int32_t>(int64_t{pictureH} * outW / pictureW);
    } else {
        r.height = outH;
        r.width = static_cast<int32_t>(int64_t{pictureW} * outH / pictureH);
    }
    r.x = (outW - r.width) / 2;
    r.y = (outH - r.height) / 2;
    return r;
}

std::unique_ptr<DisplayPresenter> DisplayPresenter::CreateForWindow(WindowHandle window,
                                                                     std::string* error) {
    SDL_Window* sdl = GetSdlWindow(window);
    if (sdl == nullptr) {
        if (error) *error = "no SDL window for this handle on this thread";
        return nullptr;
    }
    // A window has one renderer, so a second presenter of the same window is refused here.
    bool holdServer = false;
    SDL_Renderer* renderer = CreateWindowRenderer(sdl, &holdServer);
    if (renderer == nullptr) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<DisplayPresenter> p(new DisplayPresenter);
    p->window_ = window;
    p->sdlWindow_ = sdl;
    p->renderer_ = renderer;
    SDL_RendererInfo info;
    const bool known = SDL_GetRendererInfo(renderer, &info) == 0;
    p->software_ = known && (info.flags & SDL_RENDERER_SOFTWARE) != 0 && SDL_BYTESPERPIXEL(SDL_GetWindowPixelFormat(sdl)) == 4;
    p->accelerated_ = known && (info.flags & SDL_RENDERER_ACCELERATED) != 0;
    p->holdServer_ = p->accelerated_ && holdServer;
    return p;
}

std::unique_ptr<DisplayPresenter> DisplayPresenter::CreateOffscreen(int32_t outW, int32_t outH,
                                                                     std::string* error) {
    if (outW < 1 || outH < 1 || outW > kMaxSide || outH > kMaxSide) {
        if (error) *error = "output size out of range";
        return nullptr;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, outW, outH, 32, SDL_PIXELFORMAT_XRGB8888);
    if (surface == nullptr) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    if (renderer == nullptr) {
        if (error) *error = SDL_GetError();
        SDL_FreeSurface(surface);
        return nullptr;
    }
    std::unique_ptr<DisplayPresenter> p(new DisplayPresenter);
    p->output_ = surface;
    p->renderer_ = renderer;
    p->software_ = true;
    return p;
}

DisplayPresenter::~DisplayPresenter() {
    if (sdlWindow_ != nullptr) {
        // A destroyed window took its renderer and textures with it.
        if (GetSdlWindow(window_) != sdlWindow_) return;
    }
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (output_ != nullptr) SDL_FreeSurface(output_);
}

bool DisplayPresenter::Fail(const char* what) {
    error_ = what;
    const char* sdl = SDL_GetError();
    if (sdl != nullptr && *sdl != '\0') {
        error_ += ": ";
        error_ += sdl;
    }
    return false;
}

bool DisplayPresenter::EnsureTexture(uint32_t format, int32_t width, int32_t height) {
    if (texture_ != nullptr && textureFormat_ == format && textureW_ == width && textureH_ == height)
        return true;
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture_ == nullptr) {
        textureFormat_ = 0;
        return false;
    }
    // Pixels stay pixels at 1:1 and grow as blocks when scaled up.
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    textureFormat_ = format;
    textureW_ = width;
    textureH_ = height;
    return true;
}

SDL_Surface* DisplayPresenter::DirectOutput(const PresentPicture& picture) {
    if (!software_) return nullptr;
    const bool xrgb = picture.format == kPresentXRGB8888 || picture.format == kPresentPalette8 ||
                      picture.writeXrgb8888 != nullptr;
    if (!xrgb) return nullptr;
    // The software renderer of a window draws onto the window's surface: the same surface.
    SDL_Surface* out = output_ != nullptr ? output_ : SDL_GetWindowSurface(sdlWindow_);
    if (out == nullptr || out->w != picture.width || out->h != picture.height ||
        out->format->format != SDL_PIXELFORMAT_XRGB8888)
        return nullptr;
    return out;
}

void DisplayPresenter::WritePixels(const PresentPicture& picture, uint8_t* out, int32_t pitch, bool toXrgb8888) {
    const size_t rowBytes = static_cast<size_t>(picture.width) * SourceBytesPerPixel(picture.format);
    if (toXrgb8888 && picture.format != kPresentPalette8 && picture.format != kPresentXRGB8888) {
        picture.writeXrgb8888(picture, out, pitch);
    } else if (picture.format != kPresentPalette8 && static_cast<size_t>(pitch) == rowBytes &&
               static_cast<size_t>(picture.pitch) == rowBytes) {
        std::memcpy(out, picture.pixels, rowBytes * picture.height);
    } else {
        for (int32_t y = 0; y < picture.height; ++y) {
            const uint8_t* s = picture.pixels + static_cast<ptrdiff_t>(y) * picture.pitch;
            uint8_t* d = out + static_cast<ptrdiff_t>(y) * pitch;
            if (picture.format == kPresentPalette8) {
                auto* d32 = reinterpret_cast<uint32_t*>(d);
                for (int32_t x = 0; x < picture.width; ++x) d32[x] = picture.palette[s[x]] & 0x00FFFFFFu;
            } else {
                std::memcpy(d, s, rowBytes);
            }
        }
    }
}

bool DisplayPresenter::Present(const PresentPicture& picture) {
    // The OpenGL driver would draw for a drawable that is gone: Mesa's software one was seen to
    // spend seconds there, and the window's close, already on its way, waited for it. SDL's
    // software renderer draws through the X server, whose requests on the gone window fail at once
    // and go unlogged. A destroy not read yet is met below where the draw holds the server (an
    // OpenGL the player named over a GL driver not known to be a device's, render_driver.h).
    if (accelerated_ && DestroyedOutside(window_)) return true;
    if (sdlWindow_ != nullptr && GetSdlWindow(window_) != sdlWindow_) {
        sdlWindow_ = nullptr;  // the window is gone, and its renderer with it
        renderer_ = nullptr;
        texture_ = nullptr;
    }
    if (renderer_ == nullptr) {
        error_ = "no renderer";
        return false;
    }
    int32_t srcBytes = SourceBytesPerPixel(picture.format);
    if (srcBytes == 0 || picture.pixels == nullptr || picture.width < 1 || picture.height < 1 ||
        picture.width > kMaxSide || picture.height > kMaxSide ||
        picture.pitch < picture.width * srcBytes ||
        (picture.format == kPresentPalette8 && picture.palette == nullptr)) {
        error_ = "not a picture in a display format";
        return false;
    }
    SDL_ClearError();
    if (SDL_Surface* direct = DirectOutput(picture)) {
        // One pass straight into the output: no texture, no renderer copy.
        if (SDL_MUSTLOCK(direct) && SDL_LockSurface(direct) != 0) return Fail("SDL_LockSurface");
        WritePixels(picture, static_cast<uint8_t*>(direct->pixels), direct->pitch, true);
        if (SDL_MUSTLOCK(direct)) SDL_UnlockSurface(direct);
        SDL_RenderPresent(renderer_);
        error_.clear();
        return true;
    }
    if (holdServer_ && sdlWindow_ != nullptr) {
        bool drawn = false;
        if (!x11::DrawHeld(sdlWindow_, [&] { drawn = Draw(picture); })) return true;  // gone: it is closing
        return drawn;
    }
    return Draw(picture);
}

bool DisplayPresenter::Draw(const PresentPicture& picture) {
    const bool convert = picture.writeXrgb8888 != nullptr && software_ && picture.format != kPresentPalette8 &&
                         picture.format != kPresentXRGB8888;
    uint32_t format = convert ? uint32_t{SDL_PIXELFORMAT_XRGB8888} : PresentTextureFormat(picture.format);
    if (!EnsureTexture(format, picture.width, picture.height)) return Fail("SDL_CreateTexture");

    void* dst = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &dst, &pitch) != 0) return Fail("SDL_LockTexture");
    WritePixels(picture, static_cast<uint8_t*>(dst), pitch, convert);
    SDL_UnlockTexture(texture_);

    // The picture goes where LetterboxRect puts it: 1:1 or stretched evenly over an output of its
    // shape, and letterboxed in black bands over one of another shape, whatever made the output
    // so (full screen on a desktop of another shape, a window the manager sized). The bands alone
    // are cleared.
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) return Fail("SDL_GetRendererOutputSize");
    const PresentRect r = LetterboxRect(picture.width, picture.height, outW, outH);
    const SDL_Rect bands[4] = {{0, 0, outW, r.y},
                               {0, r.y + r.height, outW, outH - r.y - r.height},
                               {0, r.y, r.x, r.height},
                               {r.x + r.width, r.y, outW - r.x - r.width, r.height}};
    for (const SDL_Rect& band : bands) {
        if (band.w > 0 && band.h > 0 && SDL_RenderFillRect(renderer_, &band) != 0) return Fail("SDL_RenderFillRect");
    }
    const SDL_Rect to{r.x, r.y, r.width, r.height};
    const int rc = SDL_RenderCopy(renderer_, texture_, nullptr, &to);
    if (rc != 0) return Fail("SDL_RenderCopy");
    SDL_RenderPresent(renderer_);
    error_.clear();
    return true;
}

bool DisplayPresenter::GetOutputSize(int32_t& width, int32_t& height) const {
    int w = 0, h = 0;
    if (renderer_ == nullptr || SDL_GetRendererOutputSize(renderer_, &w, &h) != 0) return false;
    width = w;
    height = h;
    return true;
}

bool DisplayPresenter::ReadOutput(std::vector<uint32_t>& out, int32_t& width, int32_t& height) {
    if (output_ != nullptr) {
        // Our own output: read the memory the software renderer drew into.
        width = output_->w;
        height = output_->h;
        out.resize(static_cast<size_t>(width) * height);
        for (int32_t y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(output_->pixels) +
                                                                static_cast<ptrdiff_t>(y) * output_->pitch);
            for (int32_t x = 0; x < width; ++x) out[static_cast<size_t>(y) * width + x] = row[x] & 0x00FFFFFFu;
        }
        return true;
    }
    if (!GetOutputSize(width, height)) return false;
    out.resize(static_cast<size_t>(width) * height);
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_XRGB8888, out.data(), width * 4) != 0)
        return Fail("SDL_RenderReadPixels");
    for (auto& p : out) p &= 0x00FFFFFFu;
    return true;
}

}  // namespace morna::platform

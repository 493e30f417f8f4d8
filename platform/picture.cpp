#include "platform/picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/dib.h"

namespace morna::platform {
namespace {

uint32_t Be16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]); }

bool PeekPng(const uint8_t* d, size_t n, int32_t& w, int32_t& h) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n < 24 || std::memcmp(d, kSignature, 8) != 0 || std::memcmp(d + 12, "IHDR", 4) != 0) return false;
    const uint32_t pw = Be32(d + 16), ph = Be32(d + 20);
    if (pw > 0x7FFFFFFF || ph > 0x7FFFFFFF) return false;
    w = static_cast<int32_t>(pw), h = static_cast<int32_t>(ph);
    return true;
}

bool PeekJpeg(const uint8_t* d, size_t n, int32_t& w, int32_t& h) {
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return false;
    size_t pos = 2;
    while (pos + 1 < n) {
        if (d[pos] != 0xFF) return false;
        const uint8_t m = d[pos + 1];
        pos += 2;
        if (m == 0xFF) {  // fill byte
            --pos;
            continue;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) continue;  // markers without a segment
        if (m == 0xD9 || m == 0xDA) return false;            // no frame header before the scan
        if (pos + 2 > n) return false;
        const size_t length = Be16(d + pos);
        if (length < 2) return false;
        const bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (frame) {
            if (pos + 7 > n || length < 7) return false;
            h = static_cast<int32_t>(Be16(d + pos + 3));
            w = static_cast<int32_t>(Be16(d + pos + 5));
            return true;
        }
        pos += length;
    }
    return false;
}

bool PeekGif(const uint8_t* d, size_t n, int32_t& w, int32_t& h) {
    if (n < 13 || (std::memcmp(d, "GIF87a", 6) != 0 && std::memcmp(d, "GIF89a", 6) != 0)) return false;
    size_t pos = 13;
    if (d[10] & 0x80) pos += size_t{3} << ((d[10] & 7) + 1);
    while (pos < n) {
        const uint8_t kind = d[pos++];
        if (kind == 0x2C) {  // image descriptor: left, top, width, height
            if (pos + 8 > n) return false;
            // The larger of the image and the logical screen, so the limit covers both.
            w = std::max(d[pos + 4] | d[pos + 5] << 8, d[6] | d[7] << 8);
            h = std::max(d[pos + 6] | d[pos + 7] << 8, d[8] | d[9] << 8);
            return true;
        }
        if (kind != 0x21 || pos >= n) return false;  // only extensions may come first
        ++pos;                                       // the extension's label
        while (pos < n && d[pos] != 0) pos += size_t{d[pos]} + 1;
        ++pos;
    }
    return false;
}

}  // namespace

bool PeekPictureSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
    if (!data) return false;
    return PeekPng(data, size, width, height) || PeekJpeg(data, size, width, height) ||
           PeekGif(data, size, width, height);
}

std::unique_ptr<Picture> Picture::Decode(const uint8_t* data, size_t size, std::string* why) {
    auto fail = [why](const std::string& reason) -> std::unique_ptr<Picture> {
        if (why) *why = reason;
        return nullptr;
    };
    int32_t w = 0, h = 0;
    if (!PeekPictureSize(data, size, w, h)) return fail("not a PNG, JPEG or GIF picture");
    if (!PictureSizeAllowed(w, h)) return fail("picture too large");
    if (size > static_cast<size_t>(INT32_MAX)) return fail("picture data too long");
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return fail(SDL_GetError());
    SDL_Surface* decoded = IMG_Load_RW(rw, 1);
    if (!decoded) return fail(IMG_GetError());
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(decoded);
    if (!argb) return fail(SDL_GetError());
    std::unique_ptr<Picture> p(new (std::nothrow) Picture);
    if (!p || !PictureSizeAllowed(argb->w, argb->h)) {
        SDL_FreeSurface(argb);
        return fail(p ? "decoded picture too large" : "no memory");
    }
    p->width_ = argb->w;
    p->height_ = argb->h;
    try {
        p->pixels_.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
    } catch (const std::bad_alloc&) {
        SDL_FreeSurface(argb);
        return fail("no memory");
    }
    if (SDL_LockSurface(argb) == 0) {
        for (int y = 0; y < argb->h; ++y)
            std::memcpy(&p->pixels_[static_cast<size_t>(y) * argb->w],
                        static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch,
                        static_cast<size_t>(argb->w) * 4);
        SDL_UnlockSurface(argb);
    }
    SDL_FreeSurface(argb);
    return p;
}

bool Picture::Render(DeviceContext& dc, int32_t x, int32_t y) const {
    DibSection* target = dc.SelectedBitmap();
    if (!target) return false;
    for (int32_t py = 0; py < height_; ++py) {
        const int64_t ty = int64_t{y} + py;
        if (ty < 0 || ty >= target->Height()) continue;
        for (int32_t px = 0; px < width_; ++px) {
            const int64_t tx = int64_t{x} + px;
            if (tx < 0 || tx >= target->Width()) continue;
            const uint32_t c = pixels_[static_cast<size_t>(py) * width_ + px];
            const uint32_t a = c >> 24;
            if (a == 0) continue;
            uint32_t out = c & 0xFFFFFF;
            if (a != 255) {
                const uint32_t under = target->Read(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
                out = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    const uint32_t s = c >> shift & 0xFF, d = under >> shift & 0xFF;
                    out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
                }
            }
            target->Write(static_cast<int32_t>(tx), static_cast<int32_t>(ty), out);
        }
    }
    return true;
}

}  // namespace morna::platform

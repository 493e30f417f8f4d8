#include "platform/picture.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <span>

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

// A GIF's first image is composed over its logical screen, grown where the image reaches
// beyond it, so nothing of the image is lost.
void GifCanvas(int32_t screenW, int32_t screenH, int32_t left, int32_t top, int32_t w, int32_t h, int32_t& cw,
               int32_t& ch) {
    cw = std::max(screenW, left + w);
    ch = std::max(screenH, top + h);
}

bool PeekGif(const uint8_t* d, size_t n, int32_t& w, int32_t& h) {
    if (n < 13 || (std::memcmp(d, "GIF87a", 6) != 0 && std::memcmp(d, "GIF89a", 6) != 0)) return false;
    size_t pos = 13;
    if (d[10] & 0x80) pos += size_t{3} << ((d[10] & 7) + 1);
    auto le16 = [d](size_t at) { return static_cast<int32_t>(d[at] | d[at + 1] << 8); };
    while (pos < n) {
        const uint8_t kind = d[pos++];
        if (kind == 0x2C) {  // image descriptor: left, top, width, height
            if (pos + 8 > n) return false;
            GifCanvas(le16(6), le16(8), le16(pos), le16(pos + 2), le16(pos + 4), le16(pos + 6), w, h);
            return true;
        }
        if (kind != 0x21 || pos >= n) return false;  // only extensions may come first
        ++pos;                                       // the extension's label
        while (pos < n && d[pos] != 0) pos += size_t{d[pos]} + 1;
        ++pos;
    }
    return false;
}

enum class Format { kNone, kPng, kJpeg, kGif };

Format Peek(const uint8_t* d, size_t n, int32_t& w, int32_t& h) {
    if (!d) return Format::kNone;
    if (PeekPng(d, n, w, h)) return Format::kPng;
    if (PeekJpeg(d, n, w, h)) return Format::kJpeg;
    if (PeekGif(d, n, w, h)) return Format::kGif;
    return Format::kNone;
}

struct GifSource {
    const uint8_t* data;
    size_t size, pos;
};

int ReadGif(GifFileType* gif, GifByteType* out, int n) {
    auto* src = static_cast<GifSource*>(gif->UserData);
    const size_t k = std::min(static_cast<size_t>(std::max(n, 0)), src->size - src->pos);
    std::memcpy(out, src->data + src->pos, k);
    src->pos += k;
    return static_cast<int>(k);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

const char* GifError(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "damaged GIF";
}

}  // namespace

bool PeekPictureSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
    return Peek(data, size, width, height) != Format::kNone;
}

std::unique_ptr<Picture> Picture::Decode(const uint8_t* data, size_t size, std::string* why) {
    std::string reason;
    int32_t w = 0, h = 0;
    const Format format = Peek(data, size, w, h);
    if (format == Format::kNone) {
        reason = "not a PNG, JPEG or GIF picture";
    } else if (!PictureSizeAllowed(w, h)) {
        reason = "picture empty or too large";
    } else {
        try {
            std::unique_ptr<Picture> p(new Picture);
            if (format == Format::kGif ? p->DecodeGif(data, size, reason)
                                       : p->DecodeWithSdl(data, size, format == Format::kPng, reason))
                return p;
        } catch (const std::bad_alloc&) {
            reason = "no memory";
        }
    }
    if (why) *why = reason;
    return nullptr;
}

// Only the first image is read (record by record, not slurped): later frames are never shown,
// and each could declare a raster of 65535 x 65535 that would be allocated before its data.
bool Picture::DecodeGif(const uint8_t* data, size_t size, std::string& why) {
    GifSource src{data, size, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&src, ReadGif, &error));
    if (!gif) return why = GifError(error), false;
    GifFileType* g = gif.get();
    auto failed = [&why, g] { return why = GifError(g->Error), false; };
    int transparent = NO_TRANSPARENT_COLOR;
    for (GifRecordType type = UNDEFINED_RECORD_TYPE; type != IMAGE_DESC_RECORD_TYPE;) {
        if (DGifGetRecordType(g, &type) == GIF_ERROR) return failed();
        if (type == TERMINATE_RECORD_TYPE) return why = "GIF without an image", false;
        if (type != EXTENSION_RECORD_TYPE) continue;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(g, &code, &block) == GIF_ERROR) return failed();
        GraphicsControlBlock gcb;
        if (code == GRAPHICS_EXT_FUNC_CODE && block)  // the last one before the image applies
            transparent = DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK ? gcb.TransparentColor
                                                                                 : NO_TRANSPARENT_COLOR;
        while (block)
            if (DGifGetExtensionNext(g, &block) == GIF_ERROR) return failed();
    }
    if (DGifGetImageDesc(g) == GIF_ERROR) return failed();
    const GifImageDesc& image = g->Image;
    if (image.Width <= 0 || image.Height <= 0) return why = "GIF image without pixels", false;
    GifCanvas(g->SWidth, g->SHeight, image.Left, image.Top, image.Width, image.Height, width_, height_);
    if (!PictureSizeAllowed(width_, height_)) return why = "picture too large", false;
    const ColorMapObject* map = image.ColorMap ? image.ColorMap : g->SColorMap;
    if (!map || !map->Colors) return why = "GIF image without a colour table", false;

    // Indices beyond the table are black; the transparent index and the screen outside the
    // image stay clear.
    uint32_t palette[256];
    std::fill(std::begin(palette), std::end(palette), 0xFF000000u);
    for (int i = 0; i < std::min(map->ColorCount, 256); ++i) {
        const GifColorType& c = map->Colors[i];
        palette[i] = 0xFF000000u | uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
    }
    if (transparent >= 0 && transparent < 256) palette[transparent] = 0;
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    std::vector<GifPixelType> row(static_cast<size_t>(image.Width));

    struct Pass {
        int first, step;
    };
    static const Pass kInterlaced[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}}, kSequential[] = {{0, 1}};
    for (const Pass& pass : image.Interlace ? std::span<const Pass>(kInterlaced) : std::span<const Pass>(kSequential))
        for (int y = pass.first; y < image.Height; y += pass.step) {
            if (DGifGetLine(g, row.data(), image.Width) == GIF_ERROR) return failed();
            uint32_t* out = &pixels_[static_cast<size_t>(image.Top + y) * width_ + image.Left];
            for (int x = 0; x < image.Width; ++x) out[x] = palette[row[x]];
        }
    return true;
}

// PNG and JPEG go to their own readers, so content detection never hands them anything else.
bool Picture::DecodeWithSdl(const uint8_t* data, size_t size, bool png, std::string& why) {
    if (size > static_cast<size_t>(INT32_MAX)) return why = "picture data too long", false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return why = SDL_GetError(), false;
    using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;
    Surface decoded(png ? IMG_LoadPNG_RW(rw) : IMG_LoadJPG_RW(rw), SDL_FreeSurface);
    SDL_RWclose(rw);
    if (!decoded) return why = IMG_GetError(), false;
    Surface argb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0), SDL_FreeSurface);
    if (!argb) return why = SDL_GetError(), false;
    if (!PictureSizeAllowed(argb->w, argb->h)) return why = "decoded picture too large", false;
    if (SDL_LockSurface(argb.get()) != 0) return why = SDL_GetError(), false;
    width_ = argb->w;
    height_ = argb->h;
    pixels_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    for (int y = 0; y < height_; ++y)
        std::memcpy(&pixels_[static_cast<size_t>(y) * width_],
                    static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch,
                    static_cast<size_t>(width_) * 4);
    SDL_UnlockSurface(argb.get());
    return true;
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

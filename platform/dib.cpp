#include "platform/dib.h"

#include <climits>
#include <cstring>
#include <new>

namespace morna::platform {
namespace {

uint32_t ReadU32(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | uint32_t{p[3]} << 24; }

}  // namespace

bool PictureSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

uint64_t DibStride(int64_t width, int64_t bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
}

// ---- DibView

bool DibView::MakeField(uint32_t mask, Field& f) {
    f = Field{};
    if (mask == 0) return true;
    int shift = 0;
    while (!((mask >> shift) & 1u)) ++shift;
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u)) ++bits;
    if (shift + bits < 32 && (mask >> (shift + bits)) != 0) return false;  // not one run of bits
    f = Field{mask, shift, bits};
    return true;
}

uint32_t DibView::MaskedColour(uint32_t v) const {
    auto channel = [v](const Field& f) -> uint32_t {
        if (f.bits == 0) return 0;
        const uint32_t c = (v & f.mask) >> f.shift;
        return f.bits >= 8 ? c >> (f.bits - 8) : c << (8 - f.bits);
    };
    return channel(red_) << 16 | channel(green_) << 8 | channel(blue_);
}

bool DibView::Parse(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize, std::string* why) {
    auto fail = [why](const char* reason) {
        if (why) *why = reason;
        return false;
    };
    if (!info || infoSize < sizeof(BitmapInfoHeader)) return fail("info header missing");
    std::memcpy(&header_, info, sizeof header_);
    if (header_.size < sizeof(BitmapInfoHeader) || header_.size > infoSize) return fail("bad info header size");
    if (header_.width <= 0 || header_.height == 0 || header_.height == INT32_MIN) return fail("bad size");
    width_ = header_.width;
    topDown_ = header_.height < 0;
    height_ = topDown_ ? -header_.height : header_.height;
    bitCount_ = header_.bitCount;
    compression_ = header_.compression;
    bits_ = bits;
    bitsSize_ = bitsSize;
    palette_.clear();
    if (!bits) return fail("no bits");

    switch (compression_) {
        case kDibRgb:
            if (bitCount_ != 1 && bitCount_ != 4 && bitCount_ != 8 && bitCount_ != 16 && bitCount_ != 24 &&
                bitCount_ != 32)
                return fail("bad bit count");
            break;
        case kDibRle8:
        case kDibRle4:
            if (bitCount_ != (compression_ == kDibRle8 ? 8 : 4)) return fail("bad bit count for RLE");
            if (topDown_) return fail("top-down RLE");
            // The size of an RLE picture does not follow from its bytes.
            if (!PictureSizeAllowed(width_, height_)) return fail("RLE picture too large");
            break;
        case kDibBitfields:
            if (bitCount_ != 16 && bitCount_ != 32) return fail("bad bit count for masks");
            break;
        default:
            return fail("unknown compression");
    }

    size_t tableAt = header_.size;
    if (compression_ == kDibBitfields) {
        // A plain 40-byte header is followed by the three masks; larger ones hold them.
        const size_t masksAt = header_.size == sizeof(BitmapInfoHeader) ? header_.size : sizeof(BitmapInfoHeader);
        if (infoSize < masksAt + 12) return fail("masks missing");
        if (!MakeField(ReadU32(info + masksAt), red_) || !MakeField(ReadU32(info + masksAt + 4), green_) ||
            !MakeField(ReadU32(info + masksAt + 8), blue_))
            return fail("masks not contiguous");
        if (header_.size == sizeof(BitmapInfoHeader)) tableAt += 12;
    } else if (bitCount_ == 16) {
        MakeField(0x7C00, red_), MakeField(0x03E0, green_), MakeField(0x001F, blue_);
    } else if (bitCount_ == 32) {
        MakeField(0xFF0000, red_), MakeField(0x00FF00, green_), MakeField(0x0000FF, blue_);
    }

    if (bitCount_ <= 8) {
        const uint32_t full = 1u << bitCount_;
        const uint32_t count = header_.clrUsed == 0 || header_.clrUsed > full ? full : header_.clrUsed;
        if (tableAt > infoSize || (infoSize - tableAt) / 4 < count) return fail("colour table missing");
        palette_.resize(count);
        for (uint32_t i = 0; i < count; ++i) palette_[i] = ReadU32(info + tableAt + 4 * i) & 0xFFFFFFu;
    }

    if (compression_ == kDibRgb || compression_ == kDibBitfields) {
        const uint64_t need = DibStride(width_, bitCount_) * static_cast<uint64_t>(height_);
        if (need > bitsSize) return fail("pixel data truncated");
    } else if (header_.sizeImage != 0 && header_.sizeImage < bitsSize_) {
        bitsSize_ = header_.sizeImage;
    }
    return true;
}

// ---- DibSection

std::unique_ptr<DibSection> DibSection::Create(int32_t width, int32_t height, int32_t bitCount, bool topDown,
                                               const RgbQuad* colours, int32_t colourCount) {
    if (bitCount == 15) bitCount = 16;
    if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) return nullptr;
    if (!PictureSizeAllowed(width, height)) return nullptr;
    std::unique_ptr<DibSection> d(new (std::nothrow) DibSection);
    if (!d) return nullptr;
    d->width_ = width;
    d->height_ = height;
    d->bitCount_ = bitCount;
    d->stride_ = static_cast<int32_t>(DibStride(width, bitCount));
    d->topDown_ = topDown;
    try {
        d->pixels_.assign(static_cast<size_t>(d->stride_) * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int32_t i = 0; colours && i < colourCount && i < 256; ++i)
        d->palette_[i] = uint32_t{colours[i].red} << 16 | uint32_t{colours[i].green} << 8 | colours[i].blue;
    return d;
}

uint32_t DibSection::Read(int32_t x, int32_t y) const {
    const uint8_t* p = Row(y);
    switch (bitCount_) {
        case 8: return palette_[p[x]];
        case 16: {
            const uint32_t w = static_cast<uint32_t>(p[2 * x] | p[2 * x + 1] << 8);
            return (w >> 7 & 0xF8) << 16 | (w >> 2 & 0xF8) << 8 | (w << 3 & 0xF8);
        }
        case 24: return static_cast<uint32_t>(p[3 * x] | p[3 * x + 1] << 8 | p[3 * x + 2] << 16);
        default: return static_cast<uint32_t>(p[4 * x] | p[4 * x + 1] << 8 | p[4 * x + 2] << 16);
    }
}

void DibSection::Write(int32_t x, int32_t y, uint32_t rgb) {
    uint8_t* p = Row(y);
    const uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    switch (bitCount_) {
        case 8: {
            int best = 0;
            uint32_t bestDistance = UINT32_MAX;
            for (int i = 0; i < 256 && bestDistance != 0; ++i) {
                const int dr = static_cast<int>(palette_[i] >> 16 & 0xFF) - static_cast<int>(r);
                const int dg = static_cast<int>(palette_[i] >> 8 & 0xFF) - static_cast<int>(g);
                const int db = static_cast<int>(palette_[i] & 0xFF) - static_cast<int>(b);
                const uint32_t d = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
                if (d < bestDistance) bestDistance = d, best = i;
            }
            p[x] = static_cast<uint8_t>(best);
            break;
        }
        case 16: {
            const uint32_t w = (r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3;
            p[2 * x] = static_cast<uint8_t>(w);
            p[2 * x + 1] = static_cast<uint8_t>(w >> 8);
            break;
        }
        case 24:
            p[3 * x] = static_cast<uint8_t>(b), p[3 * x + 1] = static_cast<uint8_t>(g), p[3 * x + 2] = static_cast<uint8_t>(r);
            break;
        default:
            p[4 * x] = static_cast<uint8_t>(b), p[4 * x + 1] = static_cast<uint8_t>(g), p[4 * x + 2] = static_cast<uint8_t>(r);
            p[4 * x + 3] = 0;
            break;
    }
}

// ---- DeviceContext

namespace {
uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }
}  // namespace

uint32_t DeviceContext::GetPixel(int32_t x, int32_t y) const {
    if (!bitmap_ || x < 0 || y < 0 || x >= bitmap_->Width() || y >= bitmap_->Height()) return kInvalidColour;
    return SwapRedBlue(bitmap_->Read(x, y));
}

uint32_t DeviceContext::SetPixel(int32_t x, int32_t y, uint32_t colorref) {
    if (!bitmap_ || x < 0 || y < 0 || x >= bitmap_->Width() || y >= bitmap_->Height()) return kInvalidColour;
    bitmap_->Write(x, y, SwapRedBlue(colorref & 0xFFFFFF));
    return SwapRedBlue(bitmap_->Read(x, y));
}

int32_t DrawDibBits(DeviceContext& dc, int32_t x, int32_t y, const uint8_t* info, size_t infoSize,
                    const uint8_t* bits, size_t bitsSize, std::string* why) {
    DibSection* target = dc.SelectedBitmap();
    if (!target) {
        if (why) *why = "no bitmap selected";
        return 0;
    }
    DibView dib;
    if (!dib.Parse(info, infoSize, bits, bitsSize, why)) return 0;
    const int64_t w = target->Width(), h = target->Height();
    dib.ForEachPixel([&](int32_t px, int32_t py, uint32_t rgb) {
        const int64_t tx = int64_t{x} + px, ty = int64_t{y} + py;
        if (tx >= 0 && ty >= 0 && tx < w && ty < h) target->Write(static_cast<int32_t>(tx), static_cast<int32_t>(ty), rgb);
    });
    return dib.Height();
}

}  // namespace morna::platform

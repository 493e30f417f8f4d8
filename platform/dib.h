#pragma once
// Device-independent bitmaps and the small software drawing context that the drawing core
// needs over them: a bitmap with pixels in memory (what a DIB section was), a memory device
// context that selects one, pixel reads and writes in COLORREF (0x00BBGGRR), and the drawing
// of packed DIB pixels (BMP files, plug-in output) onto the selected bitmap.
//
// Accepted DIBs: a 40-byte info header (or a larger one whose colour masks follow at byte 40);
// 1, 4 and 8 bits with a colour table; 16 and 32 bits plain (5-5-5 and X-8-8-8) or with
// colour masks; 24 bits; RLE8 and RLE4. Uncompressed pictures with a negative height run top
// down and are |height| rows high; RLE pictures run bottom-up only.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morna::platform {

// The 40-byte header that starts the info block of a DIB, as stored (little endian).
struct BitmapInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // negative: rows top down
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "the stored header is 40 bytes");

// A colour-table entry as stored: blue, green, red, reserved.
struct RgbQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

enum DibCompression : uint32_t {
    kDibRgb = 0,
    kDibRle8 = 1,
    kDibRle4 = 2,
    kDibBitfields = 3,
};

// The largest picture whose size does not follow from the bytes that hold it (RLE bitmaps,
// decoded pictures, plug-in output): at most this many pixels a side and in all.
constexpr int32_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;
bool PictureSizeAllowed(int64_t width, int64_t height);

// Bytes of one stored DIB row: bits rounded up to whole 32-bit words. 0 for a width or bit
// count that is not positive.
uint64_t DibStride(int64_t width, int64_t bitCount);

// A packed DIB read in place: info block (header, masks, colour table) and pixel bits, each
// with the number of bytes available. Nothing is owned.
class DibView {
public:
    // Checks everything that drawing will read against the bytes given. False, with the
    // reason in *why, for a picture that cannot be drawn safely.
    bool Parse(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize, std::string* why);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }  // rows, always positive
    bool TopDown() const { return topDown_; }
    int32_t BitCount() const { return bitCount_; }
    uint32_t Compression() const { return compression_; }
    const BitmapInfoHeader& Header() const { return header_; }
    const uint8_t* Bits() const { return bits_; }
    // Colour-table entries present (0 above 8 bits).
    const std::vector<uint32_t>& Palette() const { return palette_; }

    // Calls put(x, y, rgb) for every pixel the picture sets, y counted from the top and rgb
    // 0x00RRGGBB. RLE pictures leave the pixels that their deltas and line ends skip.
    template <class Put>
    void ForEachPixel(Put&& put) const;

private:
    struct Field {
        uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
    };
    static bool MakeField(uint32_t mask, Field& f);
    uint32_t MaskedColour(uint32_t v) const;
    template <class Put>
    void ForEachRlePixel(Put&& put) const;

    BitmapInfoHeader header_{};
    const uint8_t* bits_ = nullptr;
    size_t bitsSize_ = 0;
    int32_t width_ = 0, height_ = 0, bitCount_ = 0;
    uint32_t compression_ = 0;
    bool topDown_ = false;
    Field red_, green_, blue_;
    std::vector<uint32_t> palette_;  // 0x00RRGGBB
};

// A bitmap with its pixels in memory, laid out as a DIB of 8 (with a colour table), 16
// (5-5-5; 15 is taken as 16), 24 or 32 bits.
class DibSection {
public:
    // Null for a size that is not positive or above the picture limit, another bit count, or
    // no memory. colours: up to 256 entries for 8 bits (missing ones are black).
    static std::unique_ptr<DibSection> Create(int32_t width, int32_t height, int32_t bitCount, bool topDown,
                                              const RgbQuad* colours = nullptr, int32_t colourCount = 0);

    uint8_t* Bits() { return pixels_.data(); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t BitCount() const { return bitCount_; }
    int32_t Stride() const { return stride_; }
    bool TopDown() const { return topDown_; }

    // 0x00RRGGBB of the pixel at (x, y), y from the top; the caller keeps it inside.
    uint32_t Read(int32_t x, int32_t y) const;
    // Writes 0x00RRGGBB (an 8-bit bitmap takes the nearest table colour; the fourth byte of a
    // 32-bit pixel becomes 0).
    void Write(int32_t x, int32_t y, uint32_t rgb);

private:
    DibSection() = default;
    uint8_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(topDown_ ? y : height_ - 1 - y) * stride_; }
    const uint8_t* Row(int32_t y) const {
        return pixels_.data() + static_cast<size_t>(topDown_ ? y : height_ - 1 - y) * stride_;
    }

    std::vector<uint8_t> pixels_;
    int32_t width_ = 0, height_ = 0, bitCount_ = 0, stride_ = 0;
    bool topDown_ = true;
    uint32_t palette_[256] = {};  // 0x00RRGGBB
};

// A memory device context: draws on the bitmap it has selected.
class DeviceContext {
public:
    // Selects a bitmap (null: none) and answers the one selected before.
    DibSection* SelectBitmap(DibSection* bitmap) {
        DibSection* old = bitmap_;
        bitmap_ = bitmap;
        return old;
    }
    DibSection* SelectedBitmap() const { return bitmap_; }

    static constexpr uint32_t kInvalidColour = 0xFFFFFFFFu;
    // COLORREF of a pixel; kInvalidColour outside the bitmap or without one.
    uint32_t GetPixel(int32_t x, int32_t y) const;
    // Sets a pixel from a COLORREF and answers the colour set; kInvalidColour when outside.
    uint32_t SetPixel(int32_t x, int32_t y, uint32_t colorref);

private:
    DibSection* bitmap_ = nullptr;
};

// Draws a packed DIB with its top-left corner at (x, y) on the context's bitmap, cut to the
// bitmap. Answers the picture's row count when it drew, 0 when the DIB is unreadable (the
// reason goes to *why) or nothing is selected.
int32_t DrawDibBits(DeviceContext& dc, int32_t x, int32_t y, const uint8_t* info, size_t infoSize,
                    const uint8_t* bits, size_t bitsSize, std::string* why = nullptr);

// Logical pixels per inch of the screen.
constexpr int32_t kScreenPixelsPerInch = 96;

// ---- template bodies

template <class Put>
void DibView::ForEachPixel(Put&& put) const {
    if (compression_ == kDibRle8 || compression_ == kDibRle4) {
        ForEachRlePixel(put);
        return;
    }
    const uint64_t stride = DibStride(width_, bitCount_);
    const size_t paletteSize = palette_.size();
    for (int32_t row = 0; row < height_; ++row) {
        const uint8_t* p = bits_ + stride * static_cast<uint64_t>(row);
        const int32_t y = topDown_ ? row : height_ - 1 - row;
        for (int32_t x = 0; x < width_; ++x) {
            uint32_t rgb = 0;
            switch (bitCount_) {
                case 1: case 4: case 8: {
                    const uint32_t bitPos = static_cast<uint32_t>(x) * bitCount_;
                    const uint32_t byte = p[bitPos >> 3];
                    const uint32_t index = (byte >> (8 - bitCount_ - (bitPos & 7))) & ((1u << bitCount_) - 1u);
                    rgb = index < paletteSize ? palette_[index] : 0;
                    break;
                }
                case 16: rgb = MaskedColour(static_cast<uint32_t>(p[2 * x] | p[2 * x + 1] << 8)); break;
                case 24: rgb = static_cast<uint32_t>(p[3 * x] | p[3 * x + 1] << 8 | p[3 * x + 2] << 16); break;
                default: {
                    const uint8_t* q = p + 4 * static_cast<size_t>(x);
                    rgb = MaskedColour(static_cast<uint32_t>(q[0] | q[1] << 8 | q[2] << 16) | uint32_t{q[3]} << 24);
                    break;
                }
            }
            put(x, y, rgb);
        }
    }
}

template <class Put>
void DibView::ForEachRlePixel(Put&& put) const {
    const bool four = compression_ == kDibRle4;
    const size_t size = bitsSize_;
    const uint8_t* b = bits_;
    const size_t paletteSize = palette_.size();
    auto colour = [&](uint32_t index) { return index < paletteSize ? palette_[index] : 0u; };
    int64_t x = 0, row = 0;  // row counts from the bottom
    auto emit = [&](uint32_t index) {
        if (x < width_ && row < height_) put(static_cast<int32_t>(x), static_cast<int32_t>(height_ - 1 - row), colour(index));
        ++x;
    };
    size_t pos = 0;
    while (pos + 1 < size && row < height_) {
        const uint32_t n = b[pos], c = b[pos + 1];
        pos += 2;
        if (n > 0) {  // a run of n pixels
            for (uint32_t i = 0; i < n && x < width_; ++i) emit(four ? ((i & 1) ? c & 0xF : c >> 4) : c);
            continue;
        }
        if (c == 0) {  // end of line
            x = 0;
            ++row;
        } else if (c == 1) {  // end of bitmap
            return;
        } else if (c == 2) {  // delta
            if (pos + 1 >= size) return;
            x += b[pos];
            row += b[pos + 1];
            pos += 2;
        } else {  // c literal pixels, padded to a 16-bit boundary
            const size_t bytes = four ? (c + 1) / 2 : c;
            if (bytes > size - pos) return;
            for (uint32_t i = 0; i < c; ++i) {
                const uint32_t v = four ? ((i & 1) ? b[pos + i / 2] & 0xF : b[pos + i / 2] >> 4) : b[pos + i];
                if (x < width_) emit(v); else ++x;
            }
            pos += (bytes + 1) & ~size_t{1};
        }
    }
}

}  // namespace morna::platform

#pragma once
// Fonts and text output for the drawing core: a font described as the program describes
// one (cell height, weight, italic, underline, strike-out, character set, quality, face
// name in Shift-JIS with "@" for vertical writing), matched through fontconfig, scaled and
// rendered with FreeType, vertical alternates taken from the face through HarfBuzz; and a
// small text context (font, text colour, background colour and mode) that draws Shift-JIS
// lines onto 24- or 32-bit pixels.
//
// Metrics: the cell height is the requested height; the face is scaled so that its
// Windows ascent plus descent fill the cell, with the baseline at top + ascent. The width
// of a string is the sum of its characters' advances in whole pixels.
// Quality 3 (non-antialiased) renders one-bit glyphs; every other quality renders grey.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

namespace morna::platform {

constexpr int32_t kCharsetShiftJis = 128;

enum FontQuality : int32_t {
    kQualityDefault = 0,
    kQualityDraft = 1,
    kQualityProof = 2,
    kQualityNonAntialiased = 3,
    kQualityAntialiased = 4,
};

enum BackgroundMode : int32_t {
    kBkTransparent = 1,
    kBkOpaque = 2,
};

constexpr int32_t kWeightSemiBold = 600;

struct FontRequest {
    int32_t height = 0;  // > 0 cell height, < 0 character (em) height, 0 a cell of 16
    int32_t weight = 0;  // 0 is normal (400)
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int32_t charset = kCharsetShiftJis;
    int32_t quality = kQualityDefault;
    std::string faceName;  // Shift-JIS; a leading "@" asks for vertical writing
};

// What a face name resolves to.
struct MatchedFace {
    std::string file;
    int32_t index = 0;
    std::string family;  // UTF-8
    bool japanese = false;    // covers the Japanese language
    bool fixedPitch = false;  // half-width characters share one advance
};

// Resolves a face name (Shift-JIS, without "@") for a character set. For Shift-JIS the
// face must cover Japanese: a name with "P" or full-width "Ｐ" prefers a proportional
// face, any other a fixed-pitch one, and a match that does not fit falls back to the
// distribution's Japanese gothic faces. False when nothing usable is installed.
bool MatchFontFace(std::string_view faceName, int32_t charset, MatchedFace& out);

class Font {
public:
    // Null, with a line to stderr, when no face can be matched or loaded.
    static std::unique_ptr<Font> Create(const FontRequest& request);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    int32_t Height() const;  // cell height
    int32_t Ascent() const;
    int32_t Descent() const;
    bool Vertical() const;
    bool Monochrome() const;
    const MatchedFace& Face() const;

    // Size of a Shift-JIS string as TextOut draws it: the sum of the advances by the cell
    // height. A lead byte at the end stands alone; invalid bytes take the missing glyph.
    void MeasureText(std::string_view sjis, int32_t& cx, int32_t& cy);

    struct Impl;

    using RequestKey = std::tuple<int32_t, int32_t, bool, bool, bool, int32_t, int32_t, std::string>;

private:
    Font(std::unique_ptr<Impl> impl, RequestKey key);
    std::unique_ptr<Impl> impl_;
    RequestKey key_;
    friend class TextContext;
};

// Pixels to draw on: rows top down, blue first, 3 or 4 bytes a pixel.
struct PixelTarget {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // bytes from one row to the next
    int32_t bitCount = 32;
};

class TextContext {
public:
    static constexpr uint32_t kInvalidColour = 0xFFFFFFFFu;

    // Each answers the previous setting. Colours are COLORREF 0x00BBGGRR.
    Font* SelectFont(Font* font);
    uint32_t SetTextColor(uint32_t colorref);
    uint32_t SetBkColor(uint32_t colorref);
    int32_t SetBkMode(int32_t mode);  // an unknown mode is refused: answers 0, keeps the mode

    // Draws a Shift-JIS line with its top-left corner at (x, y), cut to the target. In the
    // opaque mode the text's box is first filled with the background colour. A vertical
    // font turns each double-byte character 90 degrees counter-clockwise (its vertical
    // alternate where the face has one) and leaves single-byte characters upright. The
    // fourth byte of every 32-bit pixel written becomes 0. False without a font or with a
    // target that is not 24 or 32 bits.
    bool TextOut(const PixelTarget& target, int32_t x, int32_t y, std::string_view sjis);

private:
    Font* font_ = nullptr;
    uint32_t textColour_ = 0;          // black
    uint32_t bkColour_ = 0x00FFFFFFu;  // white
    int32_t bkMode_ = kBkOpaque;
};

}  // namespace morna::platform

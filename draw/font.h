#pragma once
// CFont: the description of a piece of text (the text, face, size, weight, colours,
// shadow, vertical writing) that measures itself and draws itself, shadow first, with a
// font of the platform layer.
#include <cstdint>
#include <memory>

#include "foundation/vtl/text_output_stream.h"
#include "foundation/vtl/vtl_string.h"
#include "platform/gdi_font.h"

namespace tovarineGameSDK3rd::Draw {

class CFont {
public:
    static constexpr uint32_t kNoColour = 0xFFFFFFFFu;  // switches a pass off

    CFont();
    CFont(const CFont&) = default;
    CFont& operator=(const CFont&) = default;
    virtual ~CFont() = default;

    void SetText(const VTL::VTLstring& text) { text_ = text; }
    // printf-style; the formatted text is as long as it needs to be.
    void SetTextF(const char* format, ...) MORNA_PRINTF_FORMAT(2, 3);
    void SetFont(const VTL::VTLstring& face);
    void SetSize(int size) { size_ = size, lineHeight_ = size; }
    void SetLineHeight(int height) { lineHeight_ = height; }
    void SetColor(uint32_t colorref) { colour_ = colorref; }
    void SetShadowColor(uint32_t colorref) { shadowColour_ = colorref; }
    void SetBackColor(uint32_t colorref) { backColour_ = colorref; }
    void SetShadowOffset(int x, int y) { shadowX_ = x, shadowY_ = y; }
    // 0..4: default, draft, proof, antialiased, non-antialiased; other modes leave it.
    void SetQuality(int mode);
    void SetWeight(int weight) { weight_ = weight; }
    void SetItalic(bool on) { italic_ = on ? 1 : 0; }
    void SetUnderline(bool on) { underline_ = on ? 1 : 0; }
    void SetStrikeOut(bool on) { strikeOut_ = on ? 1 : 0; }
    void SetVertical(bool on) { vertical_ = on ? 1 : 0; }

    const VTL::VTLstring& GetText() const { return text_; }
    // The face, with "@" in front while vertical (unless it has one already).
    VTL::VTLstring GetFaceName() const;
    int GetQuality() const { return quality_; }
    uint32_t GetColor() const { return colour_; }
    uint32_t GetShadowColor() const { return shadowColour_; }
    uint32_t GetBackColor() const { return backColour_; }
    int GetFontSize() const { return size_; }
    int GetLineHeight() const { return lineHeight_; }
    int GetWeight() const { return weight_; }
    bool IsItalic() const { return italic_ != 0; }
    bool IsUnderline() const { return underline_ != 0; }
    bool IsStrikeOut() const { return strikeOut_ != 0; }
    bool IsVertical() const { return vertical_ != 0; }
    int GetShadowOffsetX() const { return shadowX_; }
    int GetShadowOffsetY() const { return shadowY_; }

    // The text's box: the widest line (plus a quarter of the size when italic) + 3 by the
    // line heights of all lines but the last, the last one's own height, + 3. 0, or 1 (and
    // 0 by 0) for an empty text or a font that cannot be made.
    int GetSize(int* width, int* height) const;
    // Draws the shadow pass, then the text pass, with the top-left corner at (x, y).
    void Draw(const morna::platform::PixelTarget& target, int x, int y) const;

    // The platform font these settings make; null (with an error-log line) on failure.
    std::unique_ptr<morna::platform::Font> CreateFont() const;

private:
    template <class Line>
    void ForEachLine(Line&& line) const;

    VTL::VTLstring text_;
    int quality_ = morna::platform::kQualityProof;
    uint32_t colour_ = 0xFFFFFF;
    uint32_t shadowColour_ = 0x808080;
    uint32_t backColour_ = kNoColour;
    int size_ = 16;
    VTL::VTLstring face_;
    int lineHeight_ = 20;
    int weight_ = 300;
    uint8_t italic_ = 0;
    uint8_t underline_ = 0;
    uint8_t strikeOut_ = 0;
    uint8_t vertical_ = 0;
    int shadowX_ = 2;
    int shadowY_ = 2;
};

}  // namespace tovarineGameSDK3rd::Draw

#include "draw/font.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "foundation/vtl/format_text.h"

namespace tovarineGameSDK3rd::Draw {
namespace {

namespace pf = morna::platform;

// "ＭＳ ゴシック" in Shift-JIS, written as bytes so that every build stores the same name.
constexpr const char kDefaultFace[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

}  // namespace

CFont::CFont() : face_(kDefaultFace) {}

void CFont::SetTextF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text;
    const bool made = FormatText(text, format, args);
    va_end(args);
    if (!made) {
        GetErrorLog().Out("CFont::SetTextFで書式が不正");
        return;
    }
    text_ = VTL::VTLstring(text.data(), text.size());
}

void CFont::SetFont(const VTL::VTLstring& face) {
    if (!(face == face_)) face_ = face;
}

void CFont::SetQuality(int mode) {
    static constexpr int kQualities[] = {pf::kQualityDefault, pf::kQualityDraft, pf::kQualityProof,
                                         pf::kQualityAntialiased, pf::kQualityNonAntialiased};
    if (mode >= 0 && mode < 5) quality_ = kQualities[mode];
}

VTL::VTLstring CFont::GetFaceName() const {
    if (vertical_ && !(face_.size() > 0 && face_[0] == '@')) return "@" + face_;
    return face_;
}

std::unique_ptr<pf::Font> CFont::CreateFont() const {
    pf::FontRequest r;
    r.height = size_;
    r.weight = weight_;
    r.italic = italic_ != 0;
    r.underline = underline_ != 0;
    r.strikeOut = strikeOut_ != 0;
    r.charset = pf::kCharsetShiftJis;
    r.quality = quality_;
    r.faceName = std::string(GetFaceName().view());
    auto font = pf::Font::Create(r);
    if (!font) GetErrorLog().Out("CFontでフォント作成失敗: %s", GetFaceName().c_str());
    return font;
}

// Calls line(text, index, last) for each line; a line ends at LF (not included), the last
// one at the end of the text. Lines are views of any length; nothing is copied or cut.
template <class Line>
void CFont::ForEachLine(Line&& line) const {
    const std::string_view all = text_.view();
    size_t start = 0;
    for (int k = 0;; ++k) {
        const size_t lf = all.find('\n', start);
        if (lf == std::string_view::npos) {
            line(all.substr(start), k, true);
            return;
        }
        line(all.substr(start, lf - start), k, false);
        start = lf + 1;
    }
}

int CFont::GetSize(int* width, int* height) const {
    if (width) *width = 0;
    if (height) *height = 0;
    if (text_.empty()) return 1;
    auto font = CreateFont();
    if (!font) return 1;
    int maxWidth = 0, total = 0;
    ForEachLine([&](std::string_view line, int, bool last) {
        int32_t cx = 0, cy = 0;
        font->MeasureText(line, cx, cy);
        if (italic_) cx += size_ / 4;
        if (cx > maxWidth) maxWidth = cx;
        total += last ? cy : lineHeight_;
    });
    if (width) *width = maxWidth + 3;
    if (height) *height = total + 3;
    return 0;
}

void CFont::Draw(const pf::PixelTarget& target, int x, int y) const {
    if (text_.empty()) return;
    auto font = CreateFont();
    if (!font) return;
    pf::TextContext dc;
    dc.SelectFont(font.get());
    auto lines = [&](int ox, int oy) {
        ForEachLine([&](std::string_view line, int k, bool) { dc.TextOut(target, ox, oy + k * lineHeight_, line); });
    };
    auto background = [&] {
        if (backColour_ != kNoColour) {
            dc.SetBkMode(pf::kBkOpaque);
            dc.SetBkColor(backColour_);
        } else {
            dc.SetBkMode(pf::kBkTransparent);
        }
    };
    const bool shadow = shadowColour_ != kNoColour;
    if (shadow) {
        dc.SetTextColor(shadowColour_);
        background();
        lines(x + shadowX_, y + shadowY_);
    }
    if (colour_ != kNoColour) {
        // The shadow pass painted the background already.
        if (shadow) dc.SetBkMode(pf::kBkTransparent);
        else background();
        dc.SetTextColor(colour_);
        lines(x, y);
    }
    dc.SelectFont(nullptr);
}

}  // namespace tovarineGameSDK3rd::Draw

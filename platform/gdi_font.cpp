#include "platform/gdi_font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>

#include "platform/charset.h"

namespace morna::platform {
namespace {

// fontconfig's configuration, the FreeType library (face creation and destruction) and
// the match cache are shared by every thread; one lock guards them. A face itself is used
// by the one thread that holds its Font.
std::mutex& SharedLock() {
    static std::mutex m;
    return m;
}

FT_Library Library() {  // called under SharedLock
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

bool FontconfigReady() {  // called under SharedLock
    static bool ok = FcInit() == FcTrue;
    return ok;
}

// Half-width characters of a fixed-pitch face share one advance: fontconfig says so for
// faces that declare a spacing; the others are measured.
bool IsFixedPitch(FcPattern* font, const std::string& file, int32_t index) {
    int spacing = FC_PROPORTIONAL;
    if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_DUAL) return true;
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), file.c_str(), index, &face) != 0) return false;
    auto advance = [&](FT_ULong ch) -> FT_Pos {
        FT_UInt g = FT_Get_Char_Index(face, ch);
        if (g == 0 || FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE) != 0) return -1;
        return face->glyph->advance.x;
    };
    const FT_Pos i = advance('i'), w = advance('W'), dot = advance('.');
    FT_Done_Face(face);
    return i > 0 && i == w && w == dot;
}

bool Describe(FcPattern* font, MatchedFace& out) {  // under SharedLock
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || file == nullptr) return false;
    out.file = reinterpret_cast<const char*>(file);
    int index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    out.index = index;
    FcChar8* family = nullptr;
    out.family = FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch && family
                     ? reinterpret_cast<const char*>(family)
                     : std::string();
    FcLangSet* langs = nullptr;
    out.japanese = FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch && langs &&
                   FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    out.fixedPitch = IsFixedPitch(font, out.file, out.index);
    return true;
}

bool MatchOne(const std::string& familyUtf8, bool japanese, MatchedFace& out) {  // under SharedLock
    FcPattern* pat = FcPatternCreate();
    if (!familyUtf8.empty()) FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    if (japanese) FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddBool(pat, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (font == nullptr) return false;
    const bool ok = Describe(font, out);
    FcPatternDestroy(font);
    return ok;
}

// A proportional face is marked by a "P" (or full-width "Ｐ") before the family's body:
// "ＭＳ Ｐゴシック", "VL Pゴシック", "MS PGothic", "IPAPGothic", but not "IPAGothic".
bool WantsProportional(std::string_view sjis) {
    auto at = [&](size_t k) { return k < sjis.size() ? static_cast<unsigned char>(sjis[k]) : 0u; };
    for (size_t i = 0; i < sjis.size(); ++i) {
        const unsigned c = at(i);
        if (IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < sjis.size()) {
            if (c == 0x82 && at(i + 1) == 0x6F) return true;  // Ｐ
            ++i;
            continue;
        }
        if (c != 'P') continue;
        const unsigned n = at(i + 1);
        if (n >= 0x80 || (n >= 'A' && n <= 'Z' && at(i + 2) >= 'a' && at(i + 2) <= 'z')) return true;
    }
    return false;
}

bool MatchUncached(std::string_view faceName, int32_t charset, MatchedFace& out) {
    std::string utf8;
    if (!Cp932ToUtf8(faceName, utf8)) utf8.clear();
    const bool japanese = charset == kCharsetShiftJis;
    MatchedFace first;
    if (!MatchOne(utf8, japanese, first)) return false;
    if (!japanese) {
        out = first;
        return true;
    }
    const bool proportional = WantsProportional(faceName);
    if (first.japanese && first.fixedPitch != proportional) {
        out = first;
        return true;
    }
    static const char* const kFixed[] = {"VL Gothic", "IPAGothic"};
    static const char* const kProportional[] = {"VL PGothic", "IPAPGothic"};
    const char* const* lists[2] = {proportional ? kProportional : kFixed, proportional ? kFixed : kProportional};
    for (const char* const* list : lists) {
        for (int i = 0; i < 2; ++i) {
            MatchedFace f;
            if (MatchOne(list[i], true, f) && f.japanese && f.fixedPitch != proportional) {
                out = f;
                return true;
            }
        }
    }
    // No face of the wanted pitch: any Japanese face, then whatever matched.
    for (const char* const* list : lists) {
        for (int i = 0; i < 2; ++i) {
            MatchedFace f;
            if (MatchOne(list[i], true, f) && f.japanese) {
                out = f;
                return true;
            }
        }
    }
    out = first;
    return true;
}

// ---- Shift-JIS characters

struct Char {
    uint32_t code;  // Unicode; 0xFFFD for bytes that are no character
    bool wide;      // a double-byte character
};

uint32_t DecodeUtf8(const std::string& s, size_t& i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    uint32_t cp = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
    ++i;
    for (; extra > 0 && i < s.size(); --extra, ++i) cp = cp << 6 | (b(i) & 0x3F);
    return cp;
}

// Splits a line into characters. A whole line converts at once; when it holds bytes that
// are no character, each character converts alone.
std::vector<Char> SplitSjis(std::string_view sjis) {
    std::vector<std::string_view> pieces;
    for (size_t i = 0; i < sjis.size();) {
        const size_t n = IsSjisLeadByte(static_cast<unsigned char>(sjis[i])) && i + 1 < sjis.size() ? 2 : 1;
        pieces.push_back(sjis.substr(i, n));
        i += n;
    }
    std::vector<Char> out;
    out.reserve(pieces.size());
    std::string utf8;
    if (Cp932ToUtf8(sjis, utf8)) {
        size_t k = 0;
        for (const auto& p : pieces) {
            if (k >= utf8.size()) break;
            out.push_back({DecodeUtf8(utf8, k), p.size() == 2});
        }
        if (out.size() == pieces.size() && k == utf8.size()) return out;
        out.clear();
    }
    for (const auto& p : pieces) {
        uint32_t cp = 0xFFFD;
        if (Cp932ToUtf8(p, utf8) && !utf8.empty()) {
            size_t k = 0;
            cp = DecodeUtf8(utf8, k);
        }
        out.push_back({cp, p.size() == 2});
    }
    return out;
}

// A glyph's coverage, 0..255, placed relative to the pen at the top of the cell.
struct Coverage {
    int32_t x = 0, y = 0, w = 0, h = 0;
    std::vector<uint8_t> a;
};

struct Glyph {
    int32_t advance = 0;
    Coverage cov;
    bool rendered = false;
};

int32_t FloorDiv2(int32_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

}  // namespace

bool MatchFontFace(std::string_view faceName, int32_t charset, MatchedFace& out) {
    std::lock_guard<std::mutex> lock(SharedLock());
    if (!FontconfigReady() || Library() == nullptr) return false;
    static std::map<std::pair<std::string, bool>, MatchedFace> cache;
    const auto key = std::make_pair(std::string(faceName), charset == kCharsetShiftJis);
    if (auto it = cache.find(key); it != cache.end()) {
        out = it->second;
        return true;
    }
    if (!MatchUncached(faceName, charset, out)) return false;
    cache.emplace(key, out);
    return true;
}

struct Font::Impl {
    FT_Face face = nullptr;
    hb_font_t* hb = nullptr;  // vertical fonts only
    MatchedFace matched;
    int32_t height = 0, ascent = 0, descent = 0;
    bool vertical = false, mono = false, italic = false, underline = false, strikeOut = false;
    bool emboldenGlyphs = false, slantGlyphs = false;
    int32_t underlinePos = 0, underlineThick = 1, strikePos = 0, strikeThick = 1;  // pixels below/above baseline
    static constexpr size_t kMaxGlyphs = 2048;  // rendered glyphs kept, then dropped together
    std::unordered_map<uint64_t, Glyph> glyphs;

    ~Impl() {
        if (hb) hb_font_destroy(hb);
        if (face) {
            std::lock_guard<std::mutex> lock(SharedLock());
            FT_Done_Face(face);
        }
    }

    FT_Int32 LoadFlags() const {
        return FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    }

    // The glyph to draw for a character: its vertical alternate when turned.
    FT_UInt GlyphIndex(const Char& c, bool turned) {
        FT_UInt g = FT_Get_Char_Index(face, c.code);
        if (!turned || hb == nullptr) return g;
        hb_buffer_t* buf = hb_buffer_create();
        hb_buffer_add_codepoints(buf, &c.code, 1, 0, 1);
        hb_buffer_set_direction(buf, HB_DIRECTION_TTB);
        hb_buffer_set_language(buf, hb_language_from_string("ja", -1));
        hb_buffer_guess_segment_properties(buf);
        static const hb_feature_t kVert[] = {{HB_TAG('v', 'e', 'r', 't'), 1, 0, ~0u},
                                              {HB_TAG('v', 'r', 't', '2'), 1, 0, ~0u}};
        hb_shape(hb, buf, kVert, 2);
        unsigned int n = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
        if (n == 1 && info[0].codepoint != 0) g = info[0].codepoint;
        hb_buffer_destroy(buf);
        return g;
    }

    // Advance and coverage of a character. Turned characters keep the advance of their
    // upright form and are turned about the centre of their cell.
    Glyph& Get(const Char& c, bool withCoverage) {
        const bool turned = vertical && c.wide;
        const uint64_t key = uint64_t{c.code} << 1 | (turned ? 1u : 0u);
        if (glyphs.size() >= kMaxGlyphs && glyphs.find(key) == glyphs.end()) glyphs.clear();
        Glyph& gl = glyphs[key];
        if (gl.rendered || (!withCoverage && gl.advance > 0)) return gl;
        const FT_UInt upright = FT_Get_Char_Index(face, c.code);
        if (FT_Load_Glyph(face, upright, LoadFlags()) == 0) {
            if (emboldenGlyphs) FT_GlyphSlot_Embolden(face->glyph);
            gl.advance = static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
        }
        if (!withCoverage) return gl;
        gl.rendered = true;
        const FT_UInt g = GlyphIndex(c, turned);
        if (FT_Load_Glyph(face, g, LoadFlags()) != 0) return gl;
        FT_GlyphSlot slot = face->glyph;
        if (emboldenGlyphs) FT_GlyphSlot_Embolden(slot);
        if (slantGlyphs) FT_GlyphSlot_Oblique(slot);
        if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return gl;
        const FT_Bitmap& bm = slot->bitmap;
        Coverage up;
        up.w = static_cast<int32_t>(bm.width);
        up.h = static_cast<int32_t>(bm.rows);
        up.x = slot->bitmap_left;
        up.y = ascent - slot->bitmap_top;
        up.a.assign(static_cast<size_t>(up.w) * up.h, 0);
        for (int32_t r = 0; r < up.h; ++r) {
            const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
            for (int32_t col = 0; col < up.w; ++col) {
                uint8_t v = 0;
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO) v = (row[col >> 3] >> (7 - (col & 7))) & 1 ? 255 : 0;
                else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) v = row[col];
                up.a[static_cast<size_t>(r) * up.w + col] = v;
            }
        }
        if (!turned) {
            gl.cov = std::move(up);
            return gl;
        }
        // Counter-clockwise about the cell's centre: cell pixel (i, j) goes to
        // (j + (A - H) / 2, (A + H) / 2 - 1 - i) for advance A and cell height H.
        const int32_t dx = FloorDiv2(gl.advance - height), dy = FloorDiv2(gl.advance + height) - 1;
        Coverage& t = gl.cov;
        t.w = up.h;
        t.h = up.w;
        t.x = up.y + dx;
        t.y = dy - (up.x + up.w - 1);
        t.a.assign(up.a.size(), 0);
        for (int32_t ry = 0; ry < t.h; ++ry)
            for (int32_t rx = 0; rx < t.w; ++rx)
                t.a[static_cast<size_t>(ry) * t.w + rx] = up.a[static_cast<size_t>(rx) * up.w + (up.w - 1 - ry)];
        return gl;
    }

    int32_t Measure(const std::vector<Char>& chars) {
        int32_t w = 0;
        for (const Char& c : chars) w += Get(c, false).advance;
        return w;
    }
};

namespace {

using RequestKey = Font::RequestKey;

RequestKey KeyOf(const FontRequest& r) {
    return {r.height, r.weight, r.italic, r.underline, r.strikeOut, r.charset, r.quality, r.faceName};
}

// Fonts are made for one measurement or one drawing and dropped; the last few made on a
// thread are kept there, faces open and glyphs rendered, for the next request alike.
struct RecentFonts {
    static constexpr size_t kKept = 4;
    std::vector<std::pair<RequestKey, std::unique_ptr<Font::Impl>>> fonts;  // newest last

    std::unique_ptr<Font::Impl> Take(const RequestKey& key) {
        for (auto it = fonts.begin(); it != fonts.end(); ++it) {
            if (it->first == key) {
                auto impl = std::move(it->second);
                fonts.erase(it);
                return impl;
            }
        }
        return nullptr;
    }
    void Keep(RequestKey key, std::unique_ptr<Font::Impl> impl) {
        if (fonts.size() == kKept) fonts.erase(fonts.begin());
        fonts.emplace_back(std::move(key), std::move(impl));
    }
};

RecentFonts& ThreadFonts() {
    thread_local RecentFonts recent;
    return recent;
}

}  // namespace

std::unique_ptr<Font> Font::Create(const FontRequest& request) {
    RequestKey key = KeyOf(request);
    if (auto kept = ThreadFonts().Take(key)) return std::unique_ptr<Font>(new Font(std::move(kept), std::move(key)));
    std::string_view name = request.faceName;
    const bool vertical = !name.empty() && name.front() == '@';
    if (vertical) name.remove_prefix(1);
    MatchedFace matched;
    if (!MatchFontFace(name, request.charset, matched)) {
        std::fprintf(stderr, "font: no face for the requested name\n");
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->matched = matched;
    {
        std::lock_guard<std::mutex> lock(SharedLock());
        if (FT_New_Face(Library(), matched.file.c_str(), matched.index, &impl->face) != 0) {
            impl->face = nullptr;
            std::fprintf(stderr, "font: cannot load %s\n", matched.file.c_str());
            return nullptr;
        }
    }
    FT_Face face = impl->face;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    int32_t winAscent = os2 ? os2->usWinAscent : 0;
    int32_t winDescent = os2 ? os2->usWinDescent : 0;
    if (winAscent + winDescent <= 0) {
        winAscent = face->ascender;
        winDescent = -face->descender;
    }
    const int32_t upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    if (winAscent + winDescent <= 0) {
        winAscent = upem * 7 / 8;
        winDescent = upem - winAscent;
    }
    const int32_t units = winAscent + winDescent;
    double ppem;
    if (request.height < 0) {
        ppem = -static_cast<double>(request.height);
        impl->ascent = static_cast<int32_t>(std::lround(winAscent * ppem / upem));
        impl->descent = static_cast<int32_t>(std::lround(winDescent * ppem / upem));
        impl->height = impl->ascent + impl->descent;
    } else {
        impl->height = request.height > 0 ? request.height : 16;
        ppem = static_cast<double>(impl->height) * upem / units;
        impl->ascent = static_cast<int32_t>(std::lround(static_cast<double>(winAscent) * impl->height / units));
        impl->descent = impl->height - impl->ascent;
    }
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) {
        std::fprintf(stderr, "font: cannot scale %s\n", matched.file.c_str());
        return nullptr;
    }
    const double scale = ppem / upem;
    impl->vertical = vertical;
    impl->mono = request.quality == kQualityNonAntialiased;
    impl->italic = request.italic;
    impl->underline = request.underline;
    impl->strikeOut = request.strikeOut;
    const int32_t faceWeight = os2 ? os2->usWeightClass : 400;
    const int32_t weight = request.weight > 0 ? request.weight : 400;
    impl->emboldenGlyphs = weight >= kWeightSemiBold && faceWeight < kWeightSemiBold;
    impl->slantGlyphs = request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    impl->underlinePos = std::max<int32_t>(1, static_cast<int32_t>(std::lround(-face->underline_position * scale)));
    impl->underlineThick = std::max<int32_t>(1, static_cast<int32_t>(std::lround(face->underline_thickness * scale)));
    if (os2 && os2->yStrikeoutSize > 0) {
        impl->strikePos = static_cast<int32_t>(std::lround(os2->yStrikeoutPosition * scale));
        impl->strikeThick = std::max<int32_t>(1, static_cast<int32_t>(std::lround(os2->yStrikeoutSize * scale)));
    } else {
        impl->strikePos = impl->ascent / 3;
        impl->strikeThick = impl->underlineThick;
    }
    if (vertical) impl->hb = hb_ft_font_create_referenced(face);
    return std::unique_ptr<Font>(new Font(std::move(impl), std::move(key)));
}

Font::Font(std::unique_ptr<Impl> impl, RequestKey key) : impl_(std::move(impl)), key_(std::move(key)) {}

// Kept in the list of the thread that lets it go: a face belongs to no thread, only never
// to two at once.
Font::~Font() { ThreadFonts().Keep(std::move(key_), std::move(impl_)); }
int32_t Font::Height() const { return impl_->height; }
int32_t Font::Ascent() const { return impl_->ascent; }
int32_t Font::Descent() const { return impl_->descent; }
bool Font::Vertical() const { return impl_->vertical; }
bool Font::Monochrome() const { return impl_->mono; }
const MatchedFace& Font::Face() const { return impl_->matched; }

void Font::MeasureText(std::string_view sjis, int32_t& cx, int32_t& cy) {
    cx = impl_->Measure(SplitSjis(sjis));
    cy = impl_->height;
}

Font* TextContext::SelectFont(Font* font) {
    Font* old = font_;
    font_ = font;
    return old;
}

uint32_t TextContext::SetTextColor(uint32_t colorref) { return std::exchange(textColour_, colorref); }
uint32_t TextContext::SetBkColor(uint32_t colorref) { return std::exchange(bkColour_, colorref); }

int32_t TextContext::SetBkMode(int32_t mode) {
    if (mode != kBkTransparent && mode != kBkOpaque) return 0;
    return std::exchange(bkMode_, mode);
}

namespace {

// Lays colour over the pixels of a box, each by its own coverage.
class Painter {
public:
    Painter(const PixelTarget& t) : t_(t), bpp_(t.bitCount / 8) {}

    template <class CoverageAt>
    void Paint(int32_t x0, int32_t y0, int32_t w, int32_t h, uint32_t colorref, CoverageAt&& at) {
        const int32_t xs = std::max(x0, 0), ys = std::max(y0, 0);
        const int32_t xe = std::min<int64_t>(int64_t{x0} + w, t_.width), ye = std::min<int64_t>(int64_t{y0} + h, t_.height);
        const uint32_t c[3] = {(colorref >> 16) & 0xFF, (colorref >> 8) & 0xFF, colorref & 0xFF};  // blue, green, red
        for (int32_t y = ys; y < ye; ++y) {
            uint8_t* p = t_.bits + static_cast<ptrdiff_t>(y) * t_.stride + static_cast<ptrdiff_t>(xs) * bpp_;
            for (int32_t x = xs; x < xe; ++x, p += bpp_) {
                const uint32_t a = at(x - x0, y - y0);
                if (a == 0) continue;
                for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * (255 - a) + c[k] * a + 127) / 255);
                if (bpp_ == 4) p[3] = 0;
            }
        }
    }

private:
    const PixelTarget& t_;
    int32_t bpp_;
};

}  // namespace

bool TextContext::TextOut(const PixelTarget& target, int32_t x, int32_t y, std::string_view sjis) {
    if (font_ == nullptr || target.bits == nullptr || (target.bitCount != 24 && target.bitCount != 32)) return false;
    Font::Impl& f = *font_->impl_;
    const std::vector<Char> chars = SplitSjis(sjis);
    const int32_t width = f.Measure(chars);
    Painter painter(target);
    auto full = [](int32_t, int32_t) { return 255u; };
    if (bkMode_ == kBkOpaque) painter.Paint(x, y, width, f.height, bkColour_, full);
    int32_t pen = x;
    for (const Char& c : chars) {
        Glyph& g = f.Get(c, true);
        const Coverage& cov = g.cov;
        if (cov.w > 0 && cov.h > 0) {
            painter.Paint(pen + cov.x, y + cov.y, cov.w, cov.h, textColour_,
                          [&](int32_t cx, int32_t cy) { return uint32_t{cov.a[static_cast<size_t>(cy) * cov.w + cx]}; });
        }
        pen += g.advance;
    }
    const int32_t baseline = y + f.ascent;
    if (f.underline) painter.Paint(x, baseline + f.underlinePos - f.underlineThick / 2, width, f.underlineThick, textColour_, full);
    if (f.strikeOut) painter.Paint(x, baseline - f.strikePos - f.strikeThick / 2, width, f.strikeThick, textColour_, full);
    return true;
}

}  // namespace morna::platform

#include "game/widgets/message_window.h"

#include <algorithm>
#include <span>

#include "framework/image_loader.h"
#include "game/ids.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using tovarineGameSDK3rd::VTL::IsSJISLeadByte;
using tovarineGameSDK3rd::VTL::VTLstring;
using KestraneGameBase2::CBltSupport;

// ---- characters

// The character at `at`: a lead byte with its trail, else one byte; empty at the end and for
// a lead byte whose trail is missing.
std::string_view CharAt(std::string_view s, size_t at) {
    if (at >= s.size()) return {};
    const size_t n = IsSJISLeadByte(static_cast<unsigned char>(s[at])) ? 2 : 1;
    return at + n <= s.size() ? s.substr(at, n) : std::string_view();
}

uint16_t Code(std::string_view ch) {
    return static_cast<uint16_t>(static_cast<uint8_t>(ch[0]) << 8 | static_cast<uint8_t>(ch[1]));
}

// Kinsoku sets. The double-byte ones as Shift-JIS codes, so that they do not hang on how a
// compiler encodes its literals.
constexpr std::string_view kSingleNotStart = ",.;:?!]})-'\"";
constexpr std::string_view kSingleNotEnd = "[{('\"";
// ’”、。・；：？！↑↓→←ーゝゞヽヾ々）」』】）｝〕〉》ぁぃぅぇぉっゃょゅゎヵんァィゥェォッャュョヮヶン
constexpr uint16_t kDoubleNotStart[] = {
    0x8166, 0x8168, 0x8141, 0x8142, 0x8145, 0x8147, 0x8146, 0x8148, 0x8149, 0x81AA, 0x81AB, 0x81A8, 0x81A9,
    0x815B, 0x8154, 0x8155, 0x8152, 0x8153, 0x8158, 0x816A, 0x8176, 0x8178, 0x817A, 0x816A, 0x8170, 0x816C,
    0x8172, 0x8174, 0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82C1, 0x82E1, 0x82E5, 0x82E3, 0x82EC, 0x8395,
    0x82F1, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8362, 0x8383, 0x8385, 0x8387, 0x838E, 0x8396, 0x8393};
// 「『【（｛〔〈《‘“
constexpr uint16_t kDoubleNotEnd[] = {0x8175, 0x8177, 0x8179, 0x8169, 0x816F,
                                      0x816B, 0x8171, 0x8173, 0x8165, 0x8167};
constexpr uint16_t kOpenQuote = 0x8175;                // 「
constexpr std::string_view kFullWidthSpace = "\x81\x40";  // 　

// Whether ch is in the set of a width class (double-byte or not).
bool InSet(std::string_view ch, bool doubleClass, std::string_view singles, std::span<const uint16_t> doubles) {
    if (ch.size() != (doubleClass ? 2u : 1u)) return false;
    if (!doubleClass) return singles.find(ch[0]) != std::string_view::npos;
    return std::find(doubles.begin(), doubles.end(), Code(ch)) != doubles.end();
}

// Whether an overflowing c may stay past the margin after prev.
bool Hangs(std::string_view c, std::string_view prev) {
    return InSet(c, c.size() == 2, kSingleNotStart, kDoubleNotStart) &&
           !InSet(c, prev.size() == 2, kSingleNotEnd, kDoubleNotEnd);
}

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t kFrameTile = 16;

// Walks a message: v.Char(ch) for each character to show, v.Open(code) and v.Close() for the
// colour codes, v.Newline() for "\n" and v.Pause() for "\w". A "#" or "\" at the end and a
// "\" before any other character are dropped. Stops at the end or at a NUL.
template <class Visitor>
void WalkMessage(std::string_view text, Visitor& v) {
    text = text.substr(0, text.find('\0'));
    bool open = false;
    for (size_t at = 0;;) {
        const std::string_view ch = CharAt(text, at);
        if (ch.empty()) return;
        at += ch.size();
        if (ch == "#" && open) {
            open = false;
            v.Close();
        } else if (ch == "#") {
            const std::string_view code = CharAt(text, at);
            if (code.empty()) return;
            at += code.size();
            open = true;
            v.Open(code);
        } else if (ch == "\\") {
            if (CharAt(text, at) == "w") {
                ++at;
                v.Pause();
            }
        } else if (ch == "\n") {
            v.Newline();
        } else {
            v.Char(ch);
        }
    }
}

// Lays a message out line by line.
class LineBuilder {
public:
    LineBuilder(int32_t width, const CharWidthFn& charWidth) : limit_(width), charWidth_(charWidth) {}

    void Char(std::string_view ch) {
        const int64_t w = Width(ch);
        // The first character of a line stays whatever its width: a line never ends empty.
        if (content_ && width_ + w > limit_) {
            if (!pending_ && Hangs(ch, prev_)) {
                pending_ = true;
            } else {
                Newline();
            }
        }
        Put(ch, w);
        content_ = true;
        if (ch.size() == 2 && Code(ch) == kOpenQuote) quoteSeen_ = true;
    }
    void Open(std::string_view code) {
        colour_ = code;
        text_ += '#';
        text_.append(code.data(), static_cast<uint32_t>(code.size()));
    }
    void Close() {
        colour_ = {};
        text_ += '#';
    }
    void Pause() { stop_ = chars_; }
    // Ends the line and begins the next: its indent, then the open colour again.
    void Newline() {
        if (!colour_.empty()) text_ += '#';
        SMessageLine line;
        line.text = text_;
        line.typingStop = stop_;
        out_.push_back(line);
        text_.clear();
        width_ = 0;
        prev_ = {};
        chars_ = 0;
        stop_ = CMessageWindow::kNoWait;
        content_ = pending_ = false;
        if (quoteSeen_) Put(kFullWidthSpace, Width(kFullWidthSpace));
        if (!colour_.empty()) Open(colour_);
    }
    // The lines; a text without any gives one empty line.
    std::vector<SMessageLine> Finish() {
        if (content_ || out_.empty()) Newline();
        return std::move(out_);
    }

private:
    int64_t Width(std::string_view ch) const { return std::max(charWidth_(ch), 0); }
    void Put(std::string_view ch, int64_t w) {
        text_.append(ch.data(), static_cast<uint32_t>(ch.size()));
        width_ += w;
        prev_ = ch;
        ++chars_;
    }

    const int64_t limit_;
    const CharWidthFn& charWidth_;
    std::vector<SMessageLine> out_;
    VTLstring text_;
    int64_t width_ = 0;
    std::string_view prev_;    // the last character on the line
    std::string_view colour_;  // the open colour code; empty for none
    int32_t chars_ = 0;
    int32_t stop_ = CMessageWindow::kNoWait;
    bool content_ = false;  // a character of the text (not the indent) is on the line
    bool pending_ = false;  // the last character overflowed and was kept
    bool quoteSeen_ = false;
};

// Splits a laid-out line into its colour runs.
class RunSplitter {
public:
    void Char(std::string_view ch) {
        run_.text.append(ch.data(), static_cast<uint32_t>(ch.size()));
        ++run_.chars;
    }
    void Open(std::string_view code) { Flush(MessageColour(code)); }
    void Close() { Flush(kWhite); }
    void Pause() {}
    void Newline() {}
    std::vector<SColourRun> Finish() {
        Flush(kWhite);
        return std::move(runs_);
    }

private:
    void Flush(uint32_t next) {
        if (run_.chars > 0) runs_.push_back(run_);
        run_.chars = 0;
        run_.text.clear();
        run_.colour = next;
    }

    std::vector<SColourRun> runs_;
    SColourRun run_;
};


}  // namespace

// ---- shared window parts

const SGlobalConfig& HostConfig(IWindowHost* host) {
    static const SGlobalConfig defaults;
    return host != nullptr ? host->Config() : defaults;
}

bool HostScreenChanged(IWindowHost* host) { return host != nullptr && host->ScreenChanged(); }

namespace window_plane {

uint32_t BackgroundFill(int32_t surfaceType) {
    switch (surfaceType) {
        case ARGB4565:
        case ARGB4555: return 0x30000000;  // the 4-bit alpha 3 of pixel word 0x00030000
        case ARGB8888:
        case ABGR8888: return 0x3F000000;  // the bits of the float 0.5: alpha 63
        default: return 0;
    }
}

bool IsAlpha(ISurface& plane) { return plane.GetSurfaceType() >= ARGB4565; }

int Prepare(CFastPlane& plane, int32_t w, int32_t h, bool alpha) {
    int pw = 0, ph = 0;
    const bool fits = plane.GetSize(&pw, &ph) == 0 && pw == w && ph == h &&
                      IsAlpha(plane) == alpha;
    if (!fits && plane.CreateSurface(w, h, alpha) != 0) return 1;
    plane.SetFillColor(BackgroundFill(plane.GetSurfaceType()));
    plane.Clear(nullptr);
    return 0;
}

void DrawFrame(ISurface& plane, int32_t style) {
    constexpr int32_t t = kFrameTile;
    int w = 0, h = 0;
    if (style < 0 || plane.GetSize(&w, &h) != 0) return;
    const int32_t cx = (style % 4) * 64, cy = (style / 4 + 1) * 128;
    // The tile at (col, row) of the cell, cut to tw x th, at (x, y).
    auto tile = [&](int32_t col, int32_t row, int32_t x, int32_t y, int32_t tw = kFrameTile,
                    int32_t th = kFrameTile) {
        const Rect r{cx + col * t, cy + row * t, cx + col * t + tw, cy + row * t + th};
        CBltSupport::BltImageZero(plane, x, y, &r);
    };
    for (int32_t x = t; x < w - t; x += t) {
        const int32_t tw = std::min(t, w - t - x);
        tile(1, 0, x, 0, tw);
        tile(1, 2, x, h - t, tw);
    }
    for (int32_t y = t; y < h - t; y += t) {
        const int32_t th = std::min(t, h - t - y);
        tile(0, 1, 0, y, t, th);
        tile(2, 1, w - t, y, t, th);
    }
    tile(0, 0, 0, 0);
    tile(2, 0, w - t, 0);
    tile(0, 2, 0, h - t);
    tile(2, 2, w - t, h - t);
}

void Blit(ISurface& target, CFastPlane& plane, int32_t x, int32_t y, uint8_t rate, const Rect* r) {
    if (plane.GetSize(nullptr, nullptr) != 0) return;
    if (IsAlpha(plane)) {
        target.BlendBlt(&plane, x, y, rate, nullptr, r);
    } else {
        CBltSupport::BltKeyedCopy(target, plane, x, y, r);
    }
}

}  // namespace window_plane

// ---- layout

std::vector<SMessageLine> LayoutMessage(std::string_view text, int32_t width, const CharWidthFn& charWidth) {
    LineBuilder builder(width, charWidth);
    WalkMessage(text, builder);
    return builder.Finish();
}

uint32_t MessageColour(std::string_view code) {
    struct Entry {
        char code;
        uint32_t colour;
    };
    static constexpr Entry kTable[] = {
        {'1', 0xA0A0FF}, {'2', 0xA0FFA0}, {'3', 0xFFFFA0}, {'4', 0xA0FFFF}, {'5', 0xFFA0FF}, {'6', 0xFFA0A0},
        {'7', 0xFFE0C0}, {'8', 0xE0FFC0}, {'9', 0xC0A0FF}, {'B', 0xFFC0C0}, {'G', 0xC0FFC0}, {'R', 0xC0C0FF},
        {'Y', 0xC0FFFF}, {'b', 0xFF8080}, {'d', 0x4040FF}, {'g', 0x80FF80}, {'n', 0x808080}, {'p', 0xE0C0FF},
        {'r', 0x8080FF}, {'y', 0x80FFFF}};
    if (code.size() != 1) return kWhite;
    for (const Entry& e : kTable) {
        if (e.code == code[0]) return e.colour;
    }
    return kWhite;
}

std::vector<SColourRun> SplitColourRuns(std::string_view line) {
    RunSplitter splitter;
    WalkMessage(line, splitter);
    return splitter.Finish();
}

// ---- the window

CMessageWindow::~CMessageWindow() = default;

void CMessageWindow::Reset() {
    static_cast<SMessageSettings&>(*this) = SMessageSettings();
    st_ = State();
    pending_.clear();
    history_.clear();
    ClearShown();
}

int32_t CMessageWindow::Measure(std::string_view ch, int32_t size) {
    if (measure_) return measure_(ch, size);
    const VTLstring& face = Config().fontName;
    if (!(face == measureFace_)) {
        fontMeasures_.clear();
        measureFace_ = face;
    }
    return fontMeasures_.try_emplace(size, face, size).first->second.GetTextWidth(VTLstring(ch));
}

void CMessageWindow::SetText(int32_t mode, const VTLstring& text) {
    std::vector<SMessageLine> lines = LayoutMessage(text.view(), st_.width - indent - 2 * fontSize,
                                                    [&](std::string_view ch) { return Measure(ch, fontSize); });
    lines.front().newPage = newPage;
    newPage = false;
    // Mode 1, the default wait, is the key wait of -1.
    lines.back().wait = mode < 0 || mode == 1 ? kKeyAtEnd : mode == 0 ? kNoWait : std::min(mode, kNoWait - 1);
    pending_.insert(pending_.end(), lines.begin(), lines.end());
    st_.inProgress = true;
}

void CMessageWindow::ClearShown() {
    for (Slot& s : slots_) s = Slot();
    st_.shownCount = 0;
    st_.lineDone = true;
    st_.typingStop = kNoWait;
    st_.pauseCounter = 0;
}

int32_t CMessageWindow::TypingSlot() const {
    return st_.shownCount > 0 && !st_.lineDone ? static_cast<int32_t>((st_.shownCount - 1) % kRingSlots) : -1;
}

int32_t CMessageWindow::GetTyped() const {
    const int32_t slot = TypingSlot();
    return slot < 0 ? -1 : slots_[slot].typed;
}

void CMessageWindow::Rebuild() {
    st_.relayout = false;
    window_plane::Prepare(windowPlane_, st_.width, st_.visibleLines * kRowHeight + 32, st_.alphaPlanes);
    window_plane::DrawFrame(windowPlane_, st_.frameStyle);
    for (Slot& s : slots_) {
        if (!s.text.empty()) RenderSlot(s);
    }
}

void CMessageWindow::RenderSlot(Slot& slot) {
    const SGlobalConfig& config = Config();
    slot.runs.clear();
    slot.widths.clear();
    int32_t x = 0;
    for (const SColourRun& r : SplitColourRuns(slot.text.view())) {
        Run run;
        run.x = x;
        for (size_t at = 0; at < r.text.size();) {
            const std::string_view ch = CharAt(r.text.view(), at);
            at += ch.size();
            slot.widths.push_back(std::max(Measure(ch, st_.lineSize), 0));
            x += slot.widths.back();
        }
        run.plane = std::make_unique<CTextFastPlane>();
        CFont& font = *run.plane->GetFont();
        font.SetFont(config.fontName);
        font.SetSize(st_.lineSize);
        font.SetColor(r.colour);
        font.SetShadowColor(config.textShadow ? (r.colour >> 2) & 0x3F3F3F : CFont::kNoColour);
        font.SetText(r.text);
        if ((config.smoothText ? run.plane->UpdateTextAA2() : run.plane->UpdateText()) == 0) {
            slot.runs.push_back(std::move(run));
        }
    }
}

void CMessageWindow::TakeLine() {
    SMessageLine line = std::move(pending_.front());
    pending_.pop_front();
    if (line.newPage) ClearShown();
    Slot& slot = slots_[st_.shownCount++ % kRingSlots];
    slot = Slot();
    slot.text = line.text;
    RenderSlot(slot);
    st_.typingStop = line.typingStop;
    st_.pauseCounter = 0;
    st_.lineDone = false;
    st_.shown = true;
    st_.fadeCounter = 0;
    hidden = false;
    nextWait = line.wait;
    if (keepHistory) {
        history_.push_back(std::move(line));
        if (history_.size() > kHistoryLimit) history_.pop_front();
    }
}

bool CMessageWindow::Update(const KestraneGameBase2::SKey& key) {
    if (st_.relayout || ScreenChanged()) Rebuild();
    uint32_t mask = key.mask;
    if (inputLock > 0) {
        --inputLock;
        mask = 0;
    }
    const bool fast = (mask & Bit(KeyBit::kFastForward)) != 0;

    if (const int32_t typing = TypingSlot(); typing >= 0) {
        Slot& slot = slots_[typing];
        const auto length = static_cast<int32_t>(slot.widths.size());
        if (fast) {
            slot.typed = length;
            st_.typingStop = kNoWait;
            st_.pauseCounter = 0;
        }
        if (st_.pauseCounter > 0) {
            --st_.pauseCounter;
            return true;
        }
        if (slot.typed < length) {
            slot.typed = std::min(slot.typed + std::max(typingSpeed, 0), length);
            if (mask != 0 && slot.typed > 8) slot.typed = length;
            if (st_.typingStop != kNoWait && slot.typed >= st_.typingStop) {
                slot.typed = std::min(st_.typingStop, length);
                st_.typingStop = kNoWait;
                st_.pauseCounter = kTypingPause;
            }
        }
        if (st_.pauseCounter > 0 || slot.typed < length) return true;
        // The line is complete: its wait begins.
        st_.lineDone = true;
        st_.autoCounter = 0;
        if (nextWait > 0 && nextWait < kNoWait) {
            st_.waitCounter = nextWait;
            nextWait = kNoWait;
        } else if (nextWait < 0 && nextWait != kKeyAtEnd) {
            st_.waitCounter = -1;
            nextWait = kNoWait;
        }
    }

    if (st_.waitCounter != 0) {
        if (fast) {
            st_.waitCounter = 0;
        } else if ((mask & ((Bit(KeyBit::kDecide) << 1) - 1)) != 0) {  // a direction or the decide key
            st_.waitCounter = 0;
            return busyResult;
        } else if (st_.waitCounter > 0) {
            --st_.waitCounter;
        } else {
            // Key waits cycle -1 to -32 for the marker's bob.
            st_.waitCounter = st_.waitCounter <= -32 ? -1 : st_.waitCounter - 1;
            if (autoAdvance > 0 && ++st_.autoCounter >= autoAdvance) st_.waitCounter = 0;
        }
        if (st_.waitCounter != 0) return busyResult;
    }

    if (!pending_.empty()) {
        TakeLine();
        return true;
    }

    st_.inProgress = false;
    if (nextWait == kKeyAtEnd) {
        nextWait = kNoWait;
        st_.waitCounter = -1;
        st_.autoCounter = 0;
        return busyResult;
    }
    if (stayShown || !st_.shown) return false;
    if (++st_.fadeCounter > fadeLength) {
        st_.shown = false;
        st_.fadeCounter = 0;
        hidden = true;
        newPage = true;
        nextWait = kNoWait;
        return false;
    }
    return st_.fadeCounter <= fadeLength - 32;
}

void CMessageWindow::Clear() {
    fadeLength = 32;
    st_.waitCounter = 0;
    pending_.clear();
    ClearShown();
    hidden = true;
    st_.shown = st_.inProgress = false;
    st_.fadeCounter = 0;
}

void CMessageWindow::SetVisibleLines(int32_t lines) {
    if (lines == st_.visibleLines) return;
    st_.visibleLines = std::max(lines, 0);
    Rebuild();
}
void CMessageWindow::SetWidth(int32_t width) { st_.width = width, st_.relayout = true; }
void CMessageWindow::SetPosition(int32_t x, int32_t y) { st_.x = x, st_.y = y; }
void CMessageWindow::SetLineSize(int32_t size) { st_.lineSize = size, st_.relayout = true; }
void CMessageWindow::SetFrameStyle(int32_t style) { st_.frameStyle = style, st_.relayout = true; }
void CMessageWindow::SetAlphaPlanes(bool on) { st_.alphaPlanes = on, st_.relayout = true; }

void CMessageWindow::GetBox(int32_t& x, int32_t& y, int32_t& w, int32_t& h) const {
    w = st_.width;
    h = st_.visibleLines * kRowHeight + 32;
    x = st_.x == -1 ? (640 - w) / 2 : st_.x;
    y = st_.y == -1 ? (18 - st_.visibleLines) * kRowHeight : st_.y;
}

int32_t CMessageWindow::GetOpacity() const { return std::clamp((fadeLength - st_.fadeCounter) * 8, 0, 255); }

void CMessageWindow::DrawLine(ISurface& target, Slot& slot, int32_t x, int32_t y, bool typing, int32_t opacity) {
    int32_t shownWidth = INT32_MAX;
    if (typing) {
        shownWidth = 0;
        for (int32_t i = 0; i < slot.typed; ++i) shownWidth += slot.widths[i];
    }
    for (Run& run : slot.runs) {
        int w = 0, h = 0;
        if (run.x >= shownWidth || run.plane->GetSize(&w, &h) != 0) continue;
        const Rect part{0, 0, shownWidth - run.x, h};
        const Rect* r = shownWidth - run.x < w ? &part : nullptr;
        const auto rate = static_cast<uint8_t>(opacity);
        if (window_plane::IsAlpha(*run.plane)) {
            target.BlendBlt(run.plane.get(), x + run.x, y, rate, nullptr, r);
        } else {
            target.KeyedBlendBlt(run.plane.get(), x + run.x, y, rate, nullptr, r);
        }
    }
}

void CMessageWindow::Draw(ISurface* target) {
    if (hidden || !target) return;
    int32_t bx = 0, by = 0, pw = 0, ph = 0;
    GetBox(bx, by, pw, ph);
    const int32_t opacity = GetOpacity();
    int32_t tx = bx + 4, ty = by + 4;
    if (background) {
        window_plane::Blit(*target, windowPlane_, bx, by, static_cast<uint8_t>(opacity));
        tx = bx + 16 + indent;
        ty = by + 16;
    }
    const int64_t rows = std::min<int64_t>({st_.shownCount, st_.visibleLines, kRingSlots});
    for (int32_t row = 0; row < rows; ++row) {
        DrawLine(*target, slots_[row], tx, ty + row * kRowHeight, TypingSlot() == row, opacity);
    }
    if (st_.waitCounter < 0 && waitMarker) {
        const Rect marker{64, 128, 88, 144};
        CBltSupport::BltImageZero(*target, bx + pw / 2 - 12, by + ph - 16 - st_.waitCounter / 8, &marker);
    }
}

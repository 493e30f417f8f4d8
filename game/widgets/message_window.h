#pragma once
// The game's text windows: what they share (IWindowDraw, the host they read, the window plane
// with its translucent background and its frame of image-0 tiles) and CMessageWindow, the box
// at the bottom of the screen that lays Japanese text out into lines, types them out, waits
// and fades. Application thread only.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "draw/fast_plane.h"
#include "draw/text_fast_plane.h"
#include "framework/blt_support.h"
#include "framework/font_measure.h"
#include "framework/key_control.h"
#include "game/files/global_config.h"

// What the text windows and the scenes read of the running application.
class IWindowHost {
public:
    virtual const SGlobalConfig& Config() = 0;
    // True on a frame on which the display made its planes anew (pixel format or screen mode).
    virtual bool ScreenChanged() = 0;
    // The files of the last drop on the window; null when nothing can be dropped.
    virtual std::vector<tovarineGameSDK3rd::VTL::VTLstring>* DroppedFiles() { return nullptr; }
    // Whether drops reach the window.
    virtual void AcceptDrops(bool accept) { (void)accept; }
    // The settings record to change and save; null when the host keeps none.
    virtual SGlobalConfig* EditableConfig() { return nullptr; }
    // Opens the settings dialog over the game (the title menu's "設定"); nothing without one.
    virtual void OpenSettings() {}

protected:
    ~IWindowHost() = default;
};
// What a host answers; without one (null), a settings record at its defaults and a screen that
// never changes.
const SGlobalConfig& HostConfig(IWindowHost* host);
bool HostScreenChanged(IWindowHost* host);

// A window that the frame's draw list draws, reading the host its owner hands it.
class IWindowDraw {
public:
    virtual ~IWindowDraw() = default;
    virtual void Draw(tovarineGameSDK3rd::Draw::ISurface* target) = 0;
    // Null (the start): the null host's answers.
    void SetHost(IWindowHost* host) { host_ = host; }

protected:
    const SGlobalConfig& Config() const { return HostConfig(host_); }
    bool ScreenChanged() const { return HostScreenChanged(host_); }

private:
    IWindowHost* host_ = nullptr;
};

// The window plane both windows draw their box into.
namespace window_plane {
bool IsAlpha(tovarineGameSDK3rd::Draw::ISurface& plane);
// The background fill colour for a plane of the surface type: black at about a quarter opacity
// on the alpha formats (pixel words 0x00030000 on 4-bit alpha, 0x3F000000 on 8-bit), plain
// black elsewhere, which the plane's colour key 0 leaves transparent.
uint32_t BackgroundFill(int32_t surfaceType);
// Gives the plane a surface of w x h (alpha or not), made anew only when it has another size
// or kind, and fills it with the background. 0, or 1 when no surface could be made.
int Prepare(tovarineGameSDK3rd::Draw::CFastPlane& plane, int32_t w, int32_t h, bool alpha);
// Draws the frame of a style around the plane: 3 x 3 tiles of 16 pixels from image 0, the
// corners once and the edges repeated (the last one cut to fit).
void DrawFrame(tovarineGameSDK3rd::Draw::ISurface& plane, int32_t style);
// Puts the plane (or r of it) on the target: blended at the rate when it has alpha, else
// copied with its colour key. Nothing for a plane without a surface.
void Blit(tovarineGameSDK3rd::Draw::ISurface& target, tovarineGameSDK3rd::Draw::CFastPlane& plane, int32_t x,
          int32_t y, uint8_t rate, const tovarineGameSDK3rd::Draw::Rect* r = nullptr);
}  // namespace window_plane

// One laid-out line of a message.
struct SMessageLine {
    tovarineGameSDK3rd::VTL::VTLstring text;  // with colour codes; a code open at its end is closed
    int32_t wait = 0xFFFF;                    // after typing: frames, 0xFFFF none, < 0 a key
    int32_t typingStop = 0xFFFF;              // character index of a "\w" pause, 0xFFFF none
    bool newPage = false;                     // clears the shown lines before it is shown
};

// Width in pixels of one character (one or two bytes).
using CharWidthFn = std::function<int32_t(std::string_view ch)>;

// Breaks a text into lines no wider than `width` (once a line is full, only a character that
// may not begin a line hangs past it): "\n" ends a line, "#c" and "#" open and close colour
// c, "\w" marks a typing pause, and after a "「" every further line begins with "　". Reads
// Shift-JIS characters up to the end or a NUL and never splits one. Waits are left at none.
std::vector<SMessageLine> LayoutMessage(std::string_view text, int32_t width, const CharWidthFn& charWidth);

// A run of one colour in a line: the text without codes and its count of characters.
struct SColourRun {
    uint32_t colour = 0xFFFFFF;  // 0x00BBGGRR
    tovarineGameSDK3rd::VTL::VTLstring text;
    int32_t chars = 0;
};
// The runs of a laid-out line, in order; white outside colour codes. Empty runs are left out.
std::vector<SColourRun> SplitColourRuns(std::string_view line);
// The colour of code c: the table's entry, white for any other code.
uint32_t MessageColour(std::string_view code);

// What the scenes set on the message window before a text.
struct SMessageSettings {
    int32_t fontSize = 28;  // the character size that layout measures with
    int32_t indent = 0;
    bool newPage = true;       // the next text clears the shown lines first
    int32_t nextWait = 0xFFFF;  // the wait of the line just shown
    bool busyResult = true;    // what Update answers while it waits
    bool stayShown = false;    // after the last line: stays on screen and Update answers false
    bool hidden = true;
    bool background = true;
    bool waitMarker = true;
    int32_t inputLock = 0;  // frames in which keys are ignored
    int32_t typingSpeed = 1;
    int32_t autoAdvance = 0;  // > 0: key waits end by themselves after this many frames
    bool keepHistory = true;
    int32_t fadeLength = 32;  // the window fades out over the last 32 frames of this count
};

class CMessageWindow : public IWindowDraw, public KestraneGameBase2::CBltSupport, public SMessageSettings {
public:
    static constexpr int32_t kNoWait = 0xFFFF;
    static constexpr int32_t kKeyAtEnd = -2;  // a key wait once no line is pending
    static constexpr int32_t kRowHeight = 24;
    static constexpr int32_t kRingSlots = 5;
    static constexpr int32_t kTypingPause = 30;
    static constexpr size_t kHistoryLimit = 100;

    // Width in pixels of one character at a character size.
    using MeasureFn = std::function<int32_t(std::string_view ch, int32_t size)>;

    CMessageWindow() = default;
    ~CMessageWindow() override;

    // Every field back to its default.
    void Reset();
    // Lays text out and queues its lines. The last line waits: mode -1 or 1 for a key, then
    // the window closes; 0 not at all; n > 0 n frames.
    void SetText(int32_t mode, const tovarineGameSDK3rd::VTL::VTLstring& text);
    // One frame of typing and waiting; true while the window is busy.
    bool Update(const KestraneGameBase2::SKey& key);
    // Drops every line, stops any wait and hides the window.
    void Clear();
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;

    // Layout: the window plane is made again before the next frame, or at once for the lines.
    void SetVisibleLines(int32_t lines);
    void SetWidth(int32_t width);
    void SetPosition(int32_t x, int32_t y);  // -1: centred / lines ending at row 18
    void SetLineSize(int32_t size);          // character size of the rendered lines
    void SetFrameStyle(int32_t style);       // < 0: no frame
    void SetAlphaPlanes(bool on);
    int32_t GetVisibleLines() const { return st_.visibleLines; }
    int32_t GetLineSize() const { return st_.lineSize; }
    // The box as drawn: its place and the window plane's size.
    void GetBox(int32_t& x, int32_t& y, int32_t& w, int32_t& h) const;
    // 255, or lower over the last 32 frames of the fade.
    int32_t GetOpacity() const;

    // Replaces the font measure (tests give fixed widths); empty: the settings' fontName.
    void SetMeasure(MeasureFn measure) { measure_ = std::move(measure); }

    bool IsShown() const { return st_.shown; }
    bool IsInProgress() const { return st_.inProgress; }
    bool HasText() const { return st_.shownCount > 0; }
    int32_t GetWaitCounter() const { return st_.waitCounter; }
    // Characters typed of the line being typed; -1 when no line is being typed.
    int32_t GetTyped() const;
    const std::deque<SMessageLine>& GetPending() const { return pending_; }
    const std::deque<SMessageLine>& GetHistory() const { return history_; }

private:
    struct Run {
        std::unique_ptr<tovarineGameSDK3rd::Draw::CTextFastPlane> plane;
        int32_t x = 0;  // from the line's start
    };
    struct Slot {
        tovarineGameSDK3rd::VTL::VTLstring text;
        std::vector<Run> runs;
        std::vector<int32_t> widths;  // per character, at the line size
        int32_t typed = 0;
    };
    struct State {
        bool relayout = true;  // the planes are made again before the next frame
        int32_t lineSize = 24;
        int32_t visibleLines = 3;
        int32_t frameStyle = 0;
        int32_t x = -1;
        int32_t y = -1;
        int32_t width = 640;
        bool alphaPlanes = true;
        int32_t waitCounter = 0;  // > 0 frames left; < 0 a key wait, cycling -1 to -32
        int32_t fadeCounter = 0;
        int32_t typingStop = kNoWait;
        int32_t pauseCounter = 0;
        int32_t autoCounter = 0;
        bool lineDone = true;  // the line being typed has ended and had its wait started
        bool shown = false;
        bool inProgress = false;
        int64_t shownCount = 0;  // lines shown on this page; line i lives in slot i mod 5
    };

    int32_t Measure(std::string_view ch, int32_t size);
    void Rebuild();
    void RenderSlot(Slot& slot);
    void TakeLine();
    // The ring slot of the line being typed; -1 when none is.
    int32_t TypingSlot() const;
    void ClearShown();
    void DrawLine(tovarineGameSDK3rd::Draw::ISurface& target, Slot& slot, int32_t x, int32_t y, bool typing,
                  int32_t opacity);

    State st_;
    std::deque<SMessageLine> pending_;
    std::deque<SMessageLine> history_;
    tovarineGameSDK3rd::Draw::CFastPlane windowPlane_;
    std::array<Slot, kRingSlots> slots_;
    MeasureFn measure_;
    tovarineGameSDK3rd::VTL::VTLstring measureFace_;
    std::map<int32_t, KestraneGameBase2::CFontMeasure> fontMeasures_;  // by size
};

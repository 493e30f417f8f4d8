#pragma once
// CSelectWindow: the menu box of the title, the pause and the game-over choices, a column of
// one-line items under a blinking cursor bar, opened and closed with a vertical grow and
// shrink. Application thread only.
#include <cstdint>
#include <vector>

#include "draw/fast_plane.h"
#include "game/widgets/message_window.h"

class CSelectWindow : public IWindowDraw, public KestraneGameBase2::CBltSupport {
public:
    static constexpr int32_t kItemHeight = 32;
    static constexpr int32_t kFadeStep = 16;

    // Places the window, takes the items (fields separated by "\n" or TAB) and the cursor, and
    // prepares the box without drawing into it.
    void Open(int32_t x, int32_t y, int32_t width, int32_t cursor, const tovarineGameSDK3rd::VTL::VTLstring& text);
    // Draws the box anew: with the items (open and still), or empty and starting to open.
    void Render(bool withText);
    // One frame: the animation, or the cursor keys. True when the cursor moved.
    bool Update(const KestraneGameBase2::SKey& key);
    void Draw(tovarineGameSDK3rd::Draw::ISurface* target) override;
    // The blinking bar on the chosen item; nothing while none is chosen.
    void DrawCursor(tovarineGameSDK3rd::Draw::ISurface* target);

    int32_t GetCount() const { return static_cast<int32_t>(items_.size()); }
    int32_t GetBlink() const { return blink_; }
    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    // The bar's opacity at the blink counter.
    int32_t GetCursorOpacity() const;

    int32_t cursor = -1;  // the chosen item; none when it is not an item's index
    int32_t fade = 0;     // > 0 opening, < 0 closing (the scenes start it at -255), 0 open
    bool closed = false;  // the closing has ended; cleared by Open

private:
    void Prepare();
    void Paint(bool withText);
    bool Chosen() const { return cursor >= 0 && cursor < GetCount(); }

    tovarineGameSDK3rd::Draw::CFastPlane plane_;
    int32_t blink_ = 0;
    int32_t width_ = 100;
    int32_t x_ = 0;
    int32_t y_ = 0;
    std::vector<tovarineGameSDK3rd::VTL::VTLstring> items_;
};

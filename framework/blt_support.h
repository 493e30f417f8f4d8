#pragma once
// CBltSupport: the drawing helpers that every drawable game object, the play state and the
// text windows derive from. Four wrap the surface's own blit with a fixed operation; the
// others work on the pixels of 16-bit (RGB565, RGB555) and 32-bit (XRGB8888, XBGR8888,
// ARGB8888, ABGR8888) surfaces themselves and fall back to a surface blit for other pairs.
// Application thread only.
//
// Every helper answers 0 when it drew (or had nothing to draw), 1 when a surface's lock was
// refused (nothing is drawn), and what the surface blit answers when it ends in one.
#include <cstdint>

#include "draw/base/blt_geometry.h"
#include "draw/surface.h"

namespace KestraneGameBase2 {

using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Rect;

// What an observer is told of a helper call, before the helper runs.
struct SBltSupportCall {
    const char* helper = "";  // the helper's name, e.g. "BltDouble"
    ISurface* dst = nullptr;
    ISurface* src = nullptr;  // null for DarkenRect and MakeGray; image 0 for BltImageZero
    int32_t x = 0, y = 0;
    bool hasRect = false;
    Rect rect{};         // the source rectangle; DarkenRect's own rectangle (x, y, x + w, y + h)
    uint32_t value = 0;  // the colour of AddColor, the rate of the rated helpers, else 0
};

// Sees every helper call; tests record draw calls through it.
class IBltSupportObserver {
public:
    virtual void OnBltSupport(const SBltSupportCall& call) = 0;
    virtual ~IBltSupportObserver() = default;
};

class CBltSupport {
public:
    virtual ~CBltSupport();

    // Surface blits at (x, y), no stretching; r null: the whole source.
    static int BltCopy(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r = nullptr);
    static int BltKeyedCopy(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r = nullptr);
    static int BltBlend(ISurface& dst, ISurface& src, int32_t x, int32_t y, int32_t rate, const Rect* r = nullptr);
    static int BltKeyedBlend(ISurface& dst, ISurface& src, int32_t x, int32_t y, int32_t rate,
                             const Rect* r = nullptr);
    // Image 0 of the image list, keyed; magnified 2 times while the double-size switch is on.
    static int BltImageZero(ISurface& dst, int32_t x, int32_t y, const Rect* r = nullptr);

    // Keyed copy magnified 2 times (16-bit: an odd x lands on the even column below it).
    static int BltDouble(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r = nullptr);
    // Magnified 2 times without key: 16-bit half-brightness copy, 32-bit saturating add.
    static int BltDoubleBlend(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r = nullptr);
    // Keyed copy of source + colour, each of the four bytes saturated (32-bit pairs).
    static int AddColor(ISurface& dst, ISurface& src, uint32_t colour, int32_t x, int32_t y,
                        const Rect* r = nullptr);
    // Halves the brightness of a rectangle in place.
    static int DarkenRect(ISurface& dst, int32_t x, int32_t y, int32_t w, int32_t h);
    // Source-alpha compositing between two 4-bit or two 8-bit alpha surfaces.
    static int BltAlphaOver(ISurface& dst, ISurface& src, int32_t x, int32_t y, const Rect* r = nullptr);
    // Saturating add of source x rate / 256 (32-bit pairs), every source pixel, top byte 0.
    static int BltAddRate(ISurface& dst, ISurface& src, int32_t x, int32_t y, int32_t rate,
                          const Rect* r = nullptr);
    // Turns a 32-bit surface grey in place; 1 for a surface of format 0 or a refused lock.
    static int MakeGray(ISurface& surface);

    // 0 both 16-bit (key := 0xF81F on an RGB565 destination, 0x7C1F on RGB555), 1 both 32-bit
    // (key left alone), -1 any other pair.
    static int CheckFormat(ISurface& dst, ISurface& src, uint32_t& key);
    // Clips a blit of (sx, sy, w, h) of src (or r) to dst at (dx, dy), plain or magnified 2
    // times; true when nothing is left to draw.
    static bool ClipRect(ISurface& dst, ISurface& src, int32_t& dx, int32_t& dy, int32_t& sx, int32_t& sy,
                         int32_t& w, int32_t& h, const Rect* r, bool doubled);

    // The framework's double-size switch (0 at start): BltImageZero magnifies while it is 1 or more.
    static void SetDoubleSize(int32_t scale);
    static int32_t GetDoubleSize();

    // Installs an observer (null: none); answers the one it replaces.
    static IBltSupportObserver* SetObserver(IBltSupportObserver* observer);
};

}  // namespace KestraneGameBase2

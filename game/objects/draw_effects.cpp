// The draws of the effect family: plain effects with their special motions, land effects,
// score numbers, cut-in layers and text objects. Like every draw they read no play generator
// and change nothing.
#include "framework/image_loader.h"
#include "framework/sine_table.h"
#include "game/objects/objects.h"

using KestraneGameBase2::CImageLoader;
using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::ISurface;
using tovarineGameSDK3rd::Draw::Rect;
using tovarineGameSDK3rd::Draw::Size;

namespace {

ISurface& Image(int32_t id) { return CImageLoader::GetImage(id); }

// a x b in 32 bits with the machine's wrap-around.
int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

Rect WholeImage(int32_t id) {
    int w = 0;
    int h = 0;
    Image(id).GetSize(&w, &h);
    return Rect{0, 0, w, h};
}

// A faded-out effect (fade length set, counter run down) draws nothing at all.
bool FadedOut(const IObjectDraw& o) { return o.fadeLength != 0 && o.fadeCounter == 0; }

}  // namespace

int32_t CObjectEffect::Value() const { return static_cast<int32_t>(effectReserved); }

bool CObjectEffect::CommonSource(int32_t f, int32_t r, Rect& source) const {
    if (kind->srcX == -1) {
        source = WholeImage(kind->image);
        return true;
    }
    source = Rect{f, r, 0, 0};
    return EffectCellRect(*kind, source, kind->image);
}

void CObjectEffect::DrawSprite(ISurface* target, int32_t x, int32_t y, const Rect* source, int32_t image) {
    if (image == -1) image = kind->image;
    if (FadedOut(*this)) return;
    const uint8_t a = EffectiveAlpha();
    ISurface& src = Image(image);
    switch (kind->blend) {
    case 2:
        if (a == 255) {
            target->AddBlt(&src, x, y, nullptr, source);
        } else {
            target->AddRateBlt(&src, x, y, a, nullptr, source);
        }
        return;
    case 1:
        if (a == 255) {
            BltCopy(*target, src, x, y, source);
        } else if (a != 0) {
            BltBlend(*target, src, x, y, a, source);
        }
        return;
    case 3:
        target->BlendBlt(&src, x, y, a, nullptr, source);
        return;
    default:
        if (a == 255) {
            BltKeyedCopy(*target, src, x, y, source);
        } else if (a != 0) {
            BltKeyedBlend(*target, src, x, y, a, source);
        }
        return;
    }
}

void CObjectEffect::Draw(ISurface* target) {
    if (startDelay > 0) return;
    const SEffectKind& k = *kind;
    const int32_t width = k.cellWidth;
    const int32_t height = k.cellHeight;
    const uint16_t n = animCounter;
    const int32_t value = Value();
    int32_t sx = TruncInt(x - width / 2 + k.value7);
    int32_t sy = TruncInt(y - height / 2 + k.value8);
    int32_t f = 0;
    int32_t r = 0;
    Rect source{};
    switch (k.frameTime) {
    case -4:
        f = value;
        break;
    case -10: {  // a picture chosen by the value; a negative one shows the picture's right twin
        const int32_t image = value < 0 ? -static_cast<int32_t>(static_cast<uint32_t>(value)) : value;
        source = WholeImage(image);
        if (value < 0) source.left = source.right, source.right *= 2;
        DrawSprite(target, sx, sy, &source, image);
        return;
    }
    case -7: {  // a spiral closing in on the centre over 24 frames
        int32_t q = value / 64 - 32;
        q += q < 0 ? -8 : 8;
        const int32_t r1 = WrapMul(24 - n, q) / 24;
        const int32_t r2 = WrapMul(24 - n, r1) / 24;
        const uint8_t b = static_cast<uint8_t>(5u * n + static_cast<uint32_t>(value));
        f = n / 4;
        sx = TruncInt(sx + r1 * CosOf(b) - r2 * SinOf(b));
        sy = TruncInt(sy + r2 * CosOf(b) + r1 * SinOf(b));
        break;
    }
    case -8: {  // a square growing from the centre, added at a rate
        int32_t s = 0;
        uint8_t rate = alpha;
        if (fadeLength != 0) {
            if (fadeCounter == 0) return;
            s = width * fadeCounter / fadeLength;
            rate = static_cast<uint8_t>(alpha * fadeCounter / fadeLength);
        } else if (n < 32) {
            s = width * n / 32;
        } else {
            break;
        }
        source = Rect{0, 0, 0, 0};
        if (!EffectCellRect(k, source, k.image)) return;
        const Size size{s, s};
        // sx is INT32_MIN for an effect flown out of the int range: the corner wraps as the
        // machine's does, far off the screen.
        target->AddRateBlt(&Image(k.image), WrapAdd(sx, (width - s) / 2), WrapAdd(sy, (height - s) / 2), rate,
                           &size, &source);
        return;
    }
    case -9: {  // a beam: copies half a cell apart along the turn until one has left the screen
        source = Rect{0, 0, 0, 0};
        if (!EffectCellRect(k, source, k.image)) return;
        const int32_t half = width / 2;
        const double stepX = CosOf(turn) * half;
        const double stepY = SinOf(turn) * half;
        // A zero step never leaves the screen: the six copies that are always drawn, then stop.
        const bool still = stepX == 0.0 && stepY == 0.0;
        for (int32_t i = 1;; ++i) {
            const double cx = sx + stepX * i;
            const double cy = sy + stepY * i;
            DrawSprite(target, TruncInt(cx), TruncInt(cy), &source);
            const bool off = cx < -1.0 || cy < -1.0 || cx > 641.0 || cy > 481.0;
            if (i >= 6 && (off || still)) break;
        }
        break;
    }
    default:
        if (k.frameTime >= 1) {
            f = FrameOf(k, n);
            if (value > 0) r = value;
        }
        break;
    }
    if (!CommonSource(f, r, source)) return;
    if (k.frameTime == -1) {  // a strip read from further right as the value grows
        source.left = WrapMul(6, value / 2) + (value >= 7 ? 42 : 0) + source.left;
        source.right = static_cast<int32_t>(static_cast<uint32_t>(source.left) + static_cast<uint32_t>(width));
    }
    DrawSprite(target, sx, sy, &source);
}

void CObjectEffectLand::Draw(ISurface* target) {
    if (startDelay > 0) return;
    const SEffectKind& k = *kind;
    const int32_t width = k.cellWidth;
    const int32_t height = k.cellHeight;
    const int32_t n = animCounter;
    const int32_t sx = screenX;
    const int32_t sy = screenY;
    Rect source{};
    switch (k.frameTime) {
    case -1: {  // a pile of rows, each two pieces wider than the one above
        if (width <= 0 || height <= 0) return;  // pieces of no size show nothing
        int w = 0;
        int h = 0;
        target->GetSize(&w, &h);
        int64_t y0 = sy - static_cast<int64_t>(height) * Value();
        int64_t x0 = sx;
        int32_t top = k.srcY;
        // A row below the target shows nothing, and nor does any after it.
        for (int64_t row = 0, pieces = 1; row < Value() && y0 < h; ++row) {
            auto piece = [&](int32_t column, int64_t px) {
                const int32_t left = k.srcX + width * column;
                const Rect cell{left, top, left + width, top + height};
                DrawSprite(target, static_cast<int32_t>(px), static_cast<int32_t>(y0), &cell);
            };
            piece(0, x0);
            for (int64_t i = 1; i <= pieces && x0 + width * i < w; ++i) piece(1, x0 + width * i);
            piece(2, x0 + width * (pieces + 1));
            if (top < 192) top += height;
            pieces += 2;
            y0 += height;
            x0 -= width;
        }
        return;
    }
    case -2:
    case -5: {  // a bar widening from its centre
        if (FadedOut(*this)) return;
        const int32_t wide = n * width / 30;
        source = Rect{k.srcX, k.srcY, k.srcX + width, k.srcY + height};
        const Size size{wide, height};
        target->AddRateBlt(&Image(k.image), sx - (wide - width) / 2, sy, EffectiveAlpha(), &size, &source);
        return;
    }
    case -3: {  // four pieces flying apart diagonally
        if (FadedOut(*this)) return;
        for (int32_t i = 0; i < 4; ++i) {
            source = Rect{i % 2, i / 2, 0, 0};
            if (!EffectCellRect(k, source, k.image)) continue;
            target->KeyedBlendBlt(&Image(k.image), sx + (i % 2 ? n : -n), sy + (i / 2 ? n : -n), EffectiveAlpha(),
                                  nullptr, &source);
        }
        return;
    }
    case -6: {  // eight pieces on a closing, turning circle
        const int32_t radius = 2 * (30 - n);
        for (int32_t i = 0; i < 8; ++i) {
            const uint8_t a = static_cast<uint8_t>(2 * (16 * i + n));
            source = Rect{i, 0, 0, 0};
            if (EffectCellRect(k, source, k.image)) {
                DrawSprite(target, sx + TruncInt(CosOf(a) * radius), sy + TruncInt(SinOf(a) * radius), &source);
            }
        }
        return;
    }
    case -7:
        source = Rect{TruncInt(x / 32) % 4, 0, 0, 0};  // the look follows the place
        break;
    default:
        source = Rect{FrameOf(k, animCounter), 0, 0, 0};
        break;
    }
    if (EffectCellRect(k, source, k.image)) DrawSprite(target, sx, sy, &source);
}

void CObjectENumber::Draw(ISurface* target) {
    const SEffectKind& k = *kind;
    const int32_t width = k.cellWidth;
    const int32_t height = k.cellHeight;
    // The digits of the magnitude, most significant first; no sign is shown.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[10];
    int32_t count = 0;
    do {
        digits[count++] = static_cast<char>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    // Wide arithmetic: a number far off the field, or cells of a damaged kind, must not
    // wrap round onto the screen; digits whose place leaves the int range are not drawn.
    int64_t px = int64_t{TruncInt(x)} - int64_t{width} * count / 2;
    const int32_t py = TruncInt(y - height / 2);
    while (count > 0) {
        const int64_t left = int64_t{width} * digits[--count] + k.srcX;
        if (px == static_cast<int32_t>(px) && left == static_cast<int32_t>(left) &&
            left + width == static_cast<int32_t>(left + width)) {
            const Rect source{static_cast<int32_t>(left), k.srcY, static_cast<int32_t>(left + width),
                              k.srcY + height};
            DrawSprite(target, static_cast<int32_t>(px), py, &source);
        }
        px += width;
    }
}

void CObjectCutin::Draw(ISurface* target) {
    if (startDelay > 0) return;
    const SEffectKind& k = *kind;
    const int32_t n = animCounter;
    const int32_t d = k.frameTime;
    const int32_t px = TruncInt(k.value7 + x);
    const int32_t py = TruncInt(k.value8 + y);
    int32_t image = k.image;
    if (d > 0 && static_cast<uint32_t>(n / d) < k.frames.size()) image += k.frames[static_cast<uint32_t>(n / d)];
    const Rect source = k.srcX == -1 ? WholeImage(image)
                                     : Rect{k.srcX, k.srcY, k.srcX + k.cellWidth, k.srcY + k.cellHeight};
    const int32_t w = source.right;
    const int32_t h = source.bottom;
    switch (d) {
    case -5:
    case -1: {  // a picture zooming in from a bottom corner
        const Size size{24 * n, 18 * n};
        target->AddBlt(&Image(image), d == -5 ? 0 : w - 24 * n, h - 18 * n, &size, &source);
        return;
    }
    case -3: {  // a band stretching in from the right
        const Size size{96 * n + 64, h};
        // px is INT32_MIN for a layer flown out of the int range: the left edge wraps as the
        // machine's does, far off the screen.
        target->AddBlt(&Image(image), WrapSub(px, 96 * n + 64 - w), py, &size, &source);
        return;
    }
    case -4:  // eight pictures in turn, then two sets that close the show
        image += (n / 3) % 8 + (n >= 56 ? 16 : n >= 48 ? 8 : 0);
        break;
    default:
        break;
    }
    DrawSprite(target, px, py, &source, image);
}

void CObjectFont::Draw(ISurface* target) {
    uint8_t a = alpha;
    if (fadeCounter > 0 && fadeLength != 0) a = static_cast<uint8_t>(alpha * fadeCounter / fadeLength);
    const int32_t px = TruncInt(x);
    const int32_t py = TruncInt(y);
    if (a < 255 || smoothed != 0) {  // smoothed text carries its own alpha: always blended
        if (a != 0) target->BlendBlt(&textPlane, px, py, a);
    } else {
        BltKeyedCopy(*target, textPlane, px, py);
    }
}

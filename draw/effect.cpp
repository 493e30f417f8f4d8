#include "draw/effect.h"

#include <cstring>
#include <type_traits>

#include "draw/base/add_sub_pixel.h"
#include "draw/base/blend_tables.h"
#include "draw/base/pixel_lanes.h"
#include "draw/base/simd_kernels.h"
#include "draw/base/surface_lock.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

// Every effect but the mosaic is a function of the raw pixel alone: an op over the format F
// gives Apply(raw) -> new raw, and ApplyRect walks it over the rectangle.

// Bits beyond the colour channels that the colour rules keep from the old pixel, and bits
// they set: RGB555 keeps bit 15, the pad byte stays, a 4-bit alpha byte stays (bit 15 of an
// ARGB4555 word does not: it is not colour, so it comes out 0), an 8-bit alpha becomes 255.
template <class F>
constexpr uint32_t kKeptBits = F::kExtra == PixelExtra::Bit15    ? 0x8000u
                               : F::kExtra == PixelExtra::Pad    ? 0xFF000000u
                               : F::kExtra == PixelExtra::Alpha4 ? 0x00FF0000u
                                                                 : 0u;
template <class F>
constexpr uint32_t kSetBits = F::kExtra == PixelExtra::Alpha8 ? 0xFF000000u : 0u;

// The ops' Apply takes a raw pixel (uint32_t) or, where the op has a vector form (kVector), a
// vector of the format's raw words (Lanes<F, F>::W: eight 16-bit or four 32-bit pixels);
// Lane<W>(c) is a constant in each lane.
template <class W>
W Lane(uint32_t c) {
    if constexpr (std::is_same_v<W, uint32_t>) {
        return c;
    } else {
        return W{} + static_cast<std::remove_cvref_t<decltype(W{}[0])>>(c);
    }
}

template <class F>
struct ClearOp {
    uint32_t value;  // the fill colour packed to F (pad 0, 4-bit alpha, 8-bit alpha)
    static constexpr bool kVector = true;
    template <class W>
    W Apply(W) const {
        return Lane<W>(value);
    }
};

template <class F, bool Add>
struct SaturateOp {
    uint32_t operand;  // the colour packed to F; only its colour channels count
    static constexpr bool kVector = true;
    template <class W>
    W Apply(W d) const {
        if constexpr (sizeof(W) == 16 && F::kR.bits == 8) {
            // 8-bit channels: one saturating byte operation, the other bytes as the rule says.
            // The operand's other bytes are 0, so they keep the pixel's.
            const auto sat = Add ? simd::AddSatU8 : simd::SubSatU8;
            const auto c = reinterpret_cast<W>(sat(reinterpret_cast<simd::U8x16>(d),
                                                   reinterpret_cast<simd::U8x16>(Lane<W>(operand & F::kColorMask))));
            static_assert(kKeptBits<F> == (~F::kColorMask & ~kSetBits<F>));
            return c | kSetBits<F>;
        } else if constexpr (sizeof(W) == 16) {
            // A 16-bit format holds two pixels a 32-bit lane: its masks repeat.
            constexpr uint32_t kRep = F::kBytes == 2 ? 0x10001u : 1u;
            const auto v = reinterpret_cast<simd::U32x4>(d), o = simd::U32x4{} + operand * kRep;
            const auto c = Add ? SaturatingAdd<F>(v, o) : SaturatingSub<F>(v, o);
            return reinterpret_cast<W>(c | (v & kKeptBits<F> * kRep) | kSetBits<F>);
        } else {
            const uint32_t c = Add ? SaturatingAdd<F>(d, operand) : SaturatingSub<F>(d, operand);
            return c | (d & kKeptBits<F>) | kSetBits<F>;
        }
    }
};

template <class F>
struct NegativeOp {
    // The 4-bit alpha formats invert the whole 16-bit word (ARGB4555 bit 15 too); the 8-bit
    // alpha formats invert the colour and leave alpha 0; the rest invert their colour bits.
    static constexpr uint32_t kInvert = F::kExtra == PixelExtra::Alpha4 ? 0xFFFFu : F::kColorMask;
    static constexpr uint32_t kKeep = F::kExtra == PixelExtra::Alpha8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    static constexpr bool kVector = true;
    template <class W>
    W Apply(W d) const {
        return (d ^ Lane<W>(kInvert)) & Lane<W>(kKeep);
    }
};

template <class F>
struct FadeOp {
    explicit FadeOp(uint8_t rate) : rate(rate), mul(BltMulTable[rate]) {
        if constexpr (F::kType == RGB565) {
            levelIndex = (rate & 0xE0) >> 4;  // even levels only: 255 gives 14
        } else if constexpr (F::kType == RGB555) {
            levelIndex = rate >> 4;
        }
        if constexpr (F::kBytes == 2) level = F::kType == RGB565 ? BltLevelTable565[levelIndex] : BltLevelTable555[levelIndex];
    }
    uint8_t rate;
    const uint8_t* mul;               // BltMulTable row of the rate
    uint32_t levelIndex = 0;          // level of the 16-bit formats
    const uint16_t* level = nullptr;  // its level table row
    // The 16-bit formats and the 8-bit channels have a vector form: the tables' arithmetic
    // (floor(c * l / 15) per field; floor(x * rate / 255) per byte, 255 keeping a byte and 0
    // clearing the pad byte).
    static constexpr bool kVector = F::kBytes == 2 || F::kR.bits == 8;
    template <class W>
    W Apply(W d) const {
        if constexpr (sizeof(W) == 16 && F::kBytes == 2) {
            const auto v = reinterpret_cast<simd::U32x4>(d);
            return reinterpret_cast<W>(ScaleLevel<F>(v, simd::U32x4{} + levelIndex * 0x10001u));
        } else if constexpr (sizeof(W) == 16) {
            // An alpha format fades its alpha byte and keeps its colour; the others the reverse.
            constexpr bool kAlpha = F::kExtra == PixelExtra::Alpha8;
            const uint32_t weights = (kAlpha ? 0xFFu : rate) * 0x010101u | (kAlpha ? rate : 0u) << 24;
            return reinterpret_cast<W>(simd::MulDiv255U8(reinterpret_cast<simd::U8x16>(d),
                                                         reinterpret_cast<simd::U8x16>(Lane<W>(weights))));
        } else if constexpr (F::kBytes == 2) {
            return level[d & 0xFFFF];
        } else if constexpr (F::kExtra == PixelExtra::Alpha4) {
            // Only the alpha fades. A byte above 15 (a same-format copy can carry one) is
            // taken as its level so that the lookup stays inside the row.
            const uint32_t a = (d >> 16) & 15u;
            return (d & 0xFFFFu) | static_cast<uint32_t>(mul[a << 4] >> 4) << 16;
        } else if constexpr (F::kExtra == PixelExtra::Alpha8) {
            return (d & 0x00FFFFFFu) | static_cast<uint32_t>(mul[d >> 24]) << 24;
        } else {
            // Three 8-bit colour channels; the pad byte of the 32-bit formats becomes 0.
            return static_cast<uint32_t>(mul[(d >> F::kR.shift) & 0xFF]) << F::kR.shift |
                   static_cast<uint32_t>(mul[(d >> F::kG.shift) & 0xFF]) << F::kG.shift |
                   static_cast<uint32_t>(mul[(d >> F::kB.shift) & 0xFF]) << F::kB.shift;
        }
    }
};

// Applies op to n pixels from p: eight a vector where the format and the op have a vector
// form, then one by one.
template <class F, class Op>
inline void ApplyRow(const Op& op, uint8_t* p, int n) {
    constexpr int B = F::kBytes;
    if constexpr (kLaneFormat<F> && Op::kVector) {
        using L = Lanes<F, F>;
        for (; n >= 8; n -= 8, p += 8 * B) {
            typename L::Block v;
            L::template Load<F>(p, v);
            for (auto& x : v) x = op.Apply(x);
            L::template Store<F>(p, v);
        }
    }
    for (; n > 0; --n, p += B) F::Store(p, static_cast<typename F::Raw>(op.Apply(static_cast<uint32_t>(F::Load(p)))));
}

// The one rectangle walker: rows top to bottom, each from its left edge; bytes right of
// r.right are never touched, whatever the pitch.
template <class F, class Op>
void ApplyRect(const CSurfaceInfo& s, const Rect& r, const Op& op) {
    uint8_t* row = s.pixels + static_cast<intptr_t>(r.top) * s.pitch + static_cast<intptr_t>(r.left) * F::kBytes;
    const size_t rowBytes = static_cast<size_t>(r.right - r.left) * F::kBytes;
    if constexpr (std::is_same_v<Op, ClearOp<F>> && kLaneFormat<F> && F::kWholePixelStore) {
        // A clear is a fill: rows that follow each other in memory at once.
        const uint32_t word = F::kBytes == 2 ? op.value * 0x10001u : op.value;
        const int rows = r.bottom - r.top;
        if (rowBytes == static_cast<size_t>(s.pitch)) return simd::Fill(row, rowBytes * rows, word);
        for (int y = 0; y < rows; ++y, row += s.pitch) simd::Fill(row, rowBytes, word);
        return;
    }
    for (int y = r.top; y < r.bottom; ++y, row += s.pitch) ApplyRow<F>(op, row, r.right - r.left);
}

// Mosaic: blocks of n x n from (left, top), each filled with its own top-left pixel. No block
// writes another's top-left pixel, so the top row of each band of blocks is filled first and
// the band's other rows become copies of it.
template <class F>
void MosaicRect(const CSurfaceInfo& s, const Rect& r, int32_t n) {
    constexpr int B = F::kBytes;
    const intptr_t pitch = s.pitch;
    uint8_t* const origin = s.pixels + static_cast<intptr_t>(r.top) * pitch + static_cast<intptr_t>(r.left) * B;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (n > w && n > h) n = w > h ? w : h;  // one block either way; keeps x + n in range
    for (int y = 0; y < h; y += n) {
        uint8_t* const top = origin + static_cast<intptr_t>(y) * pitch;
        int x = 0;
        if constexpr (kLaneFormat<F>) {
            // Blocks of two, eight pixels a vector: each even pixel written over its odd one.
            using L = Lanes<F, F>;
            for (; n == 2 && x + 8 <= w; x += 8) {
                typename L::Block v;
                L::template Load<F>(top + x * B, v);
                for (auto& e : v) e = simd::DupEven(e);
                L::template Store<F>(top + x * B, v);
            }
        }
        for (; x < w; x += n) {
            const auto v = F::Load(top + static_cast<intptr_t>(x) * B);
            const int end = w - x < n ? w : x + n;
            for (int i = x + 1; i < end; ++i) F::Store(top + static_cast<intptr_t>(i) * B, v);
        }
        const int rows = h - y < n ? h - y : n;
        for (int k = 1; k < rows; ++k) {
            uint8_t* const row = top + k * pitch;
            if constexpr (F::kWholePixelStore) {
                std::memcpy(row, top, static_cast<size_t>(w) * B);
            } else {  // the 4-bit alpha formats: leave every pixel's fourth byte alone
                for (int i = 0; i < w; ++i) F::Store(row + i * B, F::Load(top + i * B));
            }
        }
    }
}

// Locks the surface, cuts the rectangle and calls fn(PixelFormat<T>{}, rect) for a format
// with effects and a non-empty rectangle; unlocks. 1 when the lock is refused, else 0.
template <class Fn>
uint32_t RunLocked(CSurfaceInfo& s, const Rect* rect, Fn&& fn) {
    const CSurfaceLock lock(s);
    if (!lock) return 1;
    const Rect r = s.ClipRect(nullptr, rect);
    if (r.left < r.right && r.top < r.bottom) {
        VisitPixelFormat(s.type, [&](auto f) {
            if constexpr (decltype(f)::kType != Palette8) fn(f, r);
        });
    }
    return 0;
}

template <bool Add>
uint32_t SaturateColour(CSurfaceInfo& s, const Rect* rect, uint32_t colour) {
    return RunLocked(s, rect, [&](auto f, const Rect& r) {
        using F = decltype(f);
        ApplyRect<F>(s, r, SaturateOp<F, Add>{FromColor<F>(colour)});
    });
}

template <class T>
T ReadParam(const void* param) {
    T v;
    std::memcpy(&v, param, sizeof v);
    return v;
}

}  // namespace

uint32_t DispatchEffectFade(CSurfaceInfo& surface, const Rect* rect, uint8_t rate) {
    InitBlendTables();  // a fade may come before any display object has filled them
    return RunLocked(surface, rect, [&](auto f, const Rect& r) {
        using F = decltype(f);
        ApplyRect<F>(surface, r, FadeOp<F>(rate));
    });
}

uint32_t DispatchEffectNegative(CSurfaceInfo& surface, const Rect* rect) {
    return RunLocked(surface, rect, [&](auto f, const Rect& r) {
        using F = decltype(f);
        ApplyRect<F>(surface, r, NegativeOp<F>{});
    });
}

uint32_t DispatchEffectMosaic(CSurfaceInfo& surface, const Rect* rect, int32_t blockSize) {
    return RunLocked(surface, rect, [&](auto f, const Rect& r) {
        if (blockSize >= 1) MosaicRect<decltype(f)>(surface, r, blockSize);
    });
}

uint32_t ApplyEffect(CSurfaceInfo& surface, EffectOp op, const Rect* rect, const void* param) {
    // The effects that take a parameter refuse a missing one before anything is locked.
    const bool needsParam = op == EffectFade || op == EffectAddColor || op == EffectSubColor || op == EffectMosaic;
    if (needsParam && !param) return 1;
    switch (op) {
        case EffectClear:
            return RunLocked(surface, rect, [&](auto f, const Rect& r) {
                using F = decltype(f);
                ApplyRect<F>(surface, r, ClearOp<F>{FromColor<F>(surface.fillColour)});
            });
        case EffectFade:
            return DispatchEffectFade(surface, rect, ReadParam<uint8_t>(param));
        case EffectAddColor:
            return SaturateColour<true>(surface, rect, ReadParam<uint32_t>(param));
        case EffectSubColor:
            return SaturateColour<false>(surface, rect, ReadParam<uint32_t>(param));
        case EffectNegative:
            return DispatchEffectNegative(surface, rect);
        case EffectMosaic:
            return DispatchEffectMosaic(surface, rect, ReadParam<int32_t>(param));
    }
    return 1;
}

}  // namespace tovarineGameSDK3rd::Draw

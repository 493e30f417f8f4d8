#pragma once
// Saturating per-channel add and subtract of two raw pixels of one format, shared by the
// colour effects and the additive and subtractive blits.
//
//   SaturatingAdd<F>(d, s)   each colour channel min(max, d + s)
//   SaturatingSub<F>(d, s)   each colour channel max(0, d - s)
//
// Both work on all channels of the word at once: every channel's top bit is split off, the
// low bits are added (or subtracted) without crossing into the next channel, and the carry
// (or borrow) out of each channel's top bit becomes a mask that saturates that channel. The
// bits outside the colour channels (RGB555 bit 15, a pad or alpha byte) come out 0; callers
// put back what their rule keeps. Nothing crosses from one pixel to the next either, so the
// word may hold two 16-bit pixels (uint32_t), or be a vector of such words: the masks repeat
// every 32 bits.
//
// ScaleLevel<F>(v, l): each 16-bit colour channel c scaled to floor(c * l / 15), the level
// tables' arithmetic, on one pixel or on a vector of 16-bit lanes.
//
// AddPixel<S, D> and SubPixel<S, D> are the same as functors on the colour word, for one
// format onto itself: AddPixel<RGB555, RGB555>()(d, s) leaves min(31, d + s) in each channel
// of d and bit 15 of d 0, AddPixel<RGB565, RGB565> min(63, d + s) in green.
#include <cstdint>

#include "draw/base/pixel_format.h"
#include "draw/base/simd_kernels.h"

namespace tovarineGameSDK3rd::Draw {

namespace detail {

// The masks of F's colour channels, repeated for every pixel of a 32-bit word.
template <class F>
struct ChannelMasks {
    static constexpr uint32_t Rep(uint32_t m) { return F::kBytes == 2 ? m | m << 16 : m; }
    static constexpr uint32_t Top(Channel c) { return c.bits ? 1u << (c.shift + c.bits - 1) : 0u; }
    static constexpr uint32_t kColor = Rep(F::kColorMask);
    static constexpr uint32_t kTop = Rep(Top(F::kR) | Top(F::kG) | Top(F::kB));
    static constexpr uint32_t kLow = kColor & ~kTop;
    // Top bits of the green channel, which alone may be wider than the others (5-6-5).
    static constexpr uint32_t kTopG = F::kG.bits != F::kR.bits ? Rep(Top(F::kG)) : 0u;

    // Each set top bit of `top` spread over its whole channel: per channel 2^p - 2^shift is
    // the bits below the top one, and the channels of one width do that in one subtraction.
    template <class T>
    static constexpr T Spread(T top) {
        const T g = top & kTopG, rb = top & ~kTopG;
        T m = (rb - (rb >> (F::kR.bits - 1))) | top;
        if constexpr (kTopG != 0) m |= g - (g >> (F::kG.bits - 1));
        return m;
    }
};

// 16-bit pixels in vector lanes: each field lifted to the top of its lane, where the lane's
// saturating add or subtract saturates it alone (the operand's bits below it are 0, so
// nothing carries or borrows into it), and put back in place.
template <class F, bool Add, class T>
T SaturateFields(T d, T s) {
    const auto d16 = reinterpret_cast<simd::U16x8>(d), s16 = reinterpret_cast<simd::U16x8>(s);
    auto field = [&](Channel c) {
        const int up = 16 - c.shift - c.bits, down = 16 - c.bits;
        const auto top = static_cast<uint16_t>(0xFFFFu << down);
        const simd::U16x8 a = d16 << up, b = s16 << up & top;
        return (Add ? simd::AddSatU16(a, b) : simd::SubSatU16(a, b)) >> down << c.shift;
    };
    return reinterpret_cast<T>(field(F::kR) | field(F::kG) | field(F::kB));
}

}  // namespace detail

template <class F, class T>
constexpr T SaturatingAdd(T d, T s) {
    if constexpr (sizeof(T) == 16 && F::kBytes == 2) return detail::SaturateFields<F, true>(d, s);
    using K = detail::ChannelMasks<F>;
    d &= K::kColor;
    s &= K::kColor;
    const T low = (d & K::kLow) + (s & K::kLow);                // carries stop at each top bit
    const T carry = ((d & s) | ((d | s) & low)) & K::kTop;      // carry out of the top bit
    const T sum = low ^ ((d ^ s) & K::kTop);
    return sum | K::Spread(carry);
}

template <class F, class T>
constexpr T SaturatingSub(T d, T s) {
    if constexpr (sizeof(T) == 16 && F::kBytes == 2) return detail::SaturateFields<F, false>(d, s);
    using K = detail::ChannelMasks<F>;
    d &= K::kColor;
    s &= K::kColor;
    const T low = (d | K::kTop) - (s & K::kLow);                // each channel lends from its top bit
    const T diff = low ^ ((d ^ s ^ K::kTop) & K::kTop);
    const T borrow = ((~d & s) | (~(d ^ s) & diff)) & K::kTop;  // borrow out of the top bit
    return diff & ~K::Spread(borrow);
}

// The 16-bit channels of F in v (one colour word, or one per 16-bit lane), each c replaced by
// floor(c * l / 15). One pixel: c * l <= 945, where (x * 4370) >> 16 is floor(x / 15). A vector
// scales each field in place: (c << p) * m >> 16 with m = ceil(l * 65536 / 15) = 4369 l + 1
// exceeds c l / 15 << p by less than 63 << p / 65536, which never carries into bit p, so the
// field's mask leaves floor(c * l / 15) << p; level 15 has no such m and keeps the field.
template <class F, class T>
T ScaleLevel(T v, T l) {
    if constexpr (sizeof(T) == 16) {
        using simd::U16x8;
        const auto v16 = reinterpret_cast<U16x8>(v), l16 = reinterpret_cast<U16x8>(l);
        const auto full = reinterpret_cast<U16x8>(l16 == 15);
        const U16x8 m = (l16 * 4369 + (reinterpret_cast<U16x8>(l16 != 0) & 1)) & ~full;
        auto field = [&](Channel c) {
            const auto mask = static_cast<uint16_t>(((1u << c.bits) - 1u) << c.shift);
            return simd::MulHiU16(v16 & mask, m) & mask;
        };
        return reinterpret_cast<T>(field(F::kR) | field(F::kG) | field(F::kB) |
                                   (v16 & static_cast<uint16_t>(F::kColorMask) & full));
    } else {
        auto scale = [&](Channel c) { return ((v >> c.shift & ((1u << c.bits) - 1u)) * l * 4370u) >> 16 << c.shift; };
        return scale(F::kR) | scale(F::kG) | scale(F::kB);
    }
}

template <SurfaceType S, SurfaceType D>
struct AddPixel {
    static_assert(S == D, "AddPixel works on one format");
    using Raw = typename PixelFormat<D>::Raw;
    void operator()(Raw& d, Raw s) const { d = static_cast<Raw>(SaturatingAdd<PixelFormat<D>, uint32_t>(d, s)); }
};

template <SurfaceType S, SurfaceType D>
struct SubPixel {
    static_assert(S == D, "SubPixel works on one format");
    using Raw = typename PixelFormat<D>::Raw;
    void operator()(Raw& d, Raw s) const { d = static_cast<Raw>(SaturatingSub<PixelFormat<D>, uint32_t>(d, s)); }
};

}  // namespace tovarineGameSDK3rd::Draw

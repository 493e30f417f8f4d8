#pragma once
// The pixel operations of the polygon workers, one template over the two format traits for
// every pair of an op; op(s, d) is applied to each sampled source pixel and the destination
// pixel it lands on.
//
// Op 0 (CopyPixel): a format onto itself moves the pixel's stored bytes as they are (RGB555
// bit 15, a pad byte, a whole 4-bit alpha byte; a 4-bit alpha format's own pad byte stays);
// a 16-bit word onto its 4-bit alpha format goes as it is, with alpha 15; any other pair
// moves the channels by colour, writing alpha 255, a pad byte 0 and RGB555 bit 15 as 0.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "draw/base/pixel_format.h"

namespace tovarineGameSDK3rd::Draw::polygon {

template <class S, class D>
struct CopyPixel {
    explicit CopyPixel(uint32_t) {}
    static typename D::Raw Convert(typename S::Raw v) {
        if constexpr (std::is_same_v<S, D>) {
            return v;
        } else if constexpr (S::kBytes == 2 && D::kExtra == PixelExtra::Alpha4) {
            return static_cast<typename D::Raw>(v | 15u << 16);
        } else {
            return FromColor<D>(ToColor<S>(v) | 0xFF000000u);
        }
    }
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, Convert(S::Load(s))); }
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(std::is_same_v<S, D> && S::kWholePixelStore)
    {
        std::memcpy(d, s, static_cast<size_t>(n) * S::kBytes);
    }
};

}  // namespace tovarineGameSDK3rd::Draw::polygon

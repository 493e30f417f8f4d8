#pragma once
// Pixel-format codes and one constexpr traits struct per format.
//
// Every blit, effect and polygon member works on raw pixels through these traits:
//   PixelFormat<RGB565>::Load(p)        the raw value of the pixel at p (Raw, little endian)
//   PixelFormat<RGB565>::Store(p, v)    writes the bytes the format owns (never the pad byte
//                                       of ARGB4565/ARGB4555)
//   ToColor<F>(raw)   -> 0xAARRGGBB     channels widened by a left shift (low bits 0), alpha
//                                       255 for formats without one, 4-bit alpha a -> a << 4
//   FromColor<F>(c)   -> Raw            channels narrowed to their top bits, 4-bit alpha
//                                       c >> 28, pad byte and RGB555 bit 15 written as 0
//   F::kColorMask                       the bits of Raw that are colour
//   F::kKeyMask                         the bits of Raw that a colour-key test compares
//   F::kBltKeyMask                      those the keyed blit members compare (pad byte too)
// A conversion between two formats is FromColor<D>(ToColor<S>(raw)); this gives exactly the
// narrowing and widening rules of the copy blits, without tables.
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tovarineGameSDK3rd::Draw {

// Codes of CSurfaceInfo::type. 0 = nothing described, 1 = unrecognised, 9 unassigned.
enum SurfaceType : int32_t {
    Palette8 = 2,
    RGB565 = 3,
    RGB555 = 4,
    RGB888 = 5,
    BGR888 = 6,
    XRGB8888 = 7,
    XBGR8888 = 8,
    ARGB4565 = 10,
    ARGB4555 = 11,
    ARGB8888 = 12,
    ABGR8888 = 13,
};

// What the bits beyond the three colour channels hold.
enum class PixelExtra {
    None,    // nothing (Palette8, RGB565, the 24-bit formats)
    Bit15,   // RGB555: bit 15, 0 when packed, ignored when read
    Pad,     // XRGB8888, XBGR8888: byte 3, not a colour; converters write 0
    Alpha4,  // ARGB4565, ARGB4555: byte 2 holds alpha 0..15; byte 3 neither read nor written
    Alpha8,  // ARGB8888, ABGR8888: byte 3 is alpha 0..255
};

// A channel's position (lowest bit) and width in the raw value. Width 0: no such channel.
struct Channel {
    int shift;
    int bits;
};

namespace detail {
template <int Bytes>
struct RawOf;
template <>
struct RawOf<1> { using type = uint8_t; };
template <>
struct RawOf<2> { using type = uint16_t; };
template <>
struct RawOf<3> { using type = uint32_t; };
template <>
struct RawOf<4> { using type = uint32_t; };
}  // namespace detail

template <SurfaceType Code, int Bytes, PixelExtra Extra, Channel R, Channel G, Channel B, Channel A,
          int StoredBytes = Bytes>
struct FormatTraits {
    static constexpr SurfaceType kType = Code;
    static constexpr int kBytes = Bytes;               // bytes per pixel (address step)
    static constexpr int kStoredBytes = StoredBytes;   // bytes Load reads and Store writes
    static constexpr PixelExtra kExtra = Extra;
    static constexpr Channel kR = R, kG = G, kB = B, kA = A;
    static constexpr bool kHasAlpha = A.bits > 0;
    // Store writes every byte of the pixel, so rows of this format may be moved as bytes.
    static constexpr bool kWholePixelStore = StoredBytes == Bytes;
    using Raw = typename detail::RawOf<Bytes>::type;

    static constexpr uint32_t Mask(Channel c) { return c.bits ? ((1u << c.bits) - 1u) << c.shift : 0u; }
    static constexpr uint32_t kColorMask = Mask(R) | Mask(G) | Mask(B);
    // The key part of a pixel, its colour: the whole 16-bit word of the 16-bit and 4-bit-alpha
    // formats (RGB555 bit 15 included, so a word with bit 15 set never matches a packed key),
    // the three colour bytes of the others, the index of Palette8.
    static constexpr uint32_t kKeyMask = Bytes == 1 ? 0xFFu
                                         : (Extra == PixelExtra::Alpha4 || Extra == PixelExtra::Bit15 || Bytes == 2)
                                             ? 0xFFFFu
                                             : kColorMask;
    // What the keyed blit members compare with the packed key: the key part, and the whole
    // word of the pad formats (the key's pad byte is 0, so a pixel whose pad byte is not
    // never matches).
    static constexpr uint32_t kBltKeyMask = Extra == PixelExtra::Pad ? 0xFFFFFFFFu : kKeyMask;

    // A 4-bit-alpha pixel is read and written as one 32-bit word whose fourth byte is written
    // back as it was: the same bytes as three byte moves, at the speed of a word.
    static Raw Load(const uint8_t* p) {
        if constexpr (StoredBytes == 3 && Bytes == 4) {
            uint32_t v;
            std::memcpy(&v, p, sizeof v);
            return v & 0x00FFFFFFu;
        } else if constexpr (StoredBytes == 3) {
            return static_cast<Raw>(p[0] | (p[1] << 8) | (p[2] << 16));
        } else {
            Raw v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
    }
    static void Store(uint8_t* p, Raw v) {
        if constexpr (StoredBytes == 3 && Bytes == 4) {
            uint32_t w;
            std::memcpy(&w, p, sizeof w);
            w = (w & 0xFF000000u) | (static_cast<uint32_t>(v) & 0x00FFFFFFu);
            std::memcpy(p, &w, sizeof w);
        } else if constexpr (StoredBytes == 3) {
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
            p[2] = static_cast<uint8_t>(v >> 16);
        } else {
            std::memcpy(p, &v, sizeof v);
        }
    }
    // The channel as a byte: widened with zero low bits (a 5-bit 31 is 248).
    template <Channel C>
    static constexpr uint32_t Get8(Raw v) {
        if constexpr (C.bits == 0) {
            return 0;
        } else {
            return ((static_cast<uint32_t>(v) >> C.shift) & ((1u << C.bits) - 1u)) << (8 - C.bits) & 0xFFu;
        }
    }
    // A byte narrowed to the channel (its top bits) and put in place.
    template <Channel C>
    static constexpr uint32_t Put8(uint32_t byte) {
        if constexpr (C.bits == 0) {
            return 0;
        } else {
            return ((byte & 0xFFu) >> (8 - C.bits)) << C.shift;
        }
    }
};

template <int Code>
struct PixelFormat;

// clang-format off
template <> struct PixelFormat<Palette8> : FormatTraits<Palette8, 1, PixelExtra::None, Channel{0, 0}, Channel{0, 0}, Channel{0, 0}, Channel{0, 0}> {};
template <> struct PixelFormat<RGB565>   : FormatTraits<RGB565,   2, PixelExtra::None,  Channel{11, 5}, Channel{5, 6}, Channel{0, 5},  Channel{0, 0}> {};
template <> struct PixelFormat<RGB555>   : FormatTraits<RGB555,   2, PixelExtra::Bit15, Channel{10, 5}, Channel{5, 5}, Channel{0, 5},  Channel{0, 0}> {};
template <> struct PixelFormat<RGB888>   : FormatTraits<RGB888,   3, PixelExtra::None,  Channel{16, 8}, Channel{8, 8}, Channel{0, 8},  Channel{0, 0}> {};
template <> struct PixelFormat<BGR888>   : FormatTraits<BGR888,   3, PixelExtra::None,  Channel{0, 8},  Channel{8, 8}, Channel{16, 8}, Channel{0, 0}> {};
template <> struct PixelFormat<XRGB8888> : FormatTraits<XRGB8888, 4, PixelExtra::Pad,   Channel{16, 8}, Channel{8, 8}, Channel{0, 8},  Channel{0, 0}> {};
template <> struct PixelFormat<XBGR8888> : FormatTraits<XBGR8888, 4, PixelExtra::Pad,   Channel{0, 8},  Channel{8, 8}, Channel{16, 8}, Channel{0, 0}> {};
template <> struct PixelFormat<ARGB4565> : FormatTraits<ARGB4565, 4, PixelExtra::Alpha4, Channel{11, 5}, Channel{5, 6}, Channel{0, 5}, Channel{16, 4}, 3> {};
template <> struct PixelFormat<ARGB4555> : FormatTraits<ARGB4555, 4, PixelExtra::Alpha4, Channel{10, 5}, Channel{5, 5}, Channel{0, 5}, Channel{16, 4}, 3> {};
template <> struct PixelFormat<ARGB8888> : FormatTraits<ARGB8888, 4, PixelExtra::Alpha8, Channel{16, 8}, Channel{8, 8}, Channel{0, 8},  Channel{24, 8}> {};
template <> struct PixelFormat<ABGR8888> : FormatTraits<ABGR8888, 4, PixelExtra::Alpha8, Channel{0, 8},  Channel{8, 8}, Channel{16, 8}, Channel{24, 8}> {};
// clang-format on

// Raw pixel to the colour word 0xAARRGGBB; a format without alpha gives alpha 255.
template <class F>
constexpr uint32_t ToColor(typename F::Raw v) {
    const uint32_t a = F::kHasAlpha ? F::template Get8<F::kA>(v) : 0xFFu;
    return a << 24 | F::template Get8<F::kR>(v) << 16 | F::template Get8<F::kG>(v) << 8 |
           F::template Get8<F::kB>(v);
}

// Colour word to a raw pixel; pad bytes and RGB555 bit 15 are 0.
template <class F>
constexpr typename F::Raw FromColor(uint32_t c) {
    return static_cast<typename F::Raw>(F::template Put8<F::kA>(c >> 24) | F::template Put8<F::kR>(c >> 16) |
                                        F::template Put8<F::kG>(c >> 8) | F::template Put8<F::kB>(c));
}

// FromColor<D>(ToColor<S>(v)) for formats with colour channels, as one shift and mask per
// channel, on a 32-bit word or on a vector of them (W: uint32_t or a vector of uint32_t or
// uint16_t lanes wide enough for both formats): the widening's zero bits and the narrowing's
// dropped bits fold into the mask, a missing alpha is the constant it widens to.
template <class S, class D, class W>
constexpr W ConvertChannels(W v) {
    // Constants in the word's lane type (a vector's lanes may be narrower than 32 bits).
    const auto lane = [](uint32_t c) {
        if constexpr (std::is_integral_v<W>) {
            return static_cast<W>(c);
        } else {
            return static_cast<std::remove_cvref_t<decltype(W{}[0])>>(c);
        }
    };
    const auto shifted = [](uint32_t x, int n) { return n >= 0 ? x << n : x >> -n; };
    const auto move = [&]<Channel SC, Channel DC>() -> W {
        if constexpr (DC.bits == 0) {
            return W{};
        } else if constexpr (SC.bits == 0) {
            return W{} | lane(D::Mask(DC));  // alpha 255 (or 15) where the source has none
        } else {
            constexpr int net = (DC.shift + DC.bits) - (SC.shift + SC.bits);  // top bit onto top bit
            const auto mask = lane(D::Mask(DC) & shifted(S::Mask(SC), net));
            if constexpr (net >= 0) {
                return (v << net) & mask;
            } else {
                return (v >> -net) & mask;
            }
        }
    };
    return move.template operator()<S::kR, D::kR>() | move.template operator()<S::kG, D::kG>() |
           move.template operator()<S::kB, D::kB>() | move.template operator()<S::kA, D::kA>();
}

// Calls fn(PixelFormat<T>{}) for the format of a code and answers true; false for codes
// without a format (0, 1, 9, negative, above 13). The one switch on a runtime code.
template <class Fn>
bool VisitPixelFormat(int32_t type, Fn&& fn) {
    switch (type) {
        case Palette8: fn(PixelFormat<Palette8>{}); return true;
        case RGB565: fn(PixelFormat<RGB565>{}); return true;
        case RGB555: fn(PixelFormat<RGB555>{}); return true;
        case RGB888: fn(PixelFormat<RGB888>{}); return true;
        case BGR888: fn(PixelFormat<BGR888>{}); return true;
        case XRGB8888: fn(PixelFormat<XRGB8888>{}); return true;
        case XBGR8888: fn(PixelFormat<XBGR8888>{}); return true;
        case ARGB4565: fn(PixelFormat<ARGB4565>{}); return true;
        case ARGB4555: fn(PixelFormat<ARGB4555>{}); return true;
        case ARGB8888: fn(PixelFormat<ARGB8888>{}); return true;
        case ABGR8888: fn(PixelFormat<ABGR8888>{}); return true;
        default: return false;
    }
}

// Bytes per pixel of a code; 0 for codes without a format.
constexpr int PixelSizeOf(int32_t type) {
    switch (type) {
        case Palette8: return 1;
        case RGB565: case RGB555: return 2;
        case RGB888: case BGR888: return 3;
        case XRGB8888: case XBGR8888: case ARGB4565: case ARGB4555: case ARGB8888: case ABGR8888: return 4;
        default: return 0;
    }
}

// The alpha format that goes with a display format: 2, 4 -> 11; 3 -> 10; 5, 7 -> 12;
// 6, 8 -> 13; every other code unchanged.
int32_t ToAlphaSurfaceType(int32_t type);

// Packing of 8-bit channels (only the low byte of each counts).
constexpr uint16_t MakeRGB565(int r, int g, int b) {
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3));
}
constexpr uint16_t MakeRGB555(int r, int g, int b) {
    return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | ((b & 0xFF) >> 3));
}
inline void MakeRGB565(uint16_t& out, int r, int g, int b) { out = MakeRGB565(r, g, b); }
inline void MakeRGB555(uint16_t& out, int r, int g, int b) { out = MakeRGB555(r, g, b); }

// A source surface's colour key (0xAARRGGBB) in the source's raw layout, for keyed members:
// the colour narrowed as FromColor does, a 4-bit alpha byte key >> 28, a pad byte 0, and for
// ARGB8888/ABGR8888 an alpha byte of 255 onto the same format and the key's top byte onto any
// other. Members compare only the key part (F::kKeyMask). 0 for codes without a format.
uint32_t PackColorKey(int32_t srcType, uint32_t colourKey, int32_t dstType);

}  // namespace tovarineGameSDK3rd::Draw

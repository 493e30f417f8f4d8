#pragma once
// The worker frame that every blit member runs, over a source format, a destination format
// and a per-pixel operator.
//
// How a family adds a member (one line):
//
//   1. Write the operator once, as a class template over the two format traits, built from
//      the member's BltParam (or default-constructible when it takes none):
//
//        template <class S, class D> struct CopyPixel {
//            explicit CopyPixel(const BltParam&) {}
//            void operator()(const uint8_t* s, uint8_t* d) const {
//                D::Store(d, FromColor<D>(ToColor<S>(S::Load(s))));
//            }
//        };
//
//      s and d point at one source and one destination pixel. Read the key or rates from the
//      BltParam in the constructor. Pair-specific arithmetic goes in `if constexpr` on S and D
//      or in a partial specialisation. Optionally give
//        void Row(const uint8_t* s, uint8_t* d, int n) const;
//      which the 1:1 path then calls once per row instead of the groups of eight (a row of n
//      pixels, same effect as n calls of operator() left to right); use it where a benchmark
//      shows it pays (memmove for a same-format copy, two 16-bit pixels per word, SIMD).
//      Declare kMovesBytes (Row is a memmove), kJoinsRows or kSourceOnly (the destination is
//      never read) where true: the frame then runs contiguous rows as one or copies a repeated
//      scaled row.
//
//   2. A member is then one line naming source format, destination format and operator:
//
//        BltMember<RGB555, RGB565, CopyPixel>        // a BltMemberFn
//
//      for a pair table (BltPair rows) shared by the dispatch and the tests, e.g.
//        { RGB555, RGB565, &BltMember<RGB555, RGB565, CopyPixel> },
//      looked up with FindBltMember(table, src.type, dst.type).
//      and a member that serves a second pair is the same pointer in a second row. A family
//      that wants the named entries writes
//        template <SurfaceType S, SurfaceType D> int BltCopy(...) { return BltMember<S, D, CopyPixel>(...); }
//
// The worker: CalcBltGeometry (answer 1 when there is nothing to draw), then either the 1:1
// path (each row in groups of eight pixels, then the rest; or the operator's Row) or the
// scaled path, which picks one source pixel per destination pixel by the error terms. Both
// give what the operator applied to pixels left to right, rows top to bottom gives, and
// answer 0.
#include <concepts>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

#include "draw/base/blt_geometry.h"
#include "draw/base/pixel_format.h"
#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

// The per-pixel argument of a member, packed once per blit by the dispatch: the colour key
// in the source's layout (PackColorKey) and the rate or rates. Members read what their
// operation has and ignore the rest.
struct BltParam {
    uint32_t key = 0;
    uint8_t rate = 0;   // rate, or rate 1
    uint8_t rate2 = 0;  // rate 2
};

// A member entry: (source, destination, per-pixel argument, geometry) -> 1 nothing to draw,
// else 0. Both surfaces are locked by the caller.
using BltMemberFn = int (*)(const CSurfaceInfo& src, const CSurfaceInfo& dst, const BltParam& param,
                            const BltGeometry& geom);

// One row of an operation's pair table: the member that serves (source code, destination code).
struct BltPair {
    int32_t src;
    int32_t dst;
    BltMemberFn member;
};

// The member of a pair table for a pair of codes; null when the table has none.
inline BltMemberFn FindBltMember(std::span<const BltPair> table, int32_t src, int32_t dst) {
    for (const BltPair& p : table) {
        if (p.src == src && p.dst == dst) return p.member;
    }
    return nullptr;
}

template <class Op>
Op MakeBltOp(const BltParam& param) {
    if constexpr (std::is_constructible_v<Op, const BltParam&>) {
        return Op(param);
    } else {
        return Op{};
    }
}

// Whether a row of n source pixels and its row of destination pixels share bytes. A Row that
// reads several pixels before it writes them gives what the pixel-by-pixel order gives only
// where they do not.
inline bool BltRowsOverlap(const uint8_t* s, size_t sBytes, const uint8_t* d, size_t dBytes) {
    const uintptr_t sp = reinterpret_cast<uintptr_t>(s), dp = reinterpret_cast<uintptr_t>(d);
    return sp < dp + dBytes && dp < sp + sBytes;
}

// Where the scaled path takes the error step of a pixel (or row): before it is read, for every
// member but one, or after it, with the integer step, for an operator that declares
//   static constexpr BltStepping kStepping = BltStepping::ErrorAfter;
// (a 2-pixel source drawn 4 wide reads 0, 0, 1, 1 before and 0, 0, 0, 1 after).
enum class BltStepping : uint8_t { ErrorFirst, ErrorAfter };

template <class Op>
constexpr BltStepping BltSteppingOf() {
    if constexpr (requires { Op::kStepping; }) {
        return Op::kStepping;
    } else {
        return BltStepping::ErrorFirst;
    }
}

template <class Op>
concept BltRowOp = requires(const Op& op, const uint8_t* s, uint8_t* d, int n) { op.Row(s, d, n); };

// What an operator may declare of itself, each false when not declared:
//   static constexpr bool kMovesBytes = true;  its Row is a plain move of the row's bytes, so
//     n pixels of several rows that follow each other move in one call;
//   static constexpr bool kJoinsRows = true;  likewise its Row takes the pixels of several rows
//     that follow each other in one call (where the calls of a row each cost enough to matter);
//   static constexpr bool kSourceOnly = true;  the pixel it writes depends on the source pixel
//     alone, never on the destination, so a scaled row that reads the same source row as the
//     row above is a copy of the row above.
struct BltOpFlags {
    bool movesBytes = false;
    bool joinsRows = false;
    bool sourceOnly = false;
};
template <class Op>
constexpr BltOpFlags BltFlagsOf() {
    BltOpFlags f;
    if constexpr (requires { Op::kMovesBytes; }) f.movesBytes = Op::kMovesBytes;
    if constexpr (requires { Op::kJoinsRows; }) f.joinsRows = Op::kJoinsRows;
    f.joinsRows = f.joinsRows || f.movesBytes;
    if constexpr (requires { Op::kSourceOnly; }) f.sourceOnly = Op::kSourceOnly;
    return f;
}

// The scaled path: the error terms pick one source pixel per destination pixel. Every row
// starts from the same horizontal term, so the columns are worked out once per blit.
template <class Src, class Dst, class Op>
void BltScaledRows(const BltClipResult& c, const uint8_t* s, intptr_t sPitch, uint8_t* d, intptr_t dPitch, int w, int h,
                   const Op& op) {
    constexpr intptr_t sb = Src::kBytes;
    constexpr intptr_t db = Dst::kBytes;
    constexpr bool kAfter = BltSteppingOf<Op>() == BltStepping::ErrorAfter;
    // One error step: its carry moves the offset one pixel (or row) further.
    auto step = [](int32_t& e, int32_t add, int32_t sub, auto& p, intptr_t carry) {
        e += add;
        if (e >= 0) {
            p += carry;
            e -= sub;
        }
    };
    constexpr int kOnStack = 1024;
    intptr_t onStack[kOnStack];
    std::vector<intptr_t> onHeap(w > kOnStack ? static_cast<size_t>(w) : 0);
    intptr_t* const column = w > kOnStack ? onHeap.data() : onStack;
    intptr_t at = 0;
    int32_t ex = c.errX;
    for (int x = 0; x < w; ++x) {
        if constexpr (!kAfter) step(ex, c.remX, c.denX, at, sb);
        column[x] = at;
        at += c.stepX * sb;
        if constexpr (kAfter) step(ex, c.remX, c.denX, at, sb);
    }
    // A repeated row is copied from the row above only where no row of the source is written.
    const uint8_t* sEnd = s + (c.srcRect.bottom - c.srcRect.top) * sPitch;
    const bool copyRepeats = BltFlagsOf<Op>().sourceOnly && !BltRowsOverlap(s - sPitch, sEnd - s + 2 * sPitch, d, h * dPitch);
    const uint8_t* previous = nullptr;
    const intptr_t sRowStep = c.stepY * sPitch;
    int32_t ey = c.errY;
    for (int y = 0; y < h; ++y) {
        if constexpr (!kAfter) step(ey, c.remY, c.denY, s, sPitch);
        if (copyRepeats && s == previous) {
            if constexpr (Dst::kWholePixelStore) {
                std::memcpy(d, d - dPitch, static_cast<size_t>(w) * db);
            } else {
                for (int x = 0; x < w; ++x) Dst::Store(d + x * db, Dst::Load(d - dPitch + x * db));
            }
        } else {
            for (int x = 0; x < w; ++x) op(s + column[x], d + x * db);
        }
        previous = s;
        s += sRowStep;
        d += dPitch;
        if constexpr (kAfter) step(ey, c.remY, c.denY, s, sPitch);
    }
}

template <class Src, class Dst, class Op>
int BltLoop(const CSurfaceInfo& src, const CSurfaceInfo& dst, const BltGeometry& geom, const Op& op) {
    BltClipResult c;
    if (CalcBltGeometry(dst, src, geom, c) != 0) return 1;
    constexpr intptr_t sb = Src::kBytes;
    constexpr intptr_t db = Dst::kBytes;
    const int w = c.dstRect.right - c.dstRect.left;
    const int h = c.dstRect.bottom - c.dstRect.top;
    const intptr_t sPitch = src.pitch;
    const intptr_t dPitch = dst.pitch;
    const uint8_t* s = src.pixels + c.srcRect.top * sPitch + c.srcRect.left * sb;
    uint8_t* d = dst.pixels + c.dstRect.top * dPitch + c.dstRect.left * db;

    if (!c.oneToOne) {
        BltScaledRows<Src, Dst>(c, s, sPitch, d, dPitch, w, h, op);
        return 0;
    }

    if constexpr (BltFlagsOf<Op>().joinsRows) {
        // Rows that follow each other in both surfaces go as one row.
        const size_t n = static_cast<size_t>(w) * h;
        if (sPitch == w * sb && dPitch == w * db && !BltRowsOverlap(s, n * sb, d, n * db)) {
            op.Row(s, d, w * h);
            return 0;
        }
    }
    const int rounds = w >> 3;
    const int rest = w & 7;
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        if constexpr (BltRowOp<Op>) {
            op.Row(s, d, w);
        } else {
            const uint8_t* sp = s;
            uint8_t* dp = d;
            for (int r = 0; r < rounds; ++r, sp += 8 * sb, dp += 8 * db) {
                for (int i = 0; i < 8; ++i) op(sp + i * sb, dp + i * db);
            }
            for (int i = 0; i < rest; ++i) op(sp + i * sb, dp + i * db);
        }
    }
    return 0;
}

// A member: the worker for formats S onto D with the operator Op<PixelFormat<S>, PixelFormat<D>>.
template <SurfaceType S, SurfaceType D, template <class, class> class Op>
int BltMember(const CSurfaceInfo& src, const CSurfaceInfo& dst, const BltParam& param, const BltGeometry& geom) {
    using SF = PixelFormat<S>;
    using DF = PixelFormat<D>;
    return BltLoop<SF, DF>(src, dst, geom, MakeBltOp<Op<SF, DF>>(param));
}

// Same-format copy of the stored bytes of each pixel (a 4-bit alpha format's pad byte is left
// alone). Formats whose pixels are stored whole move each 1:1 row as bytes; memmove keeps a
// blit within one surface well defined.
template <class S, class D>
struct SameFormatCopyPixel {
    static_assert(std::is_same_v<S, D>, "a same-format copy");
    static constexpr bool kMovesBytes = S::kWholePixelStore;
    static constexpr bool kSourceOnly = true;
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, S::Load(s)); }
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(S::kWholePixelStore)
    {
        std::memmove(d, s, static_cast<size_t>(n) * S::kBytes);
    }
};

}  // namespace tovarineGameSDK3rd::Draw

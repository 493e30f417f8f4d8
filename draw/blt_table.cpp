#include "draw/blt_table.h"

#include "blit/addsub/add_sub.h"
#include "blit/blend/blend.h"
#include "draw/blt_copy.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

using Rule = BltNoMemberRule;

// clang-format off
constexpr BltOpRow kOps[18] = {
    /* 0 BltCopy               */ {&kBltCopyPairs,      kBltCopyMembers,      Rule::NonFormatSource, false, 0},
    /* 1 BltKeyedCopy          */ {&kBltKeyedCopyPairs, kBltKeyedCopyMembers, Rule::EqualTypes,      true,  0},
    /* 2 BltAdd                */ {&kBltFamilyPairs,    kBltAddMembers,       Rule::EqualTypes,      false, 0},
    /* 3 BltSub                */ {&kBltFamilyPairs,    kBltSubMembers,       Rule::EqualTypes,      false, 0},
    /* 4 BltKeyedAdd           */ {&kBltFamilyPairs,    kBltKeyedAddMembers,  Rule::EqualTypes,      true,  0},
    /* 5 BltKeyedSub           */ {&kBltFamilyPairs,    kBltKeyedSubMembers,  Rule::EqualTypes,      true,  0},
    /* 6 BltAddRate            */ {&kBltFamilyPairs,    kBltAddRateMembers,   Rule::EqualTypes,      false, 1},
    /* 7 BltSubRate            */ {&kBltFamilyPairs,    kBltSubRateMembers,   Rule::EqualTypes,      false, 1},
    /* 8 BltKeyedAddRate       */ {&kBltKeyedRatePairs, kBltKeyedAddRateMembers, Rule::EqualTypes,   true,  1},
    /* 9 BltKeyedSubRate       */ {&kBltKeyedRatePairs, kBltKeyedSubRateMembers, Rule::EqualTypes,   true,  1},
    /* 10 BltAlpha             */ {&kBltAlphaPairs,     kBltAlphaMembers,     Rule::None,            false, 0},
    /* 11 to 13: no operation  */ {}, {}, {},
    /* 14 BltBlend             */ {&kBltFamilyPairs,    kBltBlendMembers,     Rule::EqualTypes,      false, 1},
    /* 15 BltKeyedBlend        */ {&kBltFamilyPairs,    kBltKeyedBlendMembers,Rule::EqualTypes,      true,  1},
    /* 16 BltBlendTwoRates     */ {&kBltFamilyPairs,    kBltBlendTwoRatesMembers,      Rule::EqualTypes, false, 2},
    /* 17 BltKeyedBlendTwoRates*/ {&kBltFamilyPairs,    kBltKeyedBlendTwoRatesMembers, Rule::EqualTypes, true,  2},
};
// clang-format on

constexpr bool IsFormat(int32_t code) { return PixelSizeOf(code) != 0; }

}  // namespace

const BltOpRow* FindBltOp(int32_t op) {
    const uint32_t u = static_cast<uint32_t>(op);
    if (u >= std::size(kOps) || !kOps[u].pairs) return nullptr;
    return &kOps[u];
}

BltCell FindBltCell(const BltOpRow& row, int32_t src, int32_t dst) {
    const int rank = row.pairs->Rank(src, dst);
    if (rank >= 0) {
        if (row.members.empty()) return {BltCellKind::NotBuilt, nullptr};
        // Generated tables are in the set's order; any other order is searched.
        const size_t i = static_cast<size_t>(rank);
        const BltPair* p = i < row.members.size() ? &row.members[i] : nullptr;
        const BltMemberFn fn = p && p->src == src && p->dst == dst ? p->member : FindBltMember(row.members, src, dst);
        return fn ? BltCell{BltCellKind::Member, fn} : BltCell{BltCellKind::NotBuilt, nullptr};
    }
    bool noDraw = false;
    switch (row.rule) {
        case Rule::None: break;
        case Rule::NonFormatSource: noDraw = !IsFormat(src) || src == Palette8; break;
        case Rule::Palette8Pair: noDraw = src == Palette8 && dst == Palette8; break;
        case Rule::EqualTypes: noDraw = src == dst; break;
    }
    return {noDraw ? BltCellKind::NoDraw : BltCellKind::Unsupported, nullptr};
}

}  // namespace tovarineGameSDK3rd::Draw

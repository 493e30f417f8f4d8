#pragma once
// The one table of blit operations: for each operation code, the pairs it has members for,
// the members themselves, and what it answers for the pairs without one. The dispatch, the
// tests and every blit family read it.
//
// A family registers its members by putting its member table (MakeBltPairs over the pair set
// of its operation, blt_pairs.h) in the row of its operation in blt_table.cpp (an empty table:
// not built). A table in the set's order is indexed directly; a pair of the set that the
// table lacks answers as not built.
#include <cstdint>
#include <span>

#include "draw/base/blt_geometry.h"
#include "draw/base/blt_loop.h"
#include "draw/base/blt_pairs.h"

namespace tovarineGameSDK3rd::Draw {

// What a pair without a member answers.
enum class BltNoMemberRule : uint8_t {
    None,             // every such pair answers 2
    NonFormatSource,  // a source that is none of the formats 3 to 8, 10 to 13 answers 0 (op 0)
    Palette8Pair,     // Palette8 onto Palette8 answers 0
    EqualTypes,       // a pair of equal codes answers 0 (the keyed operations)
};

struct BltOpRow {
    const BltPairSet* pairs = nullptr;   // null: the code carries no operation
    std::span<const BltPair> members;    // best in the order of `pairs`; empty: not yet built
    BltNoMemberRule rule = BltNoMemberRule::None;
    bool keyed = false;                  // the member gets the source's packed colour key
    uint8_t rates = 0;                   // rates read through the parameter: 0, 1 or 2
};

enum class BltCellKind : uint8_t {
    Member,       // run the member, answer 0
    NoDraw,       // answer 0 without drawing
    NotBuilt,     // a pair of the operation whose family has not been built: answer 2
    Unsupported,  // no member for the pair: answer 2
};

struct BltCell {
    BltCellKind kind;
    BltMemberFn member;  // set for Member only
};

// The row of an operation code; null for 11 to 13, negative codes and codes above 17.
const BltOpRow* FindBltOp(int32_t op);

// What the operation does for a pair of codes (any codes).
BltCell FindBltCell(const BltOpRow& row, int32_t src, int32_t dst);

}  // namespace tovarineGameSDK3rd::Draw

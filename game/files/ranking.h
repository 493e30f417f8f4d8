#pragma once
// The ranking file "save\ranking.sav" as a pure function of its byte vector, and the
// bounded read and whole-file write that the ranking and the replays share.
//
// Bytes: i32 version (0, ignored on reading), i32 count (0..10), ten bytes an entry (u32
// score, then year mod 100, month, day, hour, minute, second), the checksum trailer.
// The list itself, the grades and the screen are members of CGameResource
// (game/scenes/ranking_screen.cpp).
#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "foundation/auxiliary/serialize.h"
#include "game/files/ranking_entry.h"

// Neither file comes near this; a larger one is refused before it is read.
constexpr size_t kSaveFileLimit = size_t{16} << 20;
constexpr uint32_t kRankingSize = 10;

// A file's bytes: 0 read, 1 it cannot be opened or read, 2 larger than kSaveFileLimit
// (nothing read). bytes changes only on 0.
int32_t ReadSaveFile(const tovarineGameSDK3rd::VTL::VTLstring& name, std::vector<uint8_t>& bytes);
// Writes a whole file through a temporary name; true on failure (the old file stays whole).
bool WriteSaveFile(const tovarineGameSDK3rd::VTL::VTLstring& name, std::vector<uint8_t> bytes);
// Bytes whose trailer matches, as a stream to load from (trailer removed); false when not.
bool OpenCheckedBytes(std::vector<uint8_t> bytes, tovarineGameSDK3rd::Auxiliary::CSerialize& ar);
// Bytes with their checksum trailer appended.
std::vector<uint8_t> WithTrailer(std::vector<uint8_t> bytes);

// The bytes of ranking.sav for the first ten entries of a list.
std::vector<uint8_t> EncodeRanking(const std::list<SRankingEntry>& list);
// 0 with the list replaced; 2 when the trailer does not match, the count is outside 0..10
// or the entries run past the bytes. On 2 the list is left as it was.
int32_t DecodeRanking(std::vector<uint8_t> bytes, std::list<SRankingEntry>& list);

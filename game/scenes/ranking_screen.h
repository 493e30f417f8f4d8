#pragma once
// The ranking's texts: grade labels, the screen's rows and the replay file of an entry.
#include <cstdint>

#include "foundation/vtl/vtl_string.h"
#include "game/files/ranking_entry.h"

// The five-character grade label of a score ("[SSS]" .. "  [D]").
const char* GradeText(uint32_t score);
// One row of the ranking screen; isNew marks the row just entered.
tovarineGameSDK3rd::VTL::VTLstring RankingLine(const SRankingEntry& entry, bool isNew);
// "save\" + grade label + the six date bytes as two digits each + ".rpl".
tovarineGameSDK3rd::VTL::VTLstring MakeReplayFileName(const SRankingEntry& entry);

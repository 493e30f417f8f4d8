#pragma once
// The stage maps: data\text\stage\<stage><part>.txt, up to ten parts a stage, each a map of
// two-character cells (rows of pairs, '#' lines skipped) up to an empty line, then a table of
// TAB-separated lines naming the enemies of the part's letters and the jellies' parameters.
// The parts' columns follow one another: a part starts after the widest row of the last.
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "game/files/kind_tables.h"

// A map cell; a blank character is stored as 0.
struct SMapCell {
    uint16_t row = 0;
    uint8_t second = 0;
    uint8_t first = 0;
};

// What a letter of the table spawns: the enemy kind and the spawn delay in frames.
struct SEnemyLetter {
    uint8_t kind = 0;
    uint8_t delay = 0;
};

struct SJellyParams {
    int32_t a = 0;
    int32_t b = 0;
};

struct SStageMap {
    std::multimap<int32_t, SMapCell> cells;  // by map column, counted over all parts
    std::map<int32_t, int32_t> markers;      // the height profile: x -> y in pixels
    std::multimap<uint16_t, SEnemyLetter> enemyLetters;  // by EnemyLetterKey
    std::vector<int32_t> partEnds;           // per part, the column after its widest row
    std::map<uint32_t, SJellyParams> jellies;  // by JellyKey
    int32_t verticalRange = 0;               // only ever raised here

    // Empties the five tables (not the vertical range); the profile starts at (0, 224).
    void Clear();
};

// The key of a letter of part `part`: part * 256 + the letter as a signed byte. The map-column
// spawner looks letters up with it too.
uint16_t EnemyLetterKey(int32_t part, char letter);
uint32_t JellyKey(int32_t row, int32_t column);

// A part's rows and columns are bounded; beyond, the part is cut (with one error-log line), so
// rows fit the cell's 16-bit field and no key or pixel position wraps.
constexpr int32_t kMaxStageRowsOrColumns = 32767;

// Parses part `part`, starting at the column after the last part's end, and appends its end.
void ParseStagePart(std::string_view text, int32_t part, const NameMap& enemyNames, SStageMap& map);
// Clears the map and reads the parts of a stage until one is missing: 1 when part 0 is, else 0.
int LoadStageMap(int32_t stage, const NameMap& enemyNames, SStageMap& map);

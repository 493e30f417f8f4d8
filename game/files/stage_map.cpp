#include "game/files/stage_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "foundation/auxiliary/string_scanner.h"
#include "foundation/vtl/text_output_stream.h"
#include "framework/list_field.h"
#include "game/files/text_file.h"

using KestraneGameBase2::ForEachListLine;
using KestraneGameBase2::ReadListDouble;
using KestraneGameBase2::ReadListField;
using KestraneGameBase2::ReadListInt;
using tovarineGameSDK3rd::VTL::VTLstring;

void SStageMap::Clear() {
    cells.clear();
    markers.clear();
    markers.emplace(0, 224);
    enemyLetters.clear();
    partEnds.clear();
    jellies.clear();
}

uint16_t EnemyLetterKey(int32_t part, char letter) {
    return static_cast<uint16_t>(part * 256 + static_cast<int8_t>(letter));
}

uint32_t JellyKey(int32_t row, int32_t column) {
    return static_cast<uint32_t>(row) * 65535u + static_cast<uint32_t>(column);
}

namespace {

// (int) of a real of the table, which may hold any number: saturated instead of undefined.
int32_t ToInt(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

}  // namespace

void ParseStagePart(std::string_view text, int32_t part, const NameMap& enemyNames, SStageMap& map) {
    const int32_t start = map.partEnds.empty() ? 0 : map.partEnds.back();
    int32_t rows = 0;
    int32_t widest = 0;
    bool inMap = true;
    bool cut = false;
    std::set<uint32_t> jellyPlaces;  // "j " cells of this part that await their table line

    ForEachListLine(text, [&](const VTLstring& line) {
        if (inMap) {
            if (line.empty()) {
                inMap = false;
                return;
            }
            if (line[0] == '#') return;
            if (rows == kMaxStageRowsOrColumns) {
                cut = true;
                return;
            }
            const int32_t row = rows++;
            int32_t columns = static_cast<int32_t>((line.size() + 1) / 2);  // a lone last character counts
            if (columns > kMaxStageRowsOrColumns) columns = kMaxStageRowsOrColumns, cut = true;
            for (int32_t k = 0; k < columns && 2u * k + 1 < line.size(); ++k) {
                const uint8_t first = static_cast<uint8_t>(line[2 * k]);
                const uint8_t second = static_cast<uint8_t>(line[2 * k + 1]);
                const int32_t column = start + k;
                if (second == '*') {
                    map.markers.emplace((column + 22) * 32, row * 32);
                    continue;
                }
                const uint8_t f = first == ' ' ? 0 : first, s = second == ' ' ? 0 : second;
                if (f != 0 || s != 0) map.cells.emplace(column, SMapCell{static_cast<uint16_t>(row), s, f});
                // The cell the spawner turns into a jelly.
                if (first == 'j' && second == ' ') jellyPlaces.insert(JellyKey(row, column));
            }
            widest = std::max(widest, columns);
            return;
        }
        if (line[0] == '#') return;
        const char* p = line.c_str();
        const VTLstring letter = ReadListField(&p);
        if (letter.empty()) return;
        const double r = ReadListDouble(&p);
        const VTLstring word = ReadListField(&p);
        if (word == "ゼリー") {
            int64_t column = 0;
            tovarineGameSDK3rd::Auxiliary::CStringScanner::GetNum64(letter, &column);
            const uint32_t place = JellyKey(ToInt(r), static_cast<int32_t>(static_cast<uint32_t>(column + start)));
            if (jellyPlaces.erase(place) == 0) return;
            SJellyParams& params = map.jellies[place];
            params.a = static_cast<int32_t>(ReadListInt(&p));
            params.b = static_cast<int32_t>(ReadListInt(&p));
            return;
        }
        const auto kind = enemyNames.find(word);
        if (kind == enemyNames.end()) return;
        map.enemyLetters.emplace(EnemyLetterKey(part, letter[0]),
                                 SEnemyLetter{static_cast<uint8_t>(kind->second), static_cast<uint8_t>(ToInt(r * 32))});
    });

    if (cut) tovarineGameSDK3rd::GetErrorLog().Out("ステージマップのパート%dが大きすぎるため切り詰めた", part);
    if (rows > 15) map.verticalRange = std::max(map.verticalRange, (rows - 16) * 32);
    map.partEnds.push_back(start + widest);
}

int LoadStageMap(int32_t stage, const NameMap& enemyNames, SStageMap& map) {
    map.Clear();
    for (int32_t part = 0; part < 10; ++part) {
        char name[64];
        std::snprintf(name, sizeof name, "data\\text\\stage\\%d%d.txt", stage, part);
        const int r = ReadTextFile(name, [&](std::string_view text) { ParseStagePart(text, part, enemyNames, map); });
        if (r != 0) return part == 0 ? 1 : 0;
    }
    return 0;
}

// Arbitrary text for the game's table readers; the first byte picks the reader: effect.txt,
// data.txt, a stage part, bossparts.txt, help, talk, face, or the field readers over each line.
// Beyond not crashing, the tables keep their bounds.
#include <cstdlib>
#include <string_view>

#include "framework/list_field.h"
#include "game/files/kind_tables.h"
#include "game/files/stage_map.h"
#include "game/files/text_tables.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 8) {
        case 0:
        case 1: {
            SKindTables t;
            ParseEffectTable(data[0] % 8 == 0 ? text : "a\t1\r\nb\t2\r\n", t);
            if (data[0] % 8 == 1) ParseDataTable(text, t);
            for (const auto& section : t.objects) {
                for (const SObjectKind& k : section) Check(k.effect < t.effects.size());
            }
            break;
        }
        case 2: {
            SStageMap map;
            map.Clear();
            const NameMap enemies{{"A", 0}, {"B", 1}};
            ParseStagePart(text, 0, enemies, map);
            ParseStagePart(text, 1, enemies, map);
            Check(map.partEnds.size() == 2 && map.partEnds[1] - map.partEnds[0] <= kMaxStageRowsOrColumns);
            for (const auto& [column, cell] : map.cells) Check(column >= 0 && column < map.partEnds[1]);
            break;
        }
        case 3: {
            std::vector<SBossBlock> table;
            ParseBossParts(text, table);
            for (const SBossBlock& b : table) {
                Check(!b.steps.empty() && b.steps.size() <= kMaxBossSteps && b.partOn.size() <= kMaxBossPartRows);
                for (const SBossStep& s : b.steps) Check(s.partValues.size() == b.partOn.size());
            }
            break;
        }
        case 4: {
            std::vector<tovarineGameSDK3rd::VTL::VTLstring> pages;
            ParseHelp(text, pages);
            for (const auto& p : pages) Check(!p.empty());
            break;
        }
        case 5: {
            std::vector<STalkPage> pages;
            ParseTalk(text, pages);
            for (const STalkPage& p : pages) Check(!p.text.empty());
            break;
        }
        case 6: {
            FaceMap faces;
            ParseFaces(text, faces);
            break;
        }
        default:
            KestraneGameBase2::ForEachListLine(text, [](const tovarineGameSDK3rd::VTL::VTLstring& line) {
                const char* const end = line.c_str() + std::char_traits<char>::length(line.c_str());
                for (int reader = 0; reader < 4; ++reader) {
                    const char* p = line.c_str();
                    for (int guard = 0; *p != '\0' && guard < 100000; ++guard) {
                        const char* before = p;
                        switch (reader) {
                            case 0: KestraneGameBase2::ReadListField(&p); break;
                            case 1: KestraneGameBase2::ReadListInt(&p); break;
                            case 2: KestraneGameBase2::ReadListCommaInt(&p); break;
                            default: KestraneGameBase2::ReadListDouble(&p); break;
                        }
                        Check(p >= line.c_str() && p <= end);
                        if (p == before) break;  // a reader that takes nothing at a stop character
                    }
                }
            });
            break;
    }
    return 0;
}

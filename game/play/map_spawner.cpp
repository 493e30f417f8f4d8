// The map-column spawner: a column of the stage map becomes terrain, signs, puddings, jellies,
// blocks, crystals and enemies just beyond the view's right edge, and its "!" markers drive
// the stage events.
#include <algorithm>

#include "framework/sine_table.h"
#include "game/play/game_resource.h"

namespace {

// The stage-1 guide signs: effect 7 + k, offset by (dx, dy).
struct SSign {
    char cell;
    int8_t dx, dy;
};
constexpr SSign kSigns[] = {{'u', 0, 0}, {'l', 0, 0}, {'r', 0, 0}, {'d', 0, 0},  {'7', 0, 0},  {'9', 0, 0},
                            {'1', 0, 0}, {'3', 0, 0}, {'6', 4, 4}, {'8', -4, 4}, {'0', 4, -4}, {'2', -4, -4}};

// The stage-2 puddings: kind p0 + k at (x, y + dy).
constexpr struct {
    char cell;
    int8_t dy;
} kPuddings[] = {{'p', -16}, {'q', 16}, {'P', -64}, {'Q', 64}};

}  // namespace

void CGameResource::SpawnMapColumn(int32_t c, bool terrainOnly) {
    // Part p starts at the column where part p - 1 ends.
    const auto part = static_cast<int32_t>(
        std::count_if(stageMap.partEnds.begin(), stageMap.partEnds.end(), [c](int32_t end) { return end <= c; }));
    const int32_t stage = progress.stage;

    const auto [begin, end] = stageMap.cells.equal_range(c);
    for (auto it = begin; it != end; ++it) {
        // A stored cell's column and row are bounded by the reader, so no position wraps.
        const int32_t x = 32 * c + 704;  // the view plus 64: the scroll reaches 32 c on this column's frame
        const int32_t r = it->second.row;
        const uint8_t a = it->second.first, b = it->second.second;
        const int32_t y = 32 * r;

        if (a != 0 && b == 0) {
            const auto land = [&](int32_t kind) {
                CObjectLand* o = CreateLand(kind, x, y);
                if (o != nullptr && stage == 2) o->hp = r + c;
            };
            if (a == 'b') land(stage);
            if (a == 'B') land(4);
            if (stage == 0) {
                if (a == 'w') CreateEffectLand(22, 0, x, y);
                if (a == 'W') CreateEffectLand(23, 0, x, y);
                if (a >= '0' && a <= '9') {
                    const int32_t d = a - '0';
                    if (CObjectEffectLand* e = CreateEffectLand(24, 0, x + 32 * d, y)) e->effectReserved = d;
                }
                if (a == 'd') CreateEffectLand(19, 0, x, y);
                if (a == 'B') CreateLand(3, x, y);
            } else if (stage == 1) {
                if (a == '5') CreateEffectLand(20, 0, x, y);
                for (int32_t k = 0; k < static_cast<int32_t>(std::size(kSigns)); ++k) {
                    if (a == kSigns[k].cell) CreateEffectLand(7 + k, 0, x + kSigns[k].dx, y + kSigns[k].dy);
                }
            } else if (stage == 2) {
                const int32_t p0 = FindName(kinds.objectNames[5], "プリン");
                const std::vector<SObjectKind>& terrain = kinds.objects[5];
                for (int32_t k = 0; k < 4; ++k) {
                    const auto index = static_cast<uint32_t>(p0 + k);
                    if (a != kPuddings[k].cell || index >= terrain.size()) continue;
                    CreatePudding(static_cast<int32_t>(index), x, y + kPuddings[k].dy);
                }
                if (a == 'j') {
                    CObjectJelly* jelly = CreateJelly(32 * c + 692, y - 12);
                    const auto params = stageMap.jellies.find(JellyKey(r, c));
                    if (jelly != nullptr && params != stageMap.jellies.end()) {
                        // Two bytes a cell, as the jelly's own passes read them.
                        jelly->SetSize(static_cast<uint8_t>(2u * static_cast<uint32_t>(params->second.a)),
                                       static_cast<uint8_t>(2u * static_cast<uint32_t>(params->second.b)));
                        jelly->alpha = 224;
                        jelly->phase = c % 4;
                    }
                }
            }
        }

        if (terrainOnly) continue;
        if (a == '!') {
            UpdateStageEvents(32 * c, 32 * r);
            continue;
        }
        if (b == 0) continue;
        if (stage >= 1 && (b == '+' || b == '-')) {
            if (CObjectBlock* block = CreateBlock(b == '+' ? 21 : 22, x, y, 0)) block->phase = 2 * (a - '0');
        } else if (stage == 2 && b == 'G') {
            CreateBlock(23, x, y, 0);
        } else if (b == '$') {
            CObjectCrystal* crystal = CreateCrystal(x, y);
            if (crystal == nullptr) continue;
            // Always leftward: 96..111 or 144..159.
            const int32_t m = (7 * r + 13 * c) & 31;
            const auto angle = static_cast<uint8_t>(m < 16 ? m - 160 : m + 128);
            crystal->motion.vx = KestraneGameBase2::CosOf(angle) * 3.0;
            crystal->motion.vy = KestraneGameBase2::SinOf(angle) * 3.0;
            crystal->Think(*this);
        } else {
            const auto [first, last] = stageMap.enemyLetters.equal_range(EnemyLetterKey(part, static_cast<char>(b)));
            for (auto e = first; e != last; ++e) {
                CObjectEnemy* enemy = CreateEnemy(e->second.kind, x, y, e->second.delay);
                if (enemy != nullptr && a != 0) enemy->phase = a - '0';
            }
        }
    }
}

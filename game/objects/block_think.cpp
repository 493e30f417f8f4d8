// The blocks' behaviour, and the scans that treat the kind-13 blocks on the field as one group.
#include "game/game_resource.h"

namespace {

constexpr uint8_t kGroupBlock = 13;
constexpr uint8_t kGroupSpark = 17;
constexpr int32_t kStruck = 2;
constexpr int32_t kComplete = 3;

bool IsKind(const CObjectBase& o, int32_t type, uint8_t index) { return o.GetType() == type && o.kind->index == index; }

}  // namespace

void CGameResource::CheckBlockGroup(bool& anyFound, bool& allStruck) {
    anyFound = false;
    allStruck = true;
    for (const ObjectPtr& o : objects) {
        if (!IsKind(*o, kTypeBlock, kGroupBlock)) continue;
        anyFound = true;
        if (o->phase < kStruck) allStruck = false;
    }
    if (!anyFound || !allStruck) return;
    for (const ObjectPtr& o : objects) {
        if (IsKind(*o, kTypeBlock, kGroupBlock)) o->phase = kComplete;
    }
}

void CGameResource::ResetBlockGroup() {
    for (const ObjectPtr& o : objects) {
        if (IsKind(*o, kTypeBlock, kGroupBlock)) o->phase = 0;
        if (IsKind(*o, kTypeBlock, kGroupSpark) || IsKind(*o, kTypeEnemy, 71) || IsKind(*o, kTypeEnemy, 72)) {
            o->SetState(kStateVanish);
        }
    }
}

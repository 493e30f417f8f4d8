// The stage event sequencer: the n-th "!" marker of a stage's map runs event n of that stage.
// The events are one table of actions keyed by (stage, step), run in table order.
#include "framework/bgm_player.h"
#include "game/play/game_resource.h"

namespace {

enum class EAction : uint8_t {
    kSpeed,         // scroll speed and target speed := value
    kTarget,        // target speed := value
    kOpacityStep,   // background opacity step := arg
    kBackSpeed,     // background speed := value
    kKeepEffects,   // keep-effects flag := arg
    kVertical,      // vertical flag := arg
    kVerticalTarget,  // vertical scroll target := arg
    kDamageScale,   // the boss fight's damage scale := arg
    kCheckpoint,
    kMusic,         // track arg, fade over value frames
    kEraseField,
    kBoss,          // StartBossRecord(arg)
    kEnemy65,       // enemy kind 65 beside the marker
};

struct SEventRow {
    int8_t stage;
    int8_t step;
    EAction action;
    double value;
    int32_t arg;
};

using E = EAction;
constexpr SEventRow kEvents[] = {
    {0, 0, E::kSpeed, 1.0, 0}, {0, 0, E::kCheckpoint, 0, 0}, {0, 0, E::kMusic, 16, 1},
    {0, 1, E::kMusic, 120, 2},
    {0, 2, E::kTarget, 1.0, 0}, {0, 2, E::kOpacityStep, 0, 1}, {0, 2, E::kBackSpeed, 1.5, 0},
    {0, 2, E::kKeepEffects, 0, 0}, {0, 2, E::kCheckpoint, 0, 0}, {0, 2, E::kMusic, 16, 2},
    {0, 3, E::kBackSpeed, 0.5, 0}, {0, 3, E::kCheckpoint, 0, 0}, {0, 3, E::kEraseField, 0, 0}, {0, 3, E::kBoss, 0, 0},

    {1, 0, E::kDamageScale, 0, 150}, {1, 0, E::kSpeed, 1.0, 0}, {1, 0, E::kCheckpoint, 0, 0}, {1, 0, E::kMusic, 16, 1},
    {1, 1, E::kMusic, 120, 4},
    {1, 2, E::kBackSpeed, 1.0, 0}, {1, 2, E::kOpacityStep, 0, 1}, {1, 2, E::kKeepEffects, 0, 0},
    {1, 2, E::kTarget, 1.5, 0}, {1, 2, E::kDamageScale, 0, 150}, {1, 2, E::kCheckpoint, 0, 0}, {1, 2, E::kMusic, 16, 4},
    {1, 3, E::kBackSpeed, 0.0, 0}, {1, 3, E::kBoss, 0, 12},
    {1, 4, E::kBackSpeed, 1.0, 0}, {1, 4, E::kTarget, 1.5, 0},
    {1, 5, E::kVertical, 0, 1}, {1, 5, E::kBackSpeed, 1.0, 0}, {1, 5, E::kTarget, 1.0, 0},
    {1, 5, E::kDamageScale, 0, 150}, {1, 5, E::kCheckpoint, 0, 0}, {1, 5, E::kMusic, 16, 4},
    {1, 6, E::kBackSpeed, 0.0, 0}, {1, 6, E::kBoss, 0, 12},
    {1, 7, E::kBackSpeed, 1.0, 0}, {1, 7, E::kTarget, 1.5, 0},
    {1, 8, E::kVertical, 0, 0},
    {1, 9, E::kDamageScale, 0, 100}, {1, 9, E::kBackSpeed, 0.0, 0}, {1, 9, E::kCheckpoint, 0, 0},
    {1, 9, E::kEraseField, 0, 0}, {1, 9, E::kBoss, 0, 1},

    {2, 0, E::kDamageScale, 0, 200}, {2, 0, E::kSpeed, 1.0, 0}, {2, 0, E::kCheckpoint, 0, 0}, {2, 0, E::kMusic, 16, 1},
    {2, 1, E::kMusic, 120, 6},
    {2, 2, E::kBackSpeed, 0.5, 0}, {2, 2, E::kOpacityStep, 0, 1}, {2, 2, E::kTarget, 1.0, 0}, {2, 2, E::kVertical, 0, 1},
    {2, 2, E::kKeepEffects, 0, 0}, {2, 2, E::kDamageScale, 0, 200}, {2, 2, E::kCheckpoint, 0, 0}, {2, 2, E::kMusic, 16, 6},
    {2, 3, E::kVertical, 0, 0}, {2, 3, E::kVerticalTarget, 0, 224},
    {2, 4, E::kBackSpeed, 0.0, 0}, {2, 4, E::kBoss, 0, 14},
    {2, 5, E::kBackSpeed, 0.5, 0}, {2, 5, E::kTarget, 1.0, 0}, {2, 5, E::kVertical, 0, 1}, {2, 5, E::kVerticalTarget, 0, -1},
    {2, 5, E::kDamageScale, 0, 200}, {2, 5, E::kCheckpoint, 0, 0}, {2, 5, E::kMusic, 16, 6}, {2, 5, E::kEnemy65, 0, 0},
    {2, 6, E::kTarget, 2.0, 0},
    {2, 7, E::kTarget, 4.0, 0},
    {2, 8, E::kTarget, 6.0, 0},
    {2, 9, E::kTarget, 8.0, 0},
    {2, 10, E::kVertical, 0, 0}, {2, 10, E::kKeepEffects, 0, 1}, {2, 10, E::kOpacityStep, 0, -2},
    {2, 11, E::kTarget, 1.0, 0},
    {2, 12, E::kVertical, 0, 0}, {2, 12, E::kDamageScale, 0, 100}, {2, 12, E::kCheckpoint, 0, 0},
    {2, 12, E::kEraseField, 0, 0}, {2, 12, E::kBoss, 0, 2},

    {3, 0, E::kSpeed, 1.0, 0}, {3, 0, E::kCheckpoint, 0, 0},
    {3, 1, E::kBoss, 0, 3},
};

}  // namespace

bool CGameResource::UpdateStageEvents(int32_t x, int32_t y) {
    SStageProgress& p = progress;
    for (const SEventRow& row : kEvents) {
        if (row.stage != p.stage || row.step != p.eventStep) continue;
        switch (row.action) {
            case E::kSpeed: p.scrollSpeed = p.targetSpeed = row.value; break;
            case E::kTarget: p.targetSpeed = row.value; break;
            case E::kOpacityStep: backdrop.opacityStep = row.arg; break;
            case E::kBackSpeed: p.backgroundSpeed = row.value; break;
            case E::kKeepEffects: backdrop.keepEffects = static_cast<uint8_t>(row.arg); break;
            case E::kVertical: p.vertical = static_cast<uint8_t>(row.arg); break;
            case E::kVerticalTarget: verticalScrollTarget = row.arg; break;
            case E::kDamageScale: boss.damageScale = row.arg; break;
            case E::kCheckpoint: SaveCheckpoint(); break;
            case E::kMusic: KestraneGameBase2::GetBGMPlayer()->Play(row.arg, static_cast<int32_t>(row.value)); break;
            case E::kEraseField: EraseFieldObjects(); break;
            case E::kBoss: StartBossRecord(row.arg); break;
            case E::kEnemy65: CreateEnemy(65, x + 288, y + 416, 0); break;
        }
    }
    p.eventStep = WrapSub(p.eventStep, -1);
    return false;
}

void CGameResource::SaveCheckpoint() {
    progress.scoreCarry = status.score >> 1;
    checkpoint = progress;
}

// The cut-in start: the snapshot of the field, the 32-frame zoom and the picture layers of
// each cut-in with their timings.
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

namespace {

constexpr int32_t kZoomFrames = 32;

struct SCutinLayer {
    int32_t id;
    int32_t record;
    int32_t lifetime;  // -1: one animation cycle of the record
    int32_t startDelay;
    int32_t fadeLength;  // 0: the fade as the factory made it
    int32_t fadeDelay;
};

constexpr SCutinLayer kLayers[] = {
    {Cutin::kSkillBlast, 0, 40, 0, 15, 25},     {Cutin::kSkillBlast, 1, 60, 40, 15, 45},
    {Cutin::kSkillBlast, 2, -1, 0, 0, 0},       {Cutin::kSkillBlast, 3, -1, 40, 0, 0},
    {Cutin::kFinisher, 4, 120, 0, 30, 85},      {Cutin::kFinisher, 5, 110, 10, 0, 0},
    {Cutin::kBoss0Hammer, 6, 90, 0, 30, 60},    {Cutin::kBoss0Hammer, 7, 30, 0, 30, 0},
    {Cutin::kBoss1Finale, 8, 90, 0, 30, 60},    {Cutin::kBoss1Finale, 9, 90, 0, 30, 60},
    {Cutin::kBoss1Finale, 10, 45, 60, 0, 0},    {Cutin::kBoss2Special, 11, 90, 0, 15, 75},
    {Cutin::kBoss2Special, 12, 60, 60, 0, 0},   {Cutin::kBoss3Finale, 13, 120, 0, 20, 100},
    {Cutin::kBoss3Finale, 14, 70, 50, 0, 0},
};

}  // namespace

void CGameResource::StartCutin(int32_t id, bool releaseOthers) {
    if (releaseOthers) {
        for (int32_t other : Cutin::kAll) ReleaseCutin(other);
    }
    PreloadCutin(id);
    StopSe(Se::kBarrierHum);
    cutinScreen.keepSnapshot = 0;
    int w = 0, h = 0;
    cutinScreen.snapshot.GetSize(&w, &h);
    if (w == 0 || h == 0) cutinScreen.snapshot.SetSize(kScreenWidth, kScreenHeight);
    cutinScreen.zoom = kZoomFrames;
    cutinScreen.id = id;
    for (const SCutinLayer& layer : kLayers) {
        if (layer.id != id) continue;
        CObjectCutin* cutin = CreateCutin(layer.record, 0, 0, layer.lifetime, layer.startDelay);
        if (cutin == nullptr || layer.fadeLength == 0) continue;
        cutin->fadeCounter = cutin->fadeLength = static_cast<int16_t>(layer.fadeLength);
        cutin->fadeDelay = static_cast<int16_t>(layer.fadeDelay);
        cutin->fadeRepeat = 0;
    }
    PlaySe(Se::kCutinStart);
}

// The play rules the objects call on: items and their effects on the hero, enemy shots and
// their reflection, sparkle bursts.
#include <algorithm>
#include <cstring>

#include "framework/sine_table.h"
#include "game/files/sounds.h"
#include "game/ids.h"
#include "game/play/game_resource.h"

using KestraneGameBase2::CosOf;
using KestraneGameBase2::SinOf;
using tovarineGameSDK3rd::Draw::Rect;

// ---- items

void CGameResource::SpawnNextItem(int32_t x, int32_t y) { SpawnItem(x, y, NextDropItem()); }

void CGameResource::SpawnItem(int32_t x, int32_t y, uint8_t kind) {
    if ((kind == 7 && progress.itemLevel1 != 0) || (kind == 8 && progress.itemLevel2 != 0)) kind = 6;
    if (CObjectItem* item = CreateItem(kind, x, y)) item->SetVelocityFromPosition(3.0);
}

void CGameResource::ApplyItem(uint8_t kind) {
    SPlayerStatus& s = status;
    // The burst and the popup stand at the hero; a play state without one places neither.
    CObjectAvatar* hero = player.GetNoCheck();
    const auto burst = [this, hero] {
        if (hero != nullptr) SpawnBurstAt(*hero);
    };
    const auto topUpEnergy = [&s] {
        s.energyTimer = std::min(s.energyTimer + 750, 1500);
        s.barrierEnergy = s.maxBarrierEnergy;
    };
    static constexpr uint32_t kGreen = 0xA0FFA0, kBlue = 0x80C0FF;
    const char* text = nullptr;
    uint32_t colour = kBlue;
    switch (kind) {
        case 0:
            s.hp = std::min(s.hp + 2500, s.maxHp);
            burst();
            text = "HP+", colour = kGreen;
            break;
        case 1:
            s.magicRequest = 1;
            text = "MAGIC+";
            break;
        case 2:
            s.speedUpTimer = 1500;
            text = "SPEED+";
            break;
        case 3:
            s.energyTimer = 1500;
            s.barrierEnergy = s.maxBarrierEnergy;
            text = "MP++";
            break;
        case 4:
            topUpEnergy();
            s.hp = s.maxHp;
            burst();
            text = "HP++ MP+", colour = kGreen;
            break;
        case 5:
            topUpEnergy();
            AddGauge(5000);
            text = "TP+ MP+", colour = kGreen;
            break;
        case 7:
            s.maxHp = 13000;
            s.hp = std::min(s.hp + 3000, 13000);
            progress.itemLevel1 = 1;
            text = "MaxHP+";
            break;
        case 8:
            s.maxBarrierEnergy = 13000;
            progress.itemLevel2 = 1;
            text = "MaxMP+";
            break;
        default: break;
    }
    if (text != nullptr && hero != nullptr) {
        int32_t cx = 0, cy = 0;
        GetCameraOrigin(cx, cy);
        const int32_t px = WrapSub(TruncInt(hero->x), cx), py = WrapSub(TruncInt(hero->y), cy);
        const int32_t length = static_cast<int32_t>(std::strlen(text));
        if (CObjectFont* popup = CreateFont(120, static_cast<double>(px) - 7 * length, py)) {
            popup->SetText(Config(), 28, colour, true, text);
            popup->motion.vx = 0;
            popup->motion.vy = py < 64 ? 0.5 : -0.5;  // drifts away from the top edge
            popup->fadeCounter = 60;
            popup->fadeLength = 60;
            popup->fadeDelay = 60;
            popup->fadeRepeat = 0;
        }
    }
    PlaySe(Se::kItemTaken);
}

void CGameResource::PickItemPicture(uint32_t r, int32_t& image, Rect& rect) const {
    const uint8_t k = itemDropList.empty() ? 0 : itemDropList[(r % 256) % itemDropList.size()];
    const std::vector<SObjectKind>& items = kinds.objects[4];
    if (k >= items.size()) {
        image = -1;
        rect = Rect{};
        return;
    }
    const SObjectKind& kind = items[k];
    image = kind.image;
    rect = {kind.srcX, kind.srcY, kind.srcX + kind.cellWidth, kind.srcY + kind.cellHeight};
}

// ---- shots

// Enemies fire only from points in the view.
bool CGameResource::IsInView(double x, double y) const {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    return cx <= x && x <= cx + 639.0 && cy <= y && y <= cy + 479.0;
}

void CGameResource::FireShots(int32_t kind, double x, double y, uint8_t angle, int32_t images, double speed) {
    if (!IsInView(x, y)) return;
    CObjectShot* shot = nullptr;
    if (images < 1) {
        shot = CreateShot(kind, TruncInt(x), TruncInt(y), 0);
    } else if (CObjectShotShadow* trailed = CreateShotShadow(kind, TruncInt(x), TruncInt(y))) {
        trailed->trailSpacing = 1;
        trailed->trailLength = static_cast<uint16_t>(2 * images);
        shot = trailed;
    }
    if (shot != nullptr) {
        shot->motion.vx = CosOf(angle) * speed;
        shot->motion.vy = SinOf(angle) * speed;
    }
    if (kind >= 4 && kind <= 12) PlayShotSound(kind - 4);
}

void CGameResource::FireAimedShot(int32_t kind, double x, double y, double speed) {
    if (!IsInView(x, y)) return;
    if (CObjectShot* shot = CreateShot(kind, TruncInt(x), TruncInt(y), 0)) shot->SetCourse(*player, speed, 0, 0);
    if (kind >= 4 && kind <= 12) PlayShotSound(kind - 4);
}

void CGameResource::PlayShotSound(int32_t k) {
    static constexpr Se kSounds[9] = {Se::kShot0, Se::kShot0, Se::kShot1,    Se::kShot1,   Se::kShot2,
                                      Se::kShot3, Se::kNone,  Se::kShotHigh, Se::kShotHigh};
    if (k >= 0 && k < 9 && kSounds[k] != Se::kNone) PlaySe(kSounds[k]);
}

void CGameResource::ReflectShot(const CObjectShot& shot) {
    const int32_t x = TruncInt(shot.x), y = TruncInt(shot.y);
    CObjectReflect* reflector = CreateReflect(shot.kind, x, y);
    if (reflector == nullptr) return;
    const uint8_t a = AngleOf(x - player->x, y - player->y);
    const uint8_t back = static_cast<uint8_t>(a + 128);
    reflector->motion.vx = CosOf(back) * 2.0;
    reflector->motion.vy = SinOf(back) * 2.0;
    reflector->motion.accelAngle = a;
    reflector->motion.accel = 0.5;
    reflector->motion.speedLimit = shot.motion.Speed() + 8.0;
    reflector->angle = a;
}

// ---- effects

CObjectEffect* CGameResource::CreateEffectAtWorld(int32_t id, int32_t lifetime, double x, double y) {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    return CreateEffect(id, lifetime, x - cx, y - cy);
}

void CGameResource::SpawnBurst(int32_t w, int32_t h, double x, double y) {
    int32_t cx = 0, cy = 0;
    GetCameraOrigin(cx, cy);
    const double sx = x - cx, sy = y - cy;
    // No draw for an empty bound.
    const auto draw = [this](int32_t bound) { return bound > 0 ? static_cast<int32_t>(playRand.Get() % bound) : 0; };
    for (int32_t i = 0; i < 16; ++i) {
        const int32_t ry = draw(h);
        const int32_t rx = draw(w);
        if (CObjectEffect* e = CreateEffect(37 + i % 2, -1, sx + rx - w / 2, sy + ry - h / 2)) {
            e->startDelay = static_cast<int16_t>(2 * i);
        }
    }
    PlaySe(Se::kSparkleBurst);
}

void CGameResource::SpawnBurstAt(const CObjectBase& object) {
    SpawnBurst(2 * object.kind->hitWidth, 2 * object.kind->hitHeight, object.x, object.y);
}

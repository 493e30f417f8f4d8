// Contact and push-out of the object classes. The collision code fills these bodies; until
// then nothing touches, pushes or is hit, and the hero is never confined. The barrier's
// burst queue is whole.
#include "game/game_resource.h"
#include "game/objects/objects.h"

using tovarineGameSDK3rd::Draw::Rect;

bool CObjectBase::Collide(CObjectBase*) { return false; }
void CObjectBase::PushOut(double, uint8_t, bool) {}
void CObjectBase::GetHitRect(Rect& rect) const { rect = Rect{}; }
uint8_t CObjectBase::GetContactDirection(double, double) const { return 0; }

bool CObjectAvatar::Collide(CObjectBase*) { return false; }
void CObjectAvatar::PushOut(double, uint8_t, bool) {}
bool CObjectBarrier::Collide(CObjectBase*) { return false; }
bool CObjectEnemy::Collide(CObjectBase*) { return false; }
bool CObjectBoss::Collide(CObjectBase*) { return false; }
bool CObjectBossParts::Collide(CObjectBase*) { return false; }
bool CObjectReflect::Collide(CObjectBase*) { return false; }
bool CObjectLand::Collide(CObjectBase*) { return false; }
uint8_t CObjectLand::GetContactDirection(double, double) const { return 0; }
bool CObjectPudding::Collide(CObjectBase*) { return false; }
bool CObjectJelly::Collide(CObjectBase*) { return false; }
void CObjectJelly::GetHitRect(Rect& rect) const { rect = Rect{}; }

bool CObjectBarrier::PopBurstAngle(uint8_t& angle, tovarineGameSDK3rd::Math::CRand& random) {
    if (burstQueue.empty()) return false;
    const SBurst burst = burstQueue.back();
    burstQueue.pop_back();
    const uint32_t spread = burst.size == 0 ? 0 : random.Get(2u * burst.size);
    angle = static_cast<uint8_t>(burst.angle + spread - burst.size);
    return true;
}

// Filled by the collision code: until it lands the player is not kept in the view.
void CGameResource::ConfinePlayer(CObjectAvatar*, bool) {}

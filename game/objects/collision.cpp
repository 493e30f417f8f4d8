// Contact and push-out of the object classes. The collision code fills these bodies; until
// then nothing touches, pushes or is hit.
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

// Filled by the collision code: until it lands the player is not kept in the view.
void CGameResource::ConfinePlayer(CObjectAvatar*, bool) {}

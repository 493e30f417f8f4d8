// The play state's object factories: one per class, each building the object on its kind
// record, holding it on its list and handing back a plain pointer for setting up. The lists
// own the objects; an object leaves its list when its state becomes 1.
#include <new>

#include "game/play/game_resource.h"

using tovarineGameSDK3rd::VTL::VTLstring;

namespace {

// The record at index, or null beyond the table (a negative index too).
template <class Kind>
const Kind* Record(const std::vector<Kind>& rows, int32_t index) {
    return static_cast<uint32_t>(index) < rows.size() ? &rows[static_cast<uint32_t>(index)] : nullptr;
}

// A new object of class T on kind, centred on (x, y), held on the object list, or on the
// pending-spawn list for a delay above 0; also held by extra when given.
template <class T>
T* Place(CGameResource& game, const SObjectKind* kind, int32_t x, int32_t y, int32_t delay = 0,
         std::vector<CGameResource::ObjectPtr>* extra = nullptr) {
    if (kind == nullptr) return nullptr;
    T* object = new (std::nothrow) T(kind);
    if (object == nullptr) return nullptr;
    const CGameResource::ObjectPtr holder(object);
    object->x = x;
    object->y = y;
    if (delay > 0) {
        game.pendingSpawns.push_back({delay, holder});
    } else {
        game.objects.push_back(holder);
    }
    if (extra != nullptr) extra->push_back(holder);
    return object;
}

// A new effect of class T on kind at (x, y) on list. A negative lifetime is one animation
// cycle of the kind; the full lifetime keeps what was set. cycle false takes it as given.
template <class T>
T* PlaceEffect(std::list<CGameResource::EffectPtr>& list, const SEffectKind* kind, int32_t lifetime, double x,
               double y, bool cycle = true) {
    if (kind == nullptr) return nullptr;
    T* effect = new (std::nothrow) T(kind);
    if (effect == nullptr) return nullptr;
    list.push_back(CGameResource::EffectPtr(effect));
    int64_t frames = lifetime;
    if (cycle && lifetime < 0) frames = static_cast<int64_t>(kind->frames.size()) * kind->frameTime;
    effect->lifetime = static_cast<int16_t>(frames);  // 16 bits, as stored
    if (cycle) effect->fullLifetime = static_cast<uint16_t>(frames);
    effect->x = x;
    effect->y = y;
    return effect;
}

template <class T>
T* PlaceBoss(CGameResource& game, int32_t index, int32_t x, int32_t y, bool pose9) {
    T* boss = Place<T>(game, Record(game.kinds.objects[6], index), x, y, 0, &game.bossObjects);
    if (boss != nullptr && pose9) boss->pose = 9, boss->poseTimer = 0;
    return boss;
}

}  // namespace

CObjectBoss* CGameResource::CreateBoss(int32_t index, int32_t x, int32_t y, bool pose9) {
    return PlaceBoss<CObjectBoss>(*this, index, x, y, pose9);
}

CObjectBossParts* CGameResource::CreateBossParts(int32_t index, int32_t x, int32_t y, bool pose9) {
    return PlaceBoss<CObjectBossParts>(*this, index, x, y, pose9);
}

CObjectEnemy* CGameResource::CreateEnemy(int32_t index, int32_t x, int32_t y, int32_t delay) {
    return Place<CObjectEnemy>(*this, Record(kinds.objects[1], index), x, y, delay);
}

CObjectEnemyShadow* CGameResource::CreateEnemyShadow(int32_t index, int32_t x, int32_t y, int32_t delay) {
    return Place<CObjectEnemyShadow>(*this, Record(kinds.objects[1], index), x, y, delay);
}

CObjectCrystal* CGameResource::CreateCrystal(int32_t x, int32_t y) {
    // A data set without the crystal gets none.
    const int32_t index = FindName(kinds.objectNames[1], "クリスタル");
    return Place<CObjectCrystal>(*this, Record(kinds.objects[1], index), x, y);
}

CObjectItem* CGameResource::CreateItem(int32_t index, int32_t x, int32_t y) {
    return Place<CObjectItem>(*this, Record(kinds.objects[4], index), x, y);
}

CObjectShot* CGameResource::CreateShot(int32_t index, int32_t x, int32_t y, int32_t delay) {
    return Place<CObjectShot>(*this, Record(kinds.objects[2], index), x, y, delay);
}

CObjectShotShadow* CGameResource::CreateShotShadow(int32_t index, int32_t x, int32_t y) {
    return Place<CObjectShotShadow>(*this, Record(kinds.objects[2], index), x, y);
}

CObjectReflect* CGameResource::CreateReflect(const SObjectKind* kind, int32_t x, int32_t y) {
    return Place<CObjectReflect>(*this, kind, x, y);
}

CObjectBlock* CGameResource::CreateBlockByName(const VTLstring& name, int32_t x, int32_t y, int32_t delay) {
    return CreateBlock(FindName(kinds.objectNames[3], name), x, y, delay);
}

CObjectBlock* CGameResource::CreateBlock(int32_t index, int32_t x, int32_t y, int32_t delay) {
    return Place<CObjectBlock>(*this, Record(kinds.objects[3], index), x, y, delay);
}

CObjectBlockShadow* CGameResource::CreateBlockShadow(int32_t index, int32_t x, int32_t y) {
    return Place<CObjectBlockShadow>(*this, Record(kinds.objects[3], index), x, y);
}

CObjectLand* CGameResource::CreateLand(int32_t index, int32_t x, int32_t y) {
    CObjectLand* land = Place<CObjectLand>(*this, Record(kinds.objects[5], index), x, y);
    if (land != nullptr) land->verticalContact = 1;
    return land;
}

CObjectPudding* CGameResource::CreatePudding(int32_t index, int32_t x, int32_t y) {
    return Place<CObjectPudding>(*this, Record(kinds.objects[5], index), x, y);
}

CObjectJelly* CGameResource::CreateJelly(int32_t x, int32_t y) {
    const int32_t index = FindName(kinds.objectNames[5], "ゼリー");
    return Place<CObjectJelly>(*this, Record(kinds.objects[5], index), x, y);
}

CObjectEffect* CGameResource::CreateEffect(int32_t id, int32_t lifetime, double x, double y) {
    return PlaceEffect<CObjectEffect>(effects, Record(kinds.effects, id), lifetime, x, y);
}

CObjectEffect* CGameResource::CreateBackEffect(int32_t id, int32_t lifetime, double x, double y) {
    return PlaceEffect<CObjectEffect>(backEffects, Record(kinds.effects, id), lifetime, x, y, false);
}

CObjectENumber* CGameResource::CreateScoreNumber(double x, double y) {
    return PlaceEffect<CObjectENumber>(effects, Record(kinds.effects, 6), 48, x, y, false);
}

CObjectCutin* CGameResource::CreateCutin(int32_t index, int32_t x, int32_t y, int32_t lifetime, int32_t startDelay) {
    CObjectCutin* cutin = PlaceEffect<CObjectCutin>(cutins, Record(kinds.cutins, index), lifetime, x, y);
    if (cutin != nullptr) cutin->startDelay = static_cast<int16_t>(startDelay);
    return cutin;
}

CObjectFont* CGameResource::CreateFont(int32_t lifetime, double x, double y) {
    if (textKind.empty()) textKind.emplace_back();
    textKind[0].priority = 12;
    return PlaceEffect<CObjectFont>(effects, &textKind[0], lifetime, x, y);
}

CObjectEffectLand* CGameResource::CreateEffectLandByName(const VTLstring& name, int32_t lifetime, double x, double y) {
    return CreateEffectLand(FindName(kinds.effectNames, name), lifetime, x, y);
}

CObjectEffectLand* CGameResource::CreateEffectLand(int32_t id, int32_t lifetime, double x, double y) {
    return PlaceEffect<CObjectEffectLand>(landEffects, Record(kinds.effects, id), lifetime, x, y);
}

CObjectEffectLandShadow* CGameResource::CreateEffectLandShadow(int32_t id, int32_t lifetime, double x, double y) {
    return PlaceEffect<CObjectEffectLandShadow>(landEffects, Record(kinds.effects, id), lifetime, x, y);
}

CObjectEffect* CGameResource::CreateFrontEffect(int32_t id, int32_t lifetime, double x, double y) {
    return PlaceEffect<CObjectEffect>(frontEffects, Record(kinds.effects, id), lifetime, x, y);
}

#include "game/objects/object_base.h"

// The object classes bring their own drawing and per-frame step; an object without them is
// neither drawn nor stepped.
void CObjectBase::Draw(tovarineGameSDK3rd::Draw::ISurface*) {}
void CObjectBase::Update(CGameResource&) {}

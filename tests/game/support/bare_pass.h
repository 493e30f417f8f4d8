// Test support: the objects' frame without collisions, for tests and the stage's fuzz
// target. Each object runs its update, then the motion step, gravity, the move by its
// velocity and friction, then takes its screen place; an object in state 1 leaves its list
// after its update, as the in-game frame's passes do.
#pragma once

#include <iterator>

#include "game/play/game_resource.h"

namespace morna::test {

// False when the update removed the object: it then neither moves nor is placed.
inline bool BarePass(CGameResource& game, CObjectBase& object) {
    object.Update(game);
    if (object.state == kStateRemove) return false;
    object.motion.Step();
    object.ApplyGravity(game);
    object.Move();
    object.motion.ApplyFriction();
    object.UpdateScreenPosition(game);
    return true;
}

// frames bare passes over the object list, in list order.
inline void RunBareFrames(CGameResource& game, int frames) {
    for (int f = 0; f < frames; ++f) {
        for (auto it = game.objects.begin(); it != game.objects.end();) {
            it = BarePass(game, **it) ? std::next(it) : game.objects.erase(it);
        }
    }
}

}  // namespace morna::test

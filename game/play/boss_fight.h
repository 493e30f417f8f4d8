#pragma once
// Shared by the boss-fight helpers and the boss part layout: the tests they make on points and
// the boss vector's elements.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/play/game_resource.h"

// left <= x < right and top <= y < bottom.
bool IsPointInRect(int32_t x, int32_t y, const tovarineGameSDK3rd::Draw::Rect& rect);

// Element i of a boss vector as the enemy-family object every boss element is; null beyond the
// vector, for an empty holder, or for an object of another family.
CObjectEnemy* BossElement(const std::vector<CGameResource::ObjectPtr>& elements, size_t i);

// A fade over length frames that starts after delay frames (below 1: at once), not repeated.
void StartFade(IObjectDraw& o, int32_t length, int32_t delay);

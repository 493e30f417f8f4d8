#include "game/game_resource.h"

void CGameResource::Draw(tovarineGameSDK3rd::Draw::ISurface* surface) {
    surface->SetFillColor(0);
    surface->Clear(nullptr);
}

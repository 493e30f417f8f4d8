#pragma once
// The game's sound effects and music tracks played by their ids (game/ids.h), the numbers of
// data\se\list.txt and data\music\list.txt.
#include <cstdint>

#include "framework/bgm_player.h"
#include "framework/sound_list.h"
#include "game/ids.h"

inline void PlaySe(Se id, bool loop = false) { KestraneGameBase2::GetSEList()->Play(static_cast<int32_t>(id), loop); }
inline void StopSe(Se id) { KestraneGameBase2::GetSEList()->Stop(static_cast<int32_t>(id)); }
inline void PlayMusic(Music track, int32_t fadeFrames) {
    KestraneGameBase2::GetBGMPlayer()->Play(static_cast<int32_t>(track), fadeFrames);
}

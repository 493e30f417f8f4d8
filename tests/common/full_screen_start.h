#pragma once
// A game folder's save/system.cfg that starts the game in full screen, as a run that ended in full
// screen leaves it.
#include <filesystem>
#include <string>

#include "framework/config.h"
#include "platform/file_system.h"
#include "tests/common/game_process.h"

namespace morna::test {

// Writes it into the folder's save/ (made where missing); false when it could not be written.
inline bool SaveFullScreenStart(const GameFolder& game) {
    std::string name;
    if (!platform::NameFromSystemPath(game / "save/system.cfg", name)) return false;
    std::filesystem::create_directories(game / "save");
    KestraneGameBase2::SSystemConfig system;
    system.fileName = name.c_str();
    system.fullScreen = true;
    system.width = 640;
    system.height = 480;
    return !system.Save();
}

}  // namespace morna::test

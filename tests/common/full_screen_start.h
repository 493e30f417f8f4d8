#pragma once
// A game folder's save/system.cfg that starts the game in full screen, as a run that ended in full
// screen leaves it.
#include <filesystem>
#include <string>

#include "framework/config.h"
#include "platform/file_system.h"

namespace morna::test {

// Writes it into `folder`'s save/ (made where missing); false when it could not be written.
inline bool SaveFullScreenStart(const std::filesystem::path& folder) {
    std::string name;
    if (!platform::NameFromSystemPath((folder / "save/system.cfg").string(), name)) return false;
    std::error_code e;
    std::filesystem::create_directories(folder / "save", e);
    KestraneGameBase2::SSystemConfig system;
    system.fileName = name.c_str();
    system.fullScreen = true;
    system.width = 640;
    system.height = 480;
    return !e && !system.Save();
}

}  // namespace morna::test

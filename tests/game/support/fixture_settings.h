// Test support for the game: the settings record that the game's text and popups read, and the
// window host's dropped files, in place of the application for a play state given it.
#pragma once

#include <vector>

#include "game/files/global_config.h"
#include "game/widgets/message_window.h"

namespace morna::test {

// The host of a play state (CGameResource::SetHost): its settings record, drops and dialog requests.
class FixtureSettings : public IWindowHost {
public:
    FixtureSettings() = default;
    FixtureSettings(const FixtureSettings&) = delete;
    FixtureSettings& operator=(const FixtureSettings&) = delete;

    const SGlobalConfig& Config() override { return config; }
    bool ScreenChanged() override { return false; }
    std::vector<tovarineGameSDK3rd::VTL::VTLstring>* DroppedFiles() override { return &dropped; }
    void AcceptDrops(bool accept) override { acceptsDrops = accept; }
    SGlobalConfig* EditableConfig() override { return &config; }
    void OpenSettings() override { ++settingsOpened; }
    SGlobalConfig config;
    std::vector<tovarineGameSDK3rd::VTL::VTLstring> dropped;
    bool acceptsDrops = false;
    int settingsOpened = 0;
};

}  // namespace morna::test

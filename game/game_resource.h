#pragma once
// The play state as the main loop sees it: the scene machine steps once a frame
// with the frame's keys, draws onto the back plane, pauses, resets, and asks
// the program to end. The scenes fill this in; until then it shows black.
#include <cstdint>

#include "draw/surface.h"
#include "foundation/vtl/smart_ptr.h"
#include "framework/key_control.h"

class CKeyControl;

class CGameResource {
public:
    explicit CGameResource(const tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl>& keys) : keys_(keys) {}
    virtual ~CGameResource() = default;

    // Scene 0 is the title.
    virtual void SetMode(int32_t mode) { mode_ = mode; }
    virtual void UpdateScene(KestraneGameBase2::SKey& key) { (void)key; }
    // Opens the pause menu when a game is being played.
    virtual void Pause() {}
    virtual void ResetGame() {}
    virtual void Draw(tovarineGameSDK3rd::Draw::ISurface* surface);

    // Set by the title menu's exit entry; the loop ends right after the scene step.
    bool IsExitRequested() const { return exitRequest_; }
    void RequestExit() { exitRequest_ = true; }
    int32_t GetMode() const { return mode_; }

protected:
    tovarineGameSDK3rd::VTL::smart_ptr<CKeyControl> keys_;
    int32_t mode_ = 0;
    bool exitRequest_ = false;
};

#pragma once
// The base of every input device: two arrays of 256 states, the current poll
// and the one before, so that both "held now" and "newly pressed" can be asked.
#include <cstdint>

namespace tovarineGameSDK3rd::Input {

class IKeyBase {
public:
    static constexpr int kKeyCount = 256;

    IKeyBase();

    // Polls the device once (one call per frame). 0 success, non-zero failure.
    virtual int32_t Input() = 0;
    // Key codes outside 0..255 are never pressed.
    virtual bool IsKeyPress(int key);
    virtual bool IsKeyPush(int key);
    // The current 256 states.
    virtual const uint8_t* GetKeyBuffer();
    virtual ~IKeyBase();
    // Zeroes both polls: every key held at the next poll reads as newly pushed.
    virtual void ResetKey();

protected:
    static bool IsKeyIndex(int key) { return key >= 0 && key < kKeyCount; }
    uint8_t* CurrentStates() { return keyStates_[bufferIndex_]; }
    uint8_t* PreviousStates() { return keyStates_[bufferIndex_ ^ 1u]; }
    // The previous poll becomes the current array's neighbour; the array that
    // becomes current still holds the poll before that.
    void FlipBuffer() { bufferIndex_ ^= 1u; }

    uint32_t bufferIndex_;
    uint8_t keyStates_[2][kKeyCount];
};

// A joystick: states 0 up, 1 down, 2 left, 3 right, then button i at 4 + i.
class IJoyStick : public IKeyBase {
public:
    static constexpr int kStateUp = 0;
    static constexpr int kStateDown = 1;
    static constexpr int kStateLeft = 2;
    static constexpr int kStateRight = 3;
    static constexpr int kStateFirstButton = 4;
    // As many buttons as there are states behind the four directions.
    static constexpr int kMaxButtons = kKeyCount - kStateFirstButton;

    virtual int32_t SelectDevice(int32_t id) = 0;
    virtual int32_t SetButtonCount(int32_t count) = 0;
    virtual int32_t GetButtonCount() = 0;
    virtual bool IsReady() = 0;
};

}  // namespace tovarineGameSDK3rd::Input

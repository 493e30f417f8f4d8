#include "foundation/input/key_base.h"

#include <cstring>

namespace tovarineGameSDK3rd::Input {

IKeyBase::IKeyBase() : bufferIndex_(0) { std::memset(keyStates_, 0, sizeof keyStates_); }

IKeyBase::~IKeyBase() {}

bool IKeyBase::IsKeyPress(int key) { return IsKeyIndex(key) && CurrentStates()[key] != 0; }

bool IKeyBase::IsKeyPush(int key) {
    return IsKeyIndex(key) && CurrentStates()[key] != 0 && PreviousStates()[key] == 0;
}

const uint8_t* IKeyBase::GetKeyBuffer() { return CurrentStates(); }

void IKeyBase::ResetKey() { std::memset(keyStates_, 0, sizeof keyStates_); }

}  // namespace tovarineGameSDK3rd::Input

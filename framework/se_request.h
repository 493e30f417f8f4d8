#pragma once
// Sound effects requested by id: through the sound-effect list, or, while one is installed,
// through a sink (tests of the game's logic record the requests with one).
#include <cstdint>

namespace KestraneGameBase2 {

class ISERequestSink {
public:
    virtual int32_t Play(int32_t id, bool loop) = 0;

protected:
    ~ISERequestSink() = default;
};

// Plays effect id (looped or once): CSEList::Play's answer, or the sink's.
int32_t PlaySE(int32_t id, bool loop = false);
// Installs a sink (null: none); answers the one it replaces. Application thread only.
ISERequestSink* SetSERequestSink(ISERequestSink* sink);

}  // namespace KestraneGameBase2

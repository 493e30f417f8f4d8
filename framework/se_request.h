#pragma once
// Sound effects requested by id. The sound-effect list is not built yet: a request reaches only
// an installed sink (tests record through one) and otherwise plays nothing and answers -1.
#include <cstdint>

namespace KestraneGameBase2 {

class ISERequestSink {
public:
    virtual int32_t Play(int32_t id, bool loop) = 0;

protected:
    ~ISERequestSink() = default;
};

// Plays effect id (looped or once): the sink's answer, -1 when nothing can play it.
int32_t PlaySE(int32_t id, bool loop = false);
// Installs a sink (null: none); answers the one it replaces. Application thread only.
ISERequestSink* SetSERequestSink(ISERequestSink* sink);

}  // namespace KestraneGameBase2

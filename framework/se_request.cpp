#include "framework/se_request.h"

namespace KestraneGameBase2 {
namespace {
ISERequestSink* gSink = nullptr;
}

int32_t PlaySE(int32_t id, bool loop) { return gSink ? gSink->Play(id, loop) : -1; }

ISERequestSink* SetSERequestSink(ISERequestSink* sink) {
    ISERequestSink* old = gSink;
    gSink = sink;
    return old;
}

}  // namespace KestraneGameBase2

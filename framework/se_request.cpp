#include "framework/se_request.h"

#include "framework/sound_list.h"

namespace KestraneGameBase2 {
namespace {
ISERequestSink* gSink = nullptr;
}

int32_t PlaySE(int32_t id, bool loop) { return gSink ? gSink->Play(id, loop) : GetSEList()->Play(id, loop); }

ISERequestSink* SetSERequestSink(ISERequestSink* sink) {
    ISERequestSink* old = gSink;
    gSink = sink;
    return old;
}

}  // namespace KestraneGameBase2

// Reads arbitrary bytes as a definition list, numbered and not, through a
// memory name, then loads and erases a few of the ids it defined; and as the
// music's loop points, each of which must end after it starts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "framework/bgm_player.h"
#include "sound/load_cache.h"

using namespace tovarineGameSDK3rd;

namespace {

class Cache : public Auxiliary::CLoadCache {
public:
    int32_t Defined() const { return static_cast<int32_t>(definitions_.size()); }
    int32_t FirstId() const { return definitions_.empty() ? 0 : definitions_.begin()->first; }

protected:
    int32_t CreateEntry(VTL::smart_ptr<Auxiliary::CLoadCacheInfo>& entry) override {
        if (entry->fileName.size() > 255) std::abort();  // a line's name fits the line buffer
        return 0;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char name[64];
    std::snprintf(name, sizeof name, "!%llx,%zx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)), size);
    for (bool numbered : {true, false}) {
        Cache cache;
        cache.SetStaleListener(VTL::smart_ptr<Auxiliary::ICacheStaleListener>(new Auxiliary::CDefaultCacheStaleListener(1)));
        const int32_t r = cache.Set(name, numbered);
        if (r != 0 && r != 2 && !(r == 1 && size == 0)) std::abort();
        const int32_t first = cache.FirstId();
        const int32_t next = static_cast<int32_t>(static_cast<uint32_t>(first) + 1u);  // a list may end at INT32_MAX
        for (int32_t id : {first, next, 0, first, -1}) cache.Load(id);
        if (cache.GetCount() > 5) std::abort();
        cache.Erase(first);
    }
    KestraneGameBase2::LoopPoints loops;
    if (!KestraneGameBase2::ReadLoopPoints(name, loops) && size > 0) std::abort();
    for (const auto& [track, points] : loops) {
        if (points.second <= points.first) std::abort();
    }
    return 0;
}

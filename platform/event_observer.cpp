#include "platform/event_observer.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace morna::platform {
namespace {

struct Entry {
    EventObserver observer;
    void* context;
};

// Recursive, and held while observers run: a removal from another thread waits
// for the running call, a removal from inside a call (same thread) goes through.
struct Registry {
    std::recursive_mutex lock;
    std::vector<Entry> entries;
    int depth = 0;         // nesting of NotifyEventObservers on the lock's owner
    bool removed = false;  // entries blanked while iterating, compacted after
};

Registry& GetRegistry() {
    static Registry* registry = new Registry;  // outlives every thread's last event
    return *registry;
}

}  // namespace

void AddEventObserver(EventObserver observer, void* context) {
    if (observer == nullptr) return;
    Registry& r = GetRegistry();
    std::lock_guard<std::recursive_mutex> guard(r.lock);
    r.entries.push_back({observer, context});
}

void RemoveEventObserver(EventObserver observer, void* context) {
    Registry& r = GetRegistry();
    std::lock_guard<std::recursive_mutex> guard(r.lock);
    for (Entry& e : r.entries) {
        if (e.observer == observer && e.context == context) {
            e.observer = nullptr;
            r.removed = true;
        }
    }
    if (r.depth == 0 && r.removed) {
        std::erase_if(r.entries, [](const Entry& e) { return e.observer == nullptr; });
        r.removed = false;
    }
}

void NotifyEventObservers(const SDL_Event& event) {
    Registry& r = GetRegistry();
    std::lock_guard<std::recursive_mutex> guard(r.lock);
    ++r.depth;
    // By index: an observer may add entries while we walk (they are called too).
    for (size_t i = 0; i < r.entries.size(); ++i) {
        Entry e = r.entries[i];
        if (e.observer != nullptr) e.observer(event, e.context);
    }
    if (--r.depth == 0 && r.removed) {
        std::erase_if(r.entries, [](const Entry& e) { return e.observer == nullptr; });
        r.removed = false;
    }
}

}  // namespace morna::platform

#include "platform/event_observer.h"

#include <gtest/gtest.h>

#include <vector>

namespace mp = morna::platform;

namespace {

struct Recorder {
    std::vector<uint32_t> types;
    bool removeSelf = false;
};

void Record(const SDL_Event& event, void* context) {
    auto* r = static_cast<Recorder*>(context);
    r->types.push_back(event.type);
    if (r->removeSelf) mp::RemoveEventObserver(&Record, context);
}

SDL_Event MakeEvent(uint32_t type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

}  // namespace

TEST(EventObserver, CallsEachPairInOrderUntilRemoved) {
    Recorder a, b;
    mp::AddEventObserver(&Record, &a);
    mp::AddEventObserver(&Record, &b);
    mp::AddEventObserver(&Record, &a);  // twice: called twice
    mp::NotifyEventObservers(MakeEvent(SDL_KEYDOWN));
    EXPECT_EQ(a.types, (std::vector<uint32_t>{SDL_KEYDOWN, SDL_KEYDOWN}));
    EXPECT_EQ(b.types, (std::vector<uint32_t>{SDL_KEYDOWN}));

    mp::RemoveEventObserver(&Record, &a);  // removes both entries of the pair
    mp::NotifyEventObservers(MakeEvent(SDL_KEYUP));
    EXPECT_EQ(a.types.size(), 2u);
    EXPECT_EQ(b.types.back(), static_cast<uint32_t>(SDL_KEYUP));
    mp::RemoveEventObserver(&Record, &b);
}

TEST(EventObserver, ObserverMayRemoveItselfWhileCalled) {
    Recorder once, always;
    once.removeSelf = true;
    mp::AddEventObserver(&Record, &once);
    mp::AddEventObserver(&Record, &always);
    mp::NotifyEventObservers(MakeEvent(SDL_KEYDOWN));
    mp::NotifyEventObservers(MakeEvent(SDL_KEYUP));
    EXPECT_EQ(once.types, (std::vector<uint32_t>{SDL_KEYDOWN}));
    EXPECT_EQ(always.types, (std::vector<uint32_t>{SDL_KEYDOWN, SDL_KEYUP}));
    mp::RemoveEventObserver(&Record, &always);
}

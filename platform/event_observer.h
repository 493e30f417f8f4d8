#pragma once
// Observers of the raw SDL events that the window pump takes off SDL's queue.
// The pump (platform/window.cpp) hands every event to every observer, in the
// order they were added, on the thread that owns SDL video, before it turns the
// event into a window message. The keyboard state is kept this way.
#include <SDL2/SDL_events.h>

namespace morna::platform {

using EventObserver = void (*)(const SDL_Event& event, void* context);

// Adds the pair (observer, context); the same pair added twice is called twice.
void AddEventObserver(EventObserver observer, void* context);
// Removes every entry of the pair. Once it returns, the pair is not called
// again (a call running on another thread is waited for); an observer may
// remove itself or others from inside its call.
void RemoveEventObserver(EventObserver observer, void* context);

// Calls every observer with the event. Used by the pump; tests call it too.
void NotifyEventObservers(const SDL_Event& event);

}  // namespace morna::platform

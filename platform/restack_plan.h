#pragma once
// The restacks that put our windows back where they stood in the window manager's stacking after
// it moved them: pure planning, asked of the manager by the window layer (x11_window.h).
#include <vector>

namespace morna::platform::x11 {

// A restack the manager is asked for: `window` just above or below `sibling`.
struct Restack {
    unsigned long window = 0, sibling = 0;
    bool above = false;
    bool operator==(const Restack&) const = default;
};
// The restacks that put each of `ours` (bottom first as `before` has them) back in the order of
// `before` among the windows of `after` that both list, each the least move: just below the lowest
// window now under it that stood above it, or else just above the highest now over it that stood
// below it. None where the order is kept: what the player stacked since is left alone.
std::vector<Restack> PlanRestacks(const std::vector<unsigned long>& before, const std::vector<unsigned long>& after,
                                  const std::vector<unsigned long>& ours);

}  // namespace morna::platform::x11

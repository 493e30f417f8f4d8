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
// The restacks, asked in order, that put each of `ours` back in the order of `before` (bottom
// first) among the windows of `after` that both list; the others are never moved. Each that
// moves, bottom first, goes just below the lowest window now under it that stood above it, or else
// just above the highest now over it that stood below it, never raised past one that stood above
// it, measured against the others and ours already put back. Where the others kept their order,
// the requests are the fewest there are (a manager that takes a sibling as a plain raise makes each
// a raise): the most of ours that stand in their old order among themselves and the others stay
// and count too, the highest of them on a tie, so that the rest are lowered rather than raised.
// None where ours kept their order: what the player stacked since is left alone. Windows on one
// side only name none.
std::vector<Restack> PlanRestacks(const std::vector<unsigned long>& before, const std::vector<unsigned long>& after,
                                  const std::vector<unsigned long>& ours);

}  // namespace morna::platform::x11

#include "platform/restack_plan.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace morna::platform::x11 {

std::vector<Restack> PlanRestacks(const std::vector<unsigned long>& before, const std::vector<unsigned long>& after,
                                  const std::vector<unsigned long>& ours) {
    const auto indexIn = [](const std::vector<unsigned long>& list, unsigned long w) {
        return static_cast<size_t>(std::find(list.begin(), list.end(), w) - list.begin());
    };
    std::vector<unsigned long> now;  // the stacking as the requests so far leave it, of windows both list
    std::copy_if(after.begin(), after.end(), std::back_inserter(now),
                 [&](unsigned long w) { return indexIn(before, w) < before.size(); });
    std::vector<unsigned long> order;  // ours, bottom first as they stood
    std::copy_if(before.begin(), before.end(), std::back_inserter(order),
                 [&](unsigned long w) { return std::find(ours.begin(), ours.end(), w) != ours.end(); });
    std::vector<Restack> plan;
    for (size_t k = 0; k < order.size(); ++k) {
        const unsigned long w = order[k];
        const size_t was = indexIn(before, w), at = indexIn(now, w);
        if (at == now.size()) continue;
        // Measured against the others and ours already put back, never against one still to move.
        const auto counts = [&](unsigned long v) { return std::find(order.begin() + k, order.end(), v) == order.end(); };
        // The lowest window now under it that stood above it, or else the highest now over it that
        // stood below.
        size_t target = now.size();
        for (size_t i = 0; i < at && target == now.size(); ++i)
            if (counts(now[i]) && indexIn(before, now[i]) > was) target = i;
        // Upward only as far as the first window that stood above it: a raise never passes one.
        const bool above = target == now.size();
        for (size_t i = at + 1; above && i < now.size(); ++i) {
            if (!counts(now[i])) continue;
            if (indexIn(before, now[i]) > was) break;
            target = i;
        }
        if (target == now.size()) continue;
        const unsigned long sibling = now[target];
        plan.push_back({w, sibling, above});
        now.erase(now.begin() + static_cast<std::ptrdiff_t>(at));
        now.insert(now.begin() + static_cast<std::ptrdiff_t>(indexIn(now, sibling) + (above ? 1 : 0)), w);
    }
    return plan;
}

}  // namespace morna::platform::x11

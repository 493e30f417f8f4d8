#include "platform/restack_plan.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace morna::platform::x11 {
namespace {

using Windows = std::vector<unsigned long>;

size_t IndexIn(const Windows& list, unsigned long w) {
    return static_cast<size_t>(std::find(list.begin(), list.end(), w) - list.begin());
}

bool Lists(const Windows& list, unsigned long w) { return std::find(list.begin(), list.end(), w) != list.end(); }

// Which of ours (`order`, as `was` has them) stay where they are, where the others kept their order:
// a window not asked for keeps its place among the others and the rest not asked for, so the fewest
// requests leave the most of ours in their old order against the others and among themselves (a
// longest run of them in their old order now), and ask for the rest. `was` and `now` list the same
// windows.
std::vector<bool> Staying(const Windows& was, const Windows& now, const Windows& order) {
    const auto keepsOrder = [&](unsigned long a, unsigned long b) {
        return (IndexIn(was, a) < IndexIn(was, b)) == (IndexIn(now, a) < IndexIn(now, b));
    };
    // run[k]: the longest run of ours that may stay ending at order[k]; 0 where it must move, out of
    // its old order against another window.
    std::vector<size_t> run(order.size(), 0);
    for (size_t k = 0; k < order.size(); ++k) {
        const auto fits = [&](unsigned long w) { return Lists(order, w) || keepsOrder(w, order[k]); };
        if (!std::all_of(was.begin(), was.end(), fits)) continue;
        run[k] = 1;
        for (size_t j = 0; j < k; ++j)
            if (run[j] > 0 && keepsOrder(order[j], order[k])) run[k] = std::max(run[k], run[j] + 1);
    }
    // The run taken from the top, the highest window at each step, so that on a tie the rest are
    // lowered rather than raised.
    std::vector<bool> stays(order.size(), false);
    size_t length = run.empty() ? 0 : *std::max_element(run.begin(), run.end()), kept = order.size();
    for (size_t k = order.size(); k-- > 0 && length > 0;) {
        if (run[k] != length || (kept < order.size() && !keepsOrder(order[k], order[kept]))) continue;
        stays[k] = true;
        kept = k;
        --length;
    }
    return stays;
}

}  // namespace

std::vector<Restack> PlanRestacks(const Windows& before, const Windows& after, const Windows& ours) {
    Windows was, now;  // the stacking before and as the requests so far leave it, of the windows both list
    std::copy_if(before.begin(), before.end(), std::back_inserter(was),
                 [&](unsigned long w) { return Lists(after, w); });
    std::copy_if(after.begin(), after.end(), std::back_inserter(now),
                 [&](unsigned long w) { return Lists(before, w); });
    Windows order;  // ours, bottom first as they stood
    std::copy_if(was.begin(), was.end(), std::back_inserter(order), [&](unsigned long w) { return Lists(ours, w); });
    const auto others = [&](Windows list) {
        std::erase_if(list, [&](unsigned long w) { return Lists(ours, w); });
        return list;
    };
    const std::vector<bool> stays =
        others(was) == others(now) ? Staying(was, now, order) : std::vector<bool>(order.size(), false);
    std::vector<Restack> plan;
    for (size_t k = 0; k < order.size(); ++k) {
        if (stays[k]) continue;
        const unsigned long w = order[k];
        const size_t stood = IndexIn(was, w), at = IndexIn(now, w);
        // Measured against the others, ours that stay and ours already put back, never against one
        // still to move.
        const auto counts = [&](unsigned long v) {
            const auto it = std::find(order.begin() + static_cast<std::ptrdiff_t>(k), order.end(), v);
            return it == order.end() || stays[static_cast<size_t>(it - order.begin())];
        };
        // The lowest window now under it that stood above it, or else the highest now over it that
        // stood below.
        size_t target = now.size();
        for (size_t i = 0; i < at && target == now.size(); ++i)
            if (counts(now[i]) && IndexIn(was, now[i]) > stood) target = i;
        // Upward only as far as the first window that stood above it: a raise never passes one.
        const bool above = target == now.size();
        for (size_t i = at + 1; above && i < now.size(); ++i) {
            if (!counts(now[i])) continue;
            if (IndexIn(was, now[i]) > stood) break;
            target = i;
        }
        if (target == now.size()) continue;
        const unsigned long sibling = now[target];
        plan.push_back({w, sibling, above});
        now.erase(now.begin() + static_cast<std::ptrdiff_t>(at));
        now.insert(now.begin() + static_cast<std::ptrdiff_t>(IndexIn(now, sibling) + (above ? 1 : 0)), w);
    }
    return plan;
}

}  // namespace morna::platform::x11

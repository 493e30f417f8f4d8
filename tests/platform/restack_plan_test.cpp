#include "platform/restack_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mp = morna::platform;

namespace {

using Windows = std::vector<unsigned long>;

// A manager that takes each restack as asked: the window just below or above its sibling.
Windows Apply(Windows now, const std::vector<mp::x11::Restack>& plan) {
    for (const auto& r : plan) {
        std::erase(now, r.window);
        const auto at = std::find(now.begin(), now.end(), r.sibling);
        if (at == now.end()) return {};
        now.insert(r.above ? at + 1 : at, r.window);
    }
    return now;
}

// The fewest restacks of `ours` that lead from each stacking they reach to `to`: a breadth-first
// search from `to`, since a restack is undone by another of the same window.
std::map<Windows, size_t> FewestRestacks(const Windows& to, const Windows& ours) {
    std::map<Windows, size_t> fewest{{to, 0}};
    std::deque<Windows> queue{to};
    for (; !queue.empty(); queue.pop_front()) {
        const size_t next = fewest.at(queue.front()) + 1;
        for (const unsigned long w : ours)
            for (const unsigned long sibling : queue.front())
                for (const bool above : {false, true})
                    if (sibling != w) {
                        Windows reached = Apply(queue.front(), {{w, sibling, above}});
                        if (fewest.emplace(reached, next).second) queue.push_back(std::move(reached));
                    }
    }
    return fewest;
}

}  // namespace

// The restacks that keep our windows' place after the manager moved them, against the manager that
// takes each as asked, from every order of six windows, ours a window with one or two dialogs
// wherever they stood: the others are never moved, ours never raised past a window that stood above
// them before and after, and nothing is asked where ours kept their order; where the others kept
// theirs, ours end where they stood in the fewest restacks there are. Windows on one side only are
// left out.
TEST(X11Stacking, RestacksPutOursBackAmongTheOthersAndNothingMore) {
    const Windows before = {1, 2, 3, 4, 5, 6};  // bottom to top
    const auto above = [](const Windows& list, unsigned long a, unsigned long b) {
        return std::find(list.begin(), list.end(), a) > std::find(list.begin(), list.end(), b);
    };
    for (unsigned placement = 0; placement < 1u << before.size(); ++placement) {
        if (std::popcount(placement) != 2 && std::popcount(placement) != 3) continue;
        Windows ours;
        for (size_t i = 0; i < before.size(); ++i)
            if (placement >> i & 1) ours.push_back(before[i]);
        const auto isOurs = [&](unsigned long w) { return std::find(ours.begin(), ours.end(), w) != ours.end(); };
        const auto others = [&](Windows list) {
            std::erase_if(list, isOurs);
            return list;
        };
        const auto ourOrder = [&](const Windows& list) {  // each of ours against each window
            std::vector<std::pair<unsigned long, unsigned long>> pairs;
            for (size_t i = 0; i < list.size(); ++i)
                for (size_t j = i + 1; j < list.size(); ++j)
                    if (isOurs(list[i]) || isOurs(list[j])) pairs.emplace_back(list[i], list[j]);
            std::sort(pairs.begin(), pairs.end());
            return pairs;
        };
        const auto fewest = FewestRestacks(before, ours);
        Windows after = before;
        do {
            const std::string where = testing::PrintToString(ours) + " " + testing::PrintToString(after);
            const auto plan = mp::x11::PlanRestacks(before, after, ours);
            const auto result = Apply(after, plan);
            EXPECT_EQ(others(result), others(after)) << where;
            for (const unsigned long w : ours)
                for (const unsigned long x : others(before))
                    EXPECT_TRUE(!above(before, x, w) || !above(after, x, w) || above(result, x, w)) << where << " " << x;
            EXPECT_TRUE(plan.empty() || ourOrder(after) != ourOrder(before)) << where;
            if (others(after) == others(before)) {
                EXPECT_EQ(result, before) << where;
                const auto least = fewest.find(after);
                ASSERT_NE(least, fewest.end()) << where;
                EXPECT_EQ(plan.size(), least->second) << where;
            } else {
                EXPECT_LE(plan.size(), ours.size()) << where;
            }
        } while (std::next_permutation(after.begin(), after.end()));
    }
    // The manager's raise of a window leaving full screen with its dialog over the program in use (5);
    // a window that came meanwhile (9) and one that went (3) name no restack.
    EXPECT_EQ(mp::x11::PlanRestacks({1, 2, 3, 4, 5}, {1, 5, 9, 2, 4}, {2, 4}),
              (std::vector<mp::x11::Restack>{{2, 5, false}, {4, 5, false}}));
    // The window raised alone over its dialog and the program in use (4): put back under the dialog.
    EXPECT_EQ(mp::x11::PlanRestacks({1, 2, 3, 4}, {1, 3, 4, 2}, {2, 3}), (std::vector<mp::x11::Restack>{{2, 3, false}}));
    // Raised over its dialog alone, under the program in use: lowered, not the dialog raised.
    EXPECT_EQ(mp::x11::PlanRestacks({1, 2, 3, 4}, {1, 3, 2, 4}, {2, 3}), (std::vector<mp::x11::Restack>{{2, 3, false}}));
}

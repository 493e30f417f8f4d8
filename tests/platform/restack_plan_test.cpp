#include "platform/restack_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace mp = morna::platform;

// The restacks that keep our windows' place after the manager moved them, against a model of a
// manager that takes each as asked (just below or above the sibling), from every order of five
// windows, ours a window and its dialog apart or side by side: the others are never moved, ours
// never raised past a window that stood above them before and after; where the others kept their
// order, ours end where they stood among them, and nothing is asked where ours kept theirs.
// Windows on one side only are left out.
TEST(X11Stacking, RestacksPutOursBackAmongTheOthersAndNothingMore) {
    const auto apply = [](std::vector<unsigned long> now, const std::vector<mp::x11::Restack>& plan) {
        for (const auto& r : plan) {
            std::erase(now, r.window);
            const auto at = std::find(now.begin(), now.end(), r.sibling);
            if (at == now.end()) return std::vector<unsigned long>{};
            now.insert(r.above ? at + 1 : at, r.window);
        }
        return now;
    };
    const auto above = [](const std::vector<unsigned long>& list, unsigned long a, unsigned long b) {
        return std::find(list.begin(), list.end(), a) > std::find(list.begin(), list.end(), b);
    };
    for (const std::vector<unsigned long>& ours : {std::vector<unsigned long>{2, 4}, std::vector<unsigned long>{2, 3}}) {
        const auto isOurs = [&](unsigned long w) { return std::find(ours.begin(), ours.end(), w) != ours.end(); };
        const auto ourOrder = [&](const std::vector<unsigned long>& list) {  // each of ours against each window
            std::vector<std::pair<unsigned long, unsigned long>> pairs;
            for (size_t i = 0; i < list.size(); ++i)
                for (size_t j = i + 1; j < list.size(); ++j)
                    if (isOurs(list[i]) || isOurs(list[j])) pairs.emplace_back(list[i], list[j]);
            std::sort(pairs.begin(), pairs.end());
            return pairs;
        };
        const auto others = [&](std::vector<unsigned long> list) {
            std::erase_if(list, isOurs);
            return list;
        };
        const std::vector<unsigned long> before = {1, 2, 3, 4, 5};  // bottom to top
        std::vector<unsigned long> after = before;
        int moved = 0;
        do {
            const std::string where = testing::PrintToString(ours) + " " + testing::PrintToString(after);
            const auto plan = mp::x11::PlanRestacks(before, after, ours);
            const auto result = apply(after, plan);
            EXPECT_EQ(others(result), others(after)) << where;
            EXPECT_LE(plan.size(), ours.size()) << where;
            for (const unsigned long w : ours)
                for (const unsigned long x : others(before))
                    EXPECT_TRUE(!above(before, x, w) || !above(after, x, w) || above(result, x, w)) << where << " " << x;
            if (others(after) == others(before)) {
                EXPECT_EQ(ourOrder(result), ourOrder(before)) << where;
                EXPECT_EQ(plan.empty(), ourOrder(after) == ourOrder(before)) << where;
            }
            moved += !plan.empty();
        } while (std::next_permutation(after.begin(), after.end()));
        EXPECT_GT(moved, 0);
    }
    // The manager's raise of a window leaving full screen with its dialog over the program in use (5);
    // a window that came meanwhile (9) and one that went (3) name no restack.
    EXPECT_EQ(mp::x11::PlanRestacks({1, 2, 3, 4, 5}, {1, 5, 9, 2, 4}, {2, 4}),
              (std::vector<mp::x11::Restack>{{2, 5, false}, {4, 5, false}}));
}

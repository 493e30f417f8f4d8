#pragma once
// The score chain: the kills waiting to be paid together, and the pop-ups the head-up display
// shows for the chain and the boss bonus (each payout writes its slot, the display reads them).
#include <cstdint>
#include <vector>

struct SKillScore {
    int32_t x = 0;
    int32_t y = 0;
    int32_t points = 0;
    int32_t code = 0;
};

struct SScoreChain {
    // The pop-ups' slots, in this order.
    enum ScoreDisplay : int32_t {
        kBonusPopup,      // frames left of the x1.5 of a kill paid at once
        kSpecialPopup,    // ... of a special kill in a chain
        kChainPopup,      // ... of the chain's multiplier
        kChainCount,      // kills in the last chain, less one
        kTimeBonusPopup,  // the boss bonus's first part: frames left, value
        kTimeBonusValue,
        kLifeBonusPopup,  // its second part
        kLifeBonusValue,
    };
    // Once a play frame: every pop-up's frames left count down.
    void TickPopups();

    std::vector<SKillScore> kills;
    int32_t timer = 0;  // 8 frames between payouts
    int32_t popups[8] = {};
};

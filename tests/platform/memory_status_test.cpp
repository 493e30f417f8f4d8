#include "platform/memory_status.h"

#include <gtest/gtest.h>

namespace mp = morna::platform;

TEST(MemoryStatus, ReportsTheMachinesFigures) {
    mp::MemoryStatus st;
    ASSERT_TRUE(mp::QueryMemoryStatus(st));
    EXPECT_GT(st.totalPhysical, 0u);
    EXPECT_GT(st.availablePhysical, 0u);
    EXPECT_LE(st.availablePhysical, st.totalPhysical);
}

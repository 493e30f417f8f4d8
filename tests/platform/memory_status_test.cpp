#include "platform/memory_status.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace mp = morna::platform;

// The machine's total and available memory as the kernel reports them, in bytes.
TEST(MemoryStatus, ReadsTheKernelsFigures) {
    unsigned long long totalKb = 0;
    FILE* f = std::fopen("/proc/meminfo", "r");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fscanf(f, "MemTotal: %llu kB", &totalKb), 1);
    std::fclose(f);
    mp::MemoryStatus st;
    ASSERT_TRUE(mp::QueryMemoryStatus(st));
    EXPECT_EQ(st.totalPhysical, totalKb * 1024u);
    EXPECT_GT(st.availablePhysical, 0u);
    EXPECT_LE(st.availablePhysical, st.totalPhysical);
}

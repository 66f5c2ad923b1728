// Checks on live GDI object counts, where the platform keeps them by kind (ours
// does). The real platform keeps none: there a count check marks the running test
// skipped, with the reason, and lets its other checks go on, so that such a test
// is never reported as passed without its counts having been checked.
#pragma once

#include <gtest/gtest.h>

#include "platform/testing/platform_testing.h"

inline bool TestGdiCountsKept() {
    if (PlatformCountsGdiObjects()) return true;
    [] { GTEST_SKIP() << "live GDI objects cannot be counted by kind on this platform"; }();
    return false;
}

#define EXPECT_GDI_COUNT_EQ(actual, expected) \
    if (!TestGdiCountsKept()) {               \
    } else                                    \
        EXPECT_EQ(actual, expected)
#define ASSERT_GDI_COUNT_EQ(actual, expected) \
    if (!TestGdiCountsKept()) {               \
    } else                                    \
        ASSERT_EQ(actual, expected)

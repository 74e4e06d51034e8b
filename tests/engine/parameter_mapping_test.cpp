// The step helpers and value mappings shared by the engine, editor and readers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/parameters.h"

namespace {

using namespace kt;

// Half-open steps, the last one closed; out of range and NaN held to a valid step.
TEST(StepMapping, StepsCoverHalfOpenIntervalsAndOddValuesStayInRange) {
    EXPECT_EQ(paramContToLong(0.19999f, 5), 0);
    EXPECT_EQ(paramContToLong(0.2f, 5), 1);
    EXPECT_EQ(paramContToLong(1.0f, 5), 4);
    EXPECT_EQ(paramContToLong(0.015f, 100), 1);
    EXPECT_EQ(paramContToLong(-1e30f, 5), 0);
    EXPECT_EQ(paramContToLong(std::numeric_limits<float>::quiet_NaN(), 5), 0);
    EXPECT_EQ(paramContToLong(2.0f, 5), 4);
    EXPECT_EQ(paramContToLong(std::numeric_limits<float>::infinity(), 3), 2);
    for (int n : {2, 3, 4, 5, 7, 8, 100})
        for (int i = 0; i < n; ++i) EXPECT_EQ(paramContToLong(paramLongToCont(i, n), n), i);
}

}  // namespace

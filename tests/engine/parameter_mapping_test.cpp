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

TEST(ValueMappings, GainsFollowSixDecibelsPerDoubling) {
    EXPECT_DOUBLE_EQ(outputGainFromValue(0.0f), 0.25);
    EXPECT_DOUBLE_EQ(driveGainFromValue(0.0f), 1.0 / 16);
    EXPECT_DOUBLE_EQ(driveGainFromValue(1.0f), 16.0);
    EXPECT_NEAR(transientAmountFromValue(1.0f), 0.5, 1e-6);
    EXPECT_NEAR(releaseMsFromValue(0.0f), 1.0, 1e-12);
    EXPECT_NEAR(releaseMsFromValue(1.0f), 1000.0, 1e-9);
    EXPECT_NEAR(releaseMsFromValue(0.7237f), 200.0, 0.05);
}

TEST(ParameterTable, StepTextsExistForEveryStep) {
    for (int i = 0; i < kNumEngineParams; ++i) {
        const ParamInfo& info = paramInfo(i);
        if (info.kind != ParamKind::Stepped) continue;
        ASSERT_GE(info.steps, 2) << info.name;
        ASSERT_LE(info.steps, 8) << info.name;
        for (int s = 0; s < info.steps; ++s)
            EXPECT_TRUE(!info.stepTexts[s].empty() || (i == kAttShow && s == 0)) << info.name;
    }
}

}  // namespace

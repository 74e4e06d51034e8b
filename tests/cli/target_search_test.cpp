// The search for Drive and Output against a smooth model of a limiter and its final clamp.
#include "cli/target_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kt {
namespace {

struct ModelLimiter {
    double inputLoudness;
    double inputTruePeak;

    SearchTrial render(SearchTrial trial) const {
        const double driven = inputTruePeak + trial.drive;  // peaks at Output 0 dB
        const double lost = 0.6 * 2.0 * std::log1p(std::exp(driven / 2.0));
        const double held = -0.3 * std::log(std::exp(-driven / 0.3) + std::exp(-0.4 / 0.3));
        trial.loudness = inputLoudness + trial.drive - lost + trial.output;
        trial.truePeak = held + trial.output + (driven > 0.0 ? 0.04 * -trial.output : 0.0);
        return trial;
    }
};

struct SearchRun {
    TargetSearch search;
    int renders = 0;
};

SearchRun runSearch(const ModelLimiter& model, SearchTargets targets, double userOutput = 0.0) {
    SearchStart start;
    start.output = userOutput;
    start.inputLoudness = model.inputLoudness;
    start.inputTruePeak = model.inputTruePeak;
    SearchRun run{TargetSearch(targets, SearchRange{}, start)};
    while (std::optional<SearchTrial> trial = run.search.next()) {
        run.search.record(model.render(*trial));
        ++run.renders;
    }
    return run;
}

TEST(TargetSearchTest, MeetsTargetsOnMaterialOfDifferentCrestInFewRenders) {
    const double none = NAN;
    struct Case {
        double crest;  // peak-to-loudness ratio of the input, dB
        double loudness, ceiling;
    };
    std::vector<Case> cases;
    // Dense, a mix, sparse.
    for (double crest : {6.0, 12.0, 20.0}) {
        for (auto [loudness, ceiling] : {std::pair{-14.0, -1.0}, std::pair{-23.0, -2.0},
                                         std::pair{-16.0, none}, std::pair{none, -1.0}})
            cases.push_back({crest, loudness, ceiling});
    }
    cases.push_back({6.0, -8.0, -0.3});
    cases.push_back({12.0, -10.0, -0.5});
    for (const Case& c : cases) {
        const ModelLimiter model{-3.0 - c.crest, -3.0};
        SearchTargets targets;
        if (std::isfinite(c.loudness)) targets.loudness = c.loudness;
        if (std::isfinite(c.ceiling)) targets.truePeak = c.ceiling;
        SearchRun run = runSearch(model, targets, -0.5);
        const std::string what = "crest " + std::to_string(c.crest) + ", target " +
                                 std::to_string(c.loudness) + " / " + std::to_string(c.ceiling);
        ASSERT_TRUE(run.search.met()) << what << ": " << run.search.verdict();
        EXPECT_LE(run.renders, 6) << what;
        const SearchTrial chosen = run.search.trials()[*run.search.chosen()];
        if (targets.loudness) {
            EXPECT_NEAR(chosen.loudness, c.loudness, 0.1) << what;
        }
        if (targets.truePeak) {
            EXPECT_LE(chosen.truePeak, c.ceiling) << what;
        }
        // Output never rises above the one given; a ceiling alone lowers it just enough.
        EXPECT_LE(chosen.output, -0.5) << what;
        if (!targets.loudness && chosen.output < -0.5) {
            EXPECT_GE(chosen.truePeak, c.ceiling - 0.1) << what;
        }
    }
}

TEST(TargetSearchTest, UnreachableTargetsEndWithTheirReason) {
    struct Case {
        ModelLimiter model;
        double loudness, ceiling;
        const char* reason;
        int mostRenders;
    };
    const Case cases[] = {
        {{-INFINITY, -INFINITY}, -14.0, -1.0, "no integrated loudness", 0},
        {{-80.0, -60.0}, -14.0, -1.0, "Drive at its highest", 3},
        {{-10.0, 2.0}, -60.0, -1.0, "Drive at its lowest", 3},
        {{-20.0, -6.0}, -14.0, -14.0, "allows at most", 4},
    };
    for (const Case& c : cases) {
        SearchTargets targets;
        targets.loudness = c.loudness;
        targets.truePeak = c.ceiling;
        SearchRun run = runSearch(c.model, targets);
        EXPECT_FALSE(run.search.met()) << c.reason;
        EXPECT_NE(run.search.verdict().find(c.reason), std::string::npos) << run.search.verdict();
        EXPECT_LE(run.renders, c.mostRenders) << c.reason;
    }
    // Out of reach at the highest drive: the closest result (what --best-effort
    // writes) is the loudest render there that meets the ceiling, not one
    // whose Output was guessed too low.
    for (const ModelLimiter model : {ModelLimiter{-20.0, -6.0}, ModelLimiter{-13.0, 0.35}}) {
        SearchTargets loud;
        loud.loudness = -2.0;
        loud.truePeak = -1.0;
        SearchRun run = runSearch(model, loud);
        ASSERT_FALSE(run.search.met());
        const SearchTrial& best = run.search.trials()[*run.search.chosen()];
        EXPECT_LE(best.truePeak, -1.0);
        EXPECT_GT(best.truePeak, -1.2) << run.search.verdict();
    }
    // A ceiling alone that Output cannot reach.
    SearchTargets low;
    low.truePeak = -20.0;
    SearchRun run = runSearch({-20.0, -1.0}, low);
    EXPECT_FALSE(run.search.met());
    EXPECT_NE(run.search.verdict().find("below what Output can reach"), std::string::npos)
        << run.search.verdict();
}

}  // namespace
}  // namespace kt

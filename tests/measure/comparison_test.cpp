// Statistics of the differences, the verdict against tolerances, and the conditions two files
// state.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

TEST(Statistics, SummaryAndVerdictByHand) {
    // Sorted: 1 2 3 4 10; rank 0.95 x 4 = 3.8 lies between 4 and 10.
    const std::vector<double> d = {3, 10, 1, 4, 2};
    const measure::Statistics s = measure::Summarise(d);
    EXPECT_EQ(s.count, 5u);
    EXPECT_EQ(s.mean, 4.0);
    EXPECT_EQ(s.median, 3.0);
    EXPECT_NEAR(s.p95, 8.8, 1e-12);
    EXPECT_EQ(s.max, 10.0);
    EXPECT_EQ(s.worst, 1u);
    EXPECT_NEAR(s.stdDev, std::sqrt(50.0 / 4), 1e-12);
    EXPECT_EQ(measure::Summarise({2.5}).stdDev, 0.0);

    measure::Tolerances limits;
    limits.p95 = 8.8;
    limits.max = 3.5;
    const measure::Verdict v = measure::Judge(d, s, limits);
    ASSERT_EQ(v.checks.size(), 2u);
    EXPECT_EQ(v.checks[0].name, "max");
    EXPECT_FALSE(v.checks[0].pass);
    EXPECT_EQ(v.checks[1].name, "p95");
    EXPECT_TRUE(v.checks[1].pass);  // a value equal to its limit passes
    EXPECT_EQ(v.overMax, 2u);
    EXPECT_FALSE(v.pass);
    EXPECT_EQ(measure::WorstFirst({1, 3, 3, 2}), (std::vector<std::size_t>{1, 2, 3, 0}));
}

TEST(Conditions, StatedOnBothSidesMustAgree) {
    struct Case {
        std::string reference, sample;  // ILLUMINANT, OBSERVER, MEASUREMENT_CONDITION, FILTER
        bool refused;
    };
    const Case cases[] = {
        {"D50 2 M1 -", "d50 2_DEGREE m1 -", false},
        {"D50 2 M1 -", "- - - -", false},  // not stated: nothing to compare
        {"D50 2 - -", "D65 2 - -", true},
        {"D50 2 - -", "D50 10 - -", true},
        {"- - M0 -", "- - M2 -", true},
        {"- - - UVcut", "- - - no", true},
    };
    auto set = [](const std::string& name, const std::string& stated) {
        measure::MeasurementSet s;
        s.path = name;
        std::istringstream words(stated);
        std::string* targets[] = {&s.conditions.illuminant, &s.conditions.observer,
                                  &s.conditions.measurementCondition, &s.conditions.filter};
        for (std::string* target : targets) {
            words >> *target;
            if (*target == "-") target->clear();
        }
        return s;
    };
    for (const Case& c : cases) {
        bool refused = false;
        try {
            measure::CheckConditions(set("r.cgats", c.reference), set("s.cgats", c.sample));
        } catch (const measure::Error& e) {
            refused = true;
            EXPECT_NE(std::string(e.what()).find("r.cgats states"), std::string::npos);
        }
        EXPECT_EQ(refused, c.refused) << c.reference << " / " << c.sample;
    }
}

}  // namespace

// Statistics of the differences, the verdict against tolerances, and the conditions two files
// state.
#include <gtest/gtest.h>

#include <sstream>

#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

// The command's compare tests check the summary of five differences; here one difference, ties
// and values equal to their limit.
TEST(Statistics, OneValueTiesAndLimits) {
    const measure::Statistics one = measure::Summarise({2.5});
    EXPECT_EQ(one.stdDev, 0.0);
    EXPECT_EQ(one.median, 2.5);
    EXPECT_EQ(one.p95, 2.5);
    const std::vector<double> d = {1, 3, 3, 2};
    EXPECT_EQ(measure::WorstFirst(d), (std::vector<std::size_t>{1, 2, 3, 0}));
    measure::Tolerances limits;
    limits.max = 3;
    limits.mean = 2.25;
    const measure::Verdict v = measure::Judge(d, measure::Summarise(d), limits);
    EXPECT_TRUE(v.pass);
    EXPECT_EQ(v.overMax, 0u);
}

TEST(Conditions, StatedOnBothSidesMustAgree) {
    const struct {
        std::string reference, sample;  // ILLUMINANT, OBSERVER, MEASUREMENT_CONDITION, FILTER
        bool refused;
    } cases[] = {
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
        measure::Conditions& c = s.conditions;
        for (std::string* target : {&c.illuminant, &c.observer, &c.measurementCondition, &c.filter})
            if (words >> *target && *target == "-") target->clear();
        return s;
    };
    for (const auto& c : cases) {
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

// Well-formed files read by our reader and by Little CMS's parser give the same patches: ids,
// names and every colour value (to the few units in the last place that Little CMS's own
// decimal conversion may be off by).
#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <memory>

#include "support/test_support.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

struct Handle {
    void operator()(void* handle) const { cmsIT8Free(handle); }
};

// The fields of the set's colour, named as the file names them.
std::vector<std::string> ColourFields(const measure::MeasurementSet& set) {
    switch (set.source) {
        case measure::ColourSource::Xyz:
            return {"XYZ_X", "XYZ_Y", "XYZ_Z"};
        case measure::ColourSource::Lab:
            return {"LAB_L", "LAB_A", "LAB_B"};
        case measure::ColourSource::Spectrum:
            break;
    }
    std::vector<std::string> fields;
    for (int nm = set.firstNm; nm <= set.lastNm; nm += 10)
        fields.push_back(set.spectralPrefix + std::to_string(nm));
    return fields;
}

double Value(const measure::MeasurementSet& set, std::size_t patch, std::size_t field) {
    return set.source == measure::ColourSource::Spectrum ? set.Spectrum(patch)[field]
                                                         : set.patches[patch].values[field];
}

TEST(CgatsReader, AgreesWithLittleCmsOnWellFormedFiles) {
    const std::string root = VANTREL_SOURCE_DIR;
    const std::string files[] = {
        "/tests/cli/data/lab_ids.cgats",       "/tests/cli/data/lab_order.cgats",
        "/tests/cli/data/lab_reference.cgats", "/tests/cli/data/xyz_names.cgats",
        "/examples/reference.cgats",           "/examples/measured.cgats",
    };
    std::vector<std::pair<std::string, std::string>> texts;
    for (const std::string& file : files)
        texts.emplace_back(file, testing_support::ReadFile(root + file));
    // The example with Windows line ends and tabs.
    std::string edited;
    for (char c : texts[4].second)
        edited += c == '\n' ? "\r\n" : c == ' ' ? "\t" : std::string(1, c);
    texts.emplace_back("edited example", edited);

    for (const auto& [name, text] : texts) {
        const measure::MeasurementSet ours = measure::ParseCgats(text, name);
        std::unique_ptr<void, Handle> theirs(
            cmsIT8LoadFromMem(nullptr, text.data(), static_cast<cmsUInt32Number>(text.size())));
        ASSERT_TRUE(theirs) << name;
        ASSERT_EQ(static_cast<int>(cmsIT8TableCount(theirs.get())), ours.tableCount) << name;
        ASSERT_EQ(cmsIT8GetPropertyDbl(theirs.get(), "NUMBER_OF_SETS"), ours.patches.size())
            << name;
        const std::vector<std::string> fields = ColourFields(ours);
        for (std::size_t k = 0; k < ours.patches.size(); ++k) {
            const int row = static_cast<int>(k);
            if (ours.hasId) {
                EXPECT_STREQ(cmsIT8GetDataRowCol(theirs.get(), row,
                                                 cmsIT8FindDataFormat(theirs.get(), "SAMPLE_ID")),
                             ours.patches[k].id.c_str())
                    << name;
            }
            if (ours.hasName) {
                EXPECT_STREQ(cmsIT8GetDataRowCol(theirs.get(), row,
                                                 cmsIT8FindDataFormat(theirs.get(), "SAMPLE_NAME")),
                             ours.patches[k].name.c_str())
                    << name;
            }
            for (std::size_t f = 0; f < fields.size(); ++f) {
                const int column = cmsIT8FindDataFormat(theirs.get(), fields[f].c_str());
                ASSERT_GE(column, 0) << name << " " << fields[f];
                const double expected = cmsIT8GetDataRowColDbl(theirs.get(), row, column);
                // Spectra are kept in single precision.
                const double relative =
                    ours.source == measure::ColourSource::Spectrum ? 1e-7 : 1e-12;
                EXPECT_NEAR(Value(ours, k, f), expected, relative * (1 + std::fabs(expected)))
                    << name << " patch " << k << " " << fields[f];
            }
        }
    }
}

}  // namespace

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

// The fields of the set's colour, named as the file names them.
std::vector<std::string> ColourFields(const measure::MeasurementSet& set) {
    if (set.source == measure::ColourSource::Xyz) return {"XYZ_X", "XYZ_Y", "XYZ_Z"};
    if (set.source == measure::ColourSource::Lab) return {"LAB_L", "LAB_A", "LAB_B"};
    std::vector<std::string> fields;
    for (int nm = set.firstNm; nm <= set.lastNm; nm += set.stepNm)
        fields.push_back(set.spectralPrefix + std::to_string(nm));
    return fields;
}

TEST(CgatsReader, AgreesWithLittleCmsOnWellFormedFiles) {
    std::vector<std::pair<std::string, std::string>> texts;
    const std::string source = VANTREL_SOURCE_DIR, argyll = "/usr/share/color/argyll/ref/";
    for (const std::string& file :
         {source + "/tests/cli/data/lab_ids.cgats", source + "/tests/cli/data/lab_order.cgats",
          source + "/tests/cli/data/lab_reference.cgats",
          source + "/tests/cli/data/xyz_names.cgats", source + "/examples/reference.cgats",
          source + "/examples/measured.cgats",
          // Files that Debian's argyll-ref and colord-data ship (scripts/deps installs them).
          argyll + "ColorChecker.cie", argyll + "CMP_Digital_Target-4.cie",
          argyll + "QPcard_202.cie", std::string("/usr/share/colord/ref/CIE-TCS.sp")})
        texts.emplace_back(file, testing_support::ReadFile(file));
    // The example with Windows line ends and tabs.
    std::string edited;
    for (char c : texts[4].second)
        edited += c == '\n' ? "\r\n" : c == ' ' ? "\t" : std::string(1, c);
    texts.emplace_back("edited example", edited);

    for (const auto& [name, text] : texts) {
        SCOPED_TRACE(name);
        const measure::MeasurementSet ours = measure::ParseCgats(text, name);
        const bool spectral = ours.source == measure::ColourSource::Spectrum;
        const std::unique_ptr<void, void (*)(cmsHANDLE)> theirs(
            cmsIT8LoadFromMem(nullptr, text.data(), static_cast<cmsUInt32Number>(text.size())),
            cmsIT8Free);
        ASSERT_TRUE(theirs);
        ASSERT_EQ(static_cast<int>(cmsIT8TableCount(theirs.get())), ours.tableCount);
        ASSERT_EQ(cmsIT8GetPropertyDbl(theirs.get(), "NUMBER_OF_SETS"), ours.patches.size());
        const auto cell = [&](std::size_t k, const std::string& field) -> std::string {
            const int column = cmsIT8FindDataFormat(theirs.get(), field.c_str());
            return column < 0 ? "" : cmsIT8GetDataRowCol(theirs.get(), static_cast<int>(k), column);
        };
        const std::vector<std::string> fields = ColourFields(ours);
        for (std::size_t k = 0; k < ours.patches.size(); ++k) {
            EXPECT_EQ(cell(k, "SAMPLE_ID"), ours.patches[k].id);
            EXPECT_EQ(cell(k, "SAMPLE_NAME"), ours.patches[k].name);
            for (std::size_t f = 0; f < fields.size(); ++f) {
                const int column = cmsIT8FindDataFormat(theirs.get(), fields[f].c_str());
                ASSERT_GE(column, 0) << fields[f];
                const double expected =
                    cmsIT8GetDataRowColDbl(theirs.get(), static_cast<int>(k), column);
                const double value = spectral ? ours.Spectrum(k)[f] : ours.patches[k].values[f];
                // Spectra are kept in single precision.
                EXPECT_NEAR(value, expected, (spectral ? 1e-7 : 1e-12) * (1 + std::fabs(expected)))
                    << "patch " << k << " " << fields[f];
            }
        }
    }
}

}  // namespace

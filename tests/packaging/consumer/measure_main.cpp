// A host of libvantrel_measure: reads a small measurement file from memory, compares it with
// itself shifted, and prints the CIEDE2000 of a published test pair.
#include <vantrel/measure.h>
#include <cstdio>

int main() {
    namespace measure = vantrel::measure;
    const char* text =
        "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\n"
        "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\nP1 50 2.6772 -79.7751\nEND_DATA\n";
    measure::MeasurementSet reference = measure::ParseCgats(text, "reference");
    measure::MeasurementSet sample = reference;
    sample.patches[0].values = {50, 0, -82.7485};
    measure::CompareOptions options;
    options.tolerances.max = 2;
    const measure::Comparison c = measure::Compare(reference, sample, options);
    std::printf("%s %.4f %s\n", measure::MetricLabel(options.metric).c_str(), c.statistics.max,
                c.verdict.pass ? "PASS" : "FAIL");
    try {
        measure::ParseCgats("CGATS.17\n", "empty");
    } catch (const measure::Error& e) {
        std::printf("%s\n", e.what());
    }
    return 0;
}

// Writing a measurement set back as a CGATS.17 file: its file type and header keywords, its
// id, name, location, device and colour fields, and numbers that read back to the very values
// held.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "measure/decimal.h"
#include "text_util.h"
#include "vantrel/measure.h"

namespace vantrel::measure {

namespace {

// Keywords the writer writes itself, from the data: the counts, and SPECTRAL_NORM when the set
// has none of its own.
bool WrittenFromData(std::string_view keyword) {
    return EqualsIgnoreCase(keyword, "NUMBER_OF_FIELDS") ||
           EqualsIgnoreCase(keyword, "NUMBER_OF_SETS");
}

bool IsBareWord(std::string_view text) {
    if (text.empty() || text[0] == '"' || text[0] == '\'' || text[0] == '#') return false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F) return false;
    }
    // A word that a reader would take for a keyword of the structure stays quoted.
    for (std::string_view keyword :
         {"BEGIN_DATA", "END_DATA", "BEGIN_DATA_FORMAT", "END_DATA_FORMAT"})
        if (text.size() >= keyword.size() &&
            EqualsIgnoreCase(text.substr(0, keyword.size()), keyword))
            return false;
    return true;
}

// Text as one word: bare where it can be, else quoted with a quote it does not hold.
void AppendWord(std::string& out, std::string_view text) {
    if (IsBareWord(text)) {
        out += text;
        return;
    }
    const char quote = text.find('"') == std::string_view::npos ? '"' : '\'';
    out += quote;
    out += text;
    out += quote;
}

// The shortest text that reads back to the same double: a float widened is exact as a double,
// so a sample written so narrows back to itself.
void AppendNumber(std::string& out, double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

}  // namespace

std::string FormatCgats(const MeasurementSet& set) {
    std::string out = IsBareWord(set.fileType) ? set.fileType : "CGATS.17";
    out += '\n';
    bool norm = false;
    for (std::size_t k = 0; k < set.keywords.size(); ++k) {
        const auto& [keyword, value] = set.keywords[k];
        if ((k == 0 && keyword == set.fileType && value.empty()) || WrittenFromData(keyword))
            continue;
        norm = norm || EqualsIgnoreCase(keyword, "SPECTRAL_NORM");
        AppendWord(out, keyword);
        // A value of several words was kept as written, quotes and all.
        if (!value.empty()) {
            out += ' ';
            if (value.find('"') != std::string::npos && value.find('\'') != std::string::npos)
                out += value;
            else
                AppendWord(out, value);
        }
        out += '\n';
    }
    const bool spectral = set.source == ColourSource::Spectrum;
    if (spectral && !norm) out += set.Percent() ? "SPECTRAL_NORM 100\n" : "SPECTRAL_NORM 1\n";

    std::string fields;
    int count = 0;
    auto field = [&](const std::string& name) { fields += (count++ ? " " : "") + name; };
    if (set.hasId) field("SAMPLE_ID");
    if (set.hasName) field("SAMPLE_NAME");
    if (set.hasLocation) field("SAMPLE_LOC");
    for (const std::string& name : set.deviceFields) field(name);
    const char* const names[2][3] = {{"XYZ_X", "XYZ_Y", "XYZ_Z"}, {"LAB_L", "LAB_A", "LAB_B"}};
    if (set.hasStated)
        for (const char* name : names[set.statedSource == ColourSource::Lab]) field(name);
    if (set.statesXyzToo)
        for (const char* name : names[0]) field(name);
    if (spectral) {
        const std::string prefix = set.spectralPrefix.empty() ? "SPECTRAL_" : set.spectralPrefix;
        // Three digits at least, as readers expect of a wavelength.
        for (int nm = set.firstNm; nm <= set.lastNm; nm += set.stepNm) {
            const std::string digits = std::to_string(nm);
            field(prefix + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits);
        }
    }
    out += "NUMBER_OF_FIELDS " + std::to_string(count) + "\nBEGIN_DATA_FORMAT\n" + fields +
           "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(set.patches.size()) +
           "\nBEGIN_DATA\n";
    for (std::size_t k = 0; k < set.patches.size(); ++k) {
        const Patch& patch = set.patches[k];
        std::string row;
        auto separate = [&]() -> std::string& { return row += row.empty() ? "" : " "; };
        if (set.hasId) AppendWord(separate(), patch.id);
        if (set.hasName) AppendWord(separate(), patch.name);
        if (set.hasLocation) AppendWord(separate(), patch.location);
        for (std::size_t j = 0; j < set.deviceFields.size(); ++j)
            AppendNumber(separate(), set.Device(k)[j]);
        if (set.hasStated)
            for (double value : patch.values) AppendNumber(separate(), value);
        if (set.statesXyzToo)
            for (double value : patch.xyz) AppendNumber(separate(), value);
        if (spectral) {
            const float* samples = set.Spectrum(k);
            for (int i = 0; i < set.SampleCount(); ++i) AppendNumber(separate(), samples[i]);
        }
        out += row + '\n';
    }
    return out + "END_DATA\n";
}

std::string FormatColoursCgats(const MeasurementSet& set, const std::vector<Colour>& colours,
                               const Integration& integration,
                               const std::vector<Densities>& densities, int decimals) {
    const ColourConditions conditions = ConditionsOfColour(set, integration);
    auto fixed = [&](double value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return std::string(WithoutNegativeZero(text));
    };
    std::string out = "CGATS.17\nORIGINATOR \"vantrel\"\n";
    out += "DESCRIPTOR ";
    AppendWord(out, "colours of " + set.path + ": " + DescribeColour(set, integration));
    out += "\nILLUMINANT " + IlluminantName(conditions.illuminant) + "\nOBSERVER " +
           (conditions.observer == Observer::TwoDegree ? "2_DEGREE" : "10_DEGREE") +
           "\nKEYWORD \"ILLUMINANT_WHITE_POINT_XYZ\"\nILLUMINANT_WHITE_POINT_XYZ \"" +
           fixed(conditions.white[0]) + " " + fixed(conditions.white[1]) + " " +
           fixed(conditions.white[2]) + "\"\n";
    std::string fields = "SAMPLE_ID";
    int count = 1;
    auto field = [&](const char* name) {
        fields += std::string(" ") + name;
        ++count;
    };
    if (set.hasName) field("SAMPLE_NAME");
    if (set.hasLocation) field("SAMPLE_LOC");
    for (const char* name : {"LAB_L", "LAB_A", "LAB_B", "XYZ_X", "XYZ_Y", "XYZ_Z"}) field(name);
    const bool withDensities = !densities.empty();
    if (withDensities) {
        out += "KEYWORD \"DENSITY_STATUS\"\nDENSITY_STATUS \"D_ Status T, DI_ Status I\"\n";
        for (const char* name :
             {"D_VIS", "D_RED", "D_GREEN", "D_BLUE", "DI_VIS", "DI_RED", "DI_GREEN", "DI_BLUE"})
            field(name);
    }
    out += "NUMBER_OF_FIELDS " + std::to_string(count) + "\nBEGIN_DATA_FORMAT\n" + fields +
           "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(set.patches.size()) +
           "\nBEGIN_DATA\n";
    for (std::size_t k = 0; k < set.patches.size(); ++k) {
        const Patch& patch = set.patches[k];
        AppendWord(out, set.hasId ? patch.id : std::to_string(k + 1));
        if (set.hasName) AppendWord(out += ' ', patch.name);
        if (set.hasLocation) AppendWord(out += ' ', patch.location);
        for (double value : colours[k].lab) out += ' ' + fixed(value);
        for (double value : colours[k].xyz) out += ' ' + fixed(value);
        if (withDensities) {
            for (float value : densities[k].statusT) out += ' ' + fixed(value);
            for (float value : densities[k].statusI) out += ' ' + fixed(value);
        }
        out += '\n';
    }
    return out + "END_DATA\n";
}

}  // namespace vantrel::measure

// What the spectra of a measurement file are and on what scale.
#include "spectral_scale.h"

#include <algorithm>
#include <charconv>

#include "text_util.h"

namespace vantrel::measure {

namespace {

// A spectral value above this is percent beyond doubt: reflectance factors of surfaces stay
// below it, those of fluorescent whites and brighteners included.
constexpr float kFactorCeiling = 2.0f;

bool ContainsIgnoreCase(std::string_view text, std::string_view part) {
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (EqualsIgnoreCase(text.substr(i, part.size()), part)) return true;
    return false;
}

// The shortest decimal text of a value, for messages.
template <typename Number>
std::string Shortest(Number value) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("?");
}

}  // namespace

const std::string* KeywordValue(const MeasurementSet& set, std::string_view keyword) {
    const std::string* value = nullptr;
    for (const auto& [name, text] : set.keywords)
        if (EqualsIgnoreCase(name, keyword)) value = &text;
    return value;
}

// What the spectra of a set are of, from what its header says.
void DecideContent(MeasurementSet& set, const std::optional<double>& norm) {
    auto light = [&](std::string reason) {
        set.content = SpectralContent::Light;
        set.contentReason = std::move(reason);
    };
    if (EqualsIgnoreCase(set.fileType, "CMF")) {
        set.content = SpectralContent::MatchingFunctions;
        set.contentReason = "a CMF file";
        return;
    }
    if (const std::string* type = KeywordValue(set, "MEAS_TYPE"))
        if (ContainsIgnoreCase(*type, "EMISSION") || ContainsIgnoreCase(*type, "AMBIENT"))
            return light("MEAS_TYPE " + Printable(*type));
    if (const std::string* device = KeywordValue(set, "DEVICE_CLASS"))
        if (EqualsIgnoreCase(set.fileType, "CTI3") &&
            (EqualsIgnoreCase(*device, "DISPLAY") || EqualsIgnoreCase(*device, "EMISINPUT")))
            return light("DEVICE_CLASS " + Printable(*device));
    for (const char* keyword : {"DESCRIPTOR", "DISPLAY"})
        if (const std::string* text = KeywordValue(set, keyword))
            if (ContainsIgnoreCase(*text, "spectral power"))
                return light(std::string(keyword) + " '" + Printable(*text) + "'");
    if (norm && *norm != 1 && *norm != 100) light("SPECTRAL_NORM " + Shortest(*norm));
}

// The scale of a set's spectra: stated by the file, shown by its data, or guessed.
ScaleDecision DecideScale(const MeasurementSet& set, const std::optional<double>& norm,
                          int decimals) {
    using Scale = SpectralScale;
    if (norm && (*norm == 1 || *norm == 100))
        return {*norm == 1 ? Scale::Factors : Scale::Percent, ScaleBasis::Stated,
                "SPECTRAL_NORM " + Shortest(*norm)};
    if (EqualsIgnoreCase(set.fileType, "CTI3"))
        return {Scale::Percent, ScaleBasis::Stated, "CTI3 files hold percent"};
    if (!norm && (EqualsIgnoreCase(set.fileType, "SPECT") || EqualsIgnoreCase(set.fileType, "CMF")))
        return {Scale::Factors, ScaleBasis::Stated,
                set.fileType + " files without SPECTRAL_NORM hold factors"};
    return ScaleFromData(set.spectra.data(), set.spectra.size(), decimals);
}

ScaleDecision ScaleFromData(const float* values, std::size_t count, int decimals) {
    using Scale = SpectralScale;
    float largest = 0;
    for (std::size_t i = 0; i < count; ++i) largest = std::max(largest, values[i]);
    if (largest > kFactorCeiling)
        return {Scale::Percent, ScaleBasis::Data, "a value of " + Shortest(largest)};
    if (largest <= 0) return {Scale::Factors, ScaleBasis::Data, "no value above 0, either way"};
    // Percent values are most often written to hundredths; factors need more digits.
    if (decimals == 2)
        return {Scale::Percent, ScaleBasis::Guess, "no value above 2, but written to hundredths"};
    return {Scale::Factors, ScaleBasis::Guess, "no value above 2"};
}

int DecimalsWritten(std::string_view number) {
    if (number.find_first_of("eE") != std::string_view::npos) return kManyDecimals;
    const std::size_t point = number.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

std::string ScaleName(SpectralScale scale) {
    return scale == SpectralScale::Percent ? "percent" : "factors";
}

std::string ScaleBasisName(ScaleBasis basis) {
    static const char* const kNames[] = {"told", "stated", "data", "guessed"};
    return kNames[static_cast<int>(basis)];
}

std::string DescribeScale(const ScaleDecision& decision) {
    const std::string basis =
        decision.basis == ScaleBasis::Data ? "shown by the data" : ScaleBasisName(decision.basis);
    return ScaleName(decision.scale) + " (" + basis + ": " + decision.reason + ")";
}

}  // namespace vantrel::measure

// vantrel spectrum: a reflectance spectrum to XYZ, L*a*b* and densities, integrated as a
// measurement file's spectra are.
#include <algorithm>
#include <string>
#include <vector>

#include "cli.h"
#include "input.h"
#include "measure_common.h"
#include "vantrel/colorimetry.h"
#include "vantrel/measure.h"

namespace {

namespace measure = vantrel::measure;

constexpr int kSamples = 31;  // 400 to 700 nm in 10 nm steps

// The 31 values as written, from the arguments or standard input; a problem with standard
// input is bad data (exit 1), with the arguments bad usage.
std::vector<float> ReadSpectrum(std::vector<std::string> words, int* decimals) {
    const bool fromInput = words.empty() || (words.size() == 1 && words[0] == "-");
    if (fromInput) words = cli::SplitNumbers(cli::ReadInput("-"));
    try {
        if (words.size() != kSamples)
            throw cli::UsageError("expected 31 reflectance values (400 to 700 nm), read " +
                                  std::to_string(words.size()));
        std::vector<float> values;
        *decimals = 0;
        for (int k = 0; k < kSamples; ++k) {
            const std::string& word = words[static_cast<size_t>(k)];
            values.push_back(cli::ParseFloat(word, std::to_string(400 + 10 * k) + " nm"));
            *decimals = std::max(*decimals, measure::DecimalsWritten(word));
        }
        return values;
    } catch (const cli::UsageError& e) {
        if (fromInput) throw cli::Failure(std::string("standard input: ") + e.what());
        throw;
    }
}

int RunSpectrum(const cli::Invocation& run) {
    const cli::Format format = cli::FormatOf(run.options);
    const measure::Integration integration = cli::IntegrationOf(run.options);
    const float scale = cli::XyzScale(run.options);
    const bool percent = run.options.Has("--percent"), factors = run.options.Has("--factors");
    int decimals = 0;
    std::vector<float> values = ReadSpectrum(run.options.Operands(), &decimals);

    // Percent reflectance or factors: as told, or decided as measure decides from data.
    measure::ScaleDecision decision =
        measure::ScaleFromData(values.data(), values.size(), decimals);
    if (percent || factors)
        decision = {percent ? measure::SpectralScale::Percent : measure::SpectralScale::Factors,
                    measure::ScaleBasis::Told, percent ? "--percent" : "--factors"};

    // One patch of 400 to 700 nm, integrated as a measurement file's would be.
    measure::MeasurementSet set;
    set.source = measure::ColourSource::Spectrum;
    set.firstNm = 400;
    set.lastNm = 700;
    set.scale = decision;
    set.patches.resize(1);
    set.spectra = values;
    const measure::Colour c = measure::Colours(set, integration)[0];
    const measure::Densities measured = measure::DensitiesOf(set, 0);
    const float* t = measured.statusT.data();
    const float* i = measured.statusI.data();
    const std::string description = measure::DescribeColour(set, integration);

    const int xyzDecimals = scale == 1.0f ? 6 : 4;
    cli::Record record;
    const char* xyzNames[3] = {"X", "Y", "Z"};
    const char* labNames[3][2] = {{"L*", "L"}, {"a*", "a"}, {"b*", "b"}};
    for (int k = 0; k < 3; ++k)
        record.Number(xyzNames[k], xyzNames[k], float(c.xyz[k]) * (scale / 100.0f), xyzDecimals);
    for (int k = 0; k < 3; ++k) record.Number(labNames[k][0], labNames[k][1], float(c.lab[k]), 4);
    const char* densityNames[4] = {"vis", "red", "green", "blue"};
    for (int k = 0; k < 4; ++k)
        record.Number(std::string("T_") + densityNames[k], std::string("T_") + densityNames[k],
                      t[k], 4);
    for (int k = 0; k < 4; ++k)
        record.Number(std::string("I_") + densityNames[k], std::string("I_") + densityNames[k],
                      i[k], 4);
    record.Json("colour", cli::Json::Text(description));

    cli::Table colour;
    for (const char* name : {"X", "Y", "Z", "L*", "a*", "b*"})
        colour.AddRow({name, record.Cell(name)});
    cli::Table densities;
    densities.AddRow({"density", "visual", "red", "green", "blue"});
    for (const char* status : {"T", "I"}) {
        std::vector<std::string> row = {std::string("Status ") + status};
        for (const char* name : densityNames)
            row.push_back(record.Cell(std::string(status) + "_" + name));
        densities.AddRow(row);
    }
    record.TableText(description + "\n\n" + colour.Text() + "\n" + densities.Text());
    cli::RecordWriter(format, false, run.out).Write(record);
    return cli::kExitOk;
}

const cli::Register kSpectrumCommand(
    {"spectrum",
     "reflectance spectrum to XYZ, L*a*b* and densities",
     {"spectrum [R400 R410 ... R700 | -]"},
     [] {
         std::vector<cli::Option> options = {cli::FormatOption()};
         for (const cli::Option& o : cli::IntegrationOptions()) options.push_back(o);
         options.push_back(cli::ScaleOption());
         options.push_back(cli::Flag("--percent", "the values are percent reflectance (0..100)"));
         options.push_back(cli::Flag("--factors", "the values are reflectance factors (0..1)")
                               .Excludes("--percent", ""));
         return options;
     }(),
     "Integrates a reflectance spectrum, 31 values at 400 to 700 nm in 10 nm steps, into\n"
     "XYZ (percent scale unless --scale unit) and L*a*b*, and prints its Status T and\n"
     "Status I densities (visual, red, green, blue). Without --percent or --factors the\n"
     "scale of the values is decided as measure decides it for a file's spectra, and the\n"
     "first line says how. It also says how\n"
     "the spectrum was integrated: by default with the library's D50 table (2 degree\n"
     "observer), L*a*b* relative to D50; with --illuminant or --observer with the CIE\n"
     "colour-matching functions weighted by the illuminant's spectrum, L*a*b* relative to\n"
     "the perfect reflector under them (see 'vantrel measure --help'). The values come\n"
     "from the arguments or, when there are none or '-', from standard input, separated by\n"
     "blanks, commas or line breaks. Any other count than 31 is an error (exit status 2\n"
     "for arguments, 1 for standard input).\n",
     "vantrel spectrum --illuminant D65 < patch.txt",
     RunSpectrum});

}  // namespace

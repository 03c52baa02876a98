// What the measurement subcommands share: the metric and its factors (deltae, compare), the
// integration of spectra (measure, compare, spectrum), reading a measurement file and the
// warnings about it (measure, compare).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "json.h"
#include "vantrel/measure.h"

namespace cli {

// --metric 2000|94|cmc|ab (2000 when absent) with --kl --kc --kh (2000 and 94) or --l --c
// (cmc), each factor above 0.
std::vector<Option> MetricOptions();
vantrel::measure::MetricChoice MetricOf(const Options& options);

// --illuminant D50|D65|A|C|F2|F7|F11 and --observer 2|10: a CIE integration when either is
// given (D50 and 2 degrees for the one left out), else the library's D50 table.
std::vector<Option> IntegrationOptions();
vantrel::measure::Integration IntegrationOf(const Options& options);

// --colour spectra|stated: where the colour comes from (spectra when a file has them, else
// the XYZ or L*a*b* it states, when absent); IntegrationOf takes it.
Option ColourOption();

// --table N and its kin: a table of a measurement file, from 1.
Option TableOption(const char* name, std::string help);

// --PREFIXpercent and --PREFIXfactors ("" for measure; "", "ref-" and "sample-" for compare):
// the scale of a file's spectra when the user knows it.
std::vector<Option> SpectralScaleOptions(const std::string& prefix, const std::string& which);
// The scale told by --percent or --factors, or by the options of `prefix` first.
std::optional<vantrel::measure::SpectralScale> SpectralScaleOf(const Options& options,
                                                               const std::string& prefix);

// Reads a measurement file; "-" is standard input.
vantrel::measure::MeasurementSet ReadSet(const std::string& path,
                                         const vantrel::measure::ReadOptions& read);

// The scale of a set's spectra for JSON: {"scale": "percent", "basis": "stated", "reason": ...}.
Json ScaleJson(const vantrel::measure::ScaleDecision& decision);

// A file whose spectral scale is a guess gets a warning naming the options that tell it.
void WarnOfGuessedScale(const vantrel::measure::MeasurementSet& set, const std::string& prefix,
                        std::vector<std::string>& warnings);

// A file whose header states an illuminant or observer other than the one its spectra are
// integrated for gets a warning: the colour printed is not the colour the file describes.
void WarnOfStatedConditions(const vantrel::measure::MeasurementSet& set,
                            const vantrel::measure::Integration& integration,
                            std::vector<std::string>& warnings);

// The decimals of measure and compare: the table has 2, CSV and JSON (read by programs) 4.
int DecimalsOf(Format format);

}  // namespace cli

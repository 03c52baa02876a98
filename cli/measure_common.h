// What the measurement subcommands share: the metric and its factors (deltae, compare), the
// integration of spectra (measure, compare, spectrum), reading a measurement file and the
// warnings about it (measure, compare).
#pragma once

#include <string>
#include <vector>

#include "cli.h"
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

// --table N and its kin: a table of a measurement file, from 1.
Option TableOption(const char* name, std::string help);

// Reads a measurement file; "-" is standard input.
vantrel::measure::MeasurementSet ReadSet(const std::string& path, int table);

// A file whose header states an illuminant or observer other than the one its spectra are
// integrated for gets a warning: the colour printed is not the colour the file describes.
void WarnOfStatedConditions(const vantrel::measure::MeasurementSet& set,
                            const vantrel::measure::Integration& integration,
                            std::vector<std::string>& warnings);

// The decimals of measure and compare: the table has 2, CSV and JSON (read by programs) 4.
int DecimalsOf(Format format);

}  // namespace cli

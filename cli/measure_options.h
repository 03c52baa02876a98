// Options of the measurement subcommands: the metric and its factors (deltae, compare) and the
// integration of spectra (measure, compare, spectrum).
#pragma once

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

}  // namespace cli

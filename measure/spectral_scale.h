// What the spectra of a measurement file are and on what scale: decided from what its header
// states (keywords, the file type's convention) and, where it states nothing, from the data.
#pragma once

#include <optional>

#include "vantrel/measure.h"

namespace vantrel::measure {

// The value of the last header keyword of that name (any case), or null.
const std::string* KeywordValue(const MeasurementSet& set, std::string_view keyword);

// Sets the content and its reason: light, colour-matching functions, or surfaces. `norm`: the
// file's SPECTRAL_NORM.
void DecideContent(MeasurementSet& set, const std::optional<double>& norm);

// The scale of a set's spectra: stated by the file, shown by its data, or guessed; `decimals`:
// the most decimals a value was written with.
ScaleDecision DecideScale(const MeasurementSet& set, const std::optional<double>& norm,
                          int decimals);

}  // namespace vantrel::measure

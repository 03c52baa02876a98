/// @file
/// The library frame: ids of the library's string table. A host can register its own text
/// under any of these ids in its module's string table (for example a translated list of
/// dither names under VANTREL_IDS_DITHER_NAMES); the host's text then wins over the library's.
#pragma once

#include "vantrel/export.h"

enum : unsigned int {
    /// Comma-separated dither-method names, ending with the delimiter.
    VANTREL_IDS_DITHER_NAMES = 28673,
    /// "A number between %1 and %2 is required. Closest value inserted"
    VANTREL_IDS_RANGE_MESSAGE = 28772,
    /// First and last of the progress messages of a profile build (28786 to 28799).
    VANTREL_IDS_PROGRESS_FIRST = 28786,
    VANTREL_IDS_PROGRESS_LAST = 28799,
};

/// @file
/// Result codes of the functions that return a status as a short: the linear solvers
/// (vantrel/linalg.h) and the monitor matrix (vantrel/colorimetry.h). The preference store
/// has codes of its own (PF_ERR_*, vantrel/settings.h), which never give one of these values
/// another meaning.
#pragma once

enum : short {
    VANTREL_SUCCESS = 10,  ///< the work was done
    /// A singular matrix: a row with no non-zero element, or a 3x3 system without a unique
    /// solution.
    VANTREL_ERR_SINGULAR = -3,
    /// Working storage could not be allocated (also for an order too large to allocate).
    VANTREL_ERR_NO_MEMORY = -5,
    /// The monitor's primaries do not determine its white (collinear or coincident primaries).
    VANTREL_ERR_WHITE_NOT_DETERMINED = -7,
};

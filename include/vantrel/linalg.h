/// @file
/// Numerical linear algebra: 3x3 solvers and inversion, the general N-by-N solver.
#pragma once

#include "vantrel/export.h"

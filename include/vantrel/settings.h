/// @file
/// Settings: the preference file store, the records kept in it, meter settings, wizard states
/// and the dialog palette.
#pragma once

#include "vantrel/export.h"

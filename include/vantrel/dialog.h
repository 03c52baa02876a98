/// @file
/// Dialog support: range validation, percentage fields, combo-box menus, the progress bar.
#pragma once

#include "vantrel/export.h"

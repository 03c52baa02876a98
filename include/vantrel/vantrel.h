/// @file
/// Everything Vantrel offers a host application.
#pragma once

#include "vantrel/colorimetry.h"
#include "vantrel/dialog.h"
#include "vantrel/frame.h"
#include "vantrel/linalg.h"
#include "vantrel/settings.h"
#include "vantrel/text.h"

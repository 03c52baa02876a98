/// @file
/// Text: file names and paths, dither method names, display strings and progress messages.
#pragma once

#include "vantrel/export.h"

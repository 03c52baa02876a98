// The file-services library: strings, file access on an FM_FILESPEC, dialog range validators.
#pragma once

#include "orvane/astring.h"
#include "orvane/ddv.h"
#include "orvane/file_services.h"

// VANTREL_API marks the names that libvantrel exports; everything else stays hidden. The
// library's own sources are compiled with VANTREL_BUILDING, which gives these names default
// visibility; a host that includes the headers sees plain declarations.
#pragma once

#if defined(VANTREL_BUILDING)
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif

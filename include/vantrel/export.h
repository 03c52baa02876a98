// VANTREL_API marks the names that libvantrel exports; everything else stays hidden. The
// library's own sources are compiled with VANTREL_BUILDING, which gives these names default
// visibility (on Windows: exports them from the DLL); a host that includes the headers sees
// plain declarations (on Windows: imports from the DLL, unless VANTREL_STATIC says that it
// links the library's objects directly).
#pragma once

#if defined(_WIN32)
#if defined(VANTREL_BUILDING)
#define VANTREL_API __declspec(dllexport)
#elif defined(VANTREL_STATIC)
#define VANTREL_API
#else
#define VANTREL_API __declspec(dllimport)
#endif
#elif defined(VANTREL_BUILDING)
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif

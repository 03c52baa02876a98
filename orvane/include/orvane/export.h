// ORVANE_API marks the names that liborvane exports. Its sources are compiled with
// ORVANE_BUILDING, which gives these names default visibility (on Windows: exports them from
// the DLL); users see plain declarations (on Windows: imports from the DLL).
#pragma once

#if defined(_WIN32)
#if defined(ORVANE_BUILDING)
#define ORVANE_API __declspec(dllexport)
#else
#define ORVANE_API __declspec(dllimport)
#endif
#elif defined(ORVANE_BUILDING)
#define ORVANE_API __attribute__((visibility("default")))
#else
#define ORVANE_API
#endif

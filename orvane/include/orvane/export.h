// ORVANE_API marks the names that liborvane exports. Its sources are compiled with
// ORVANE_BUILDING, which gives these names default visibility; users see plain declarations.
#pragma once

#if defined(ORVANE_BUILDING)
#define ORVANE_API __attribute__((visibility("default")))
#else
#define ORVANE_API
#endif

// The CGATS reader's file reading with a block size of the caller's choice: ReadCgats reads
// 1 MiB at a time; the fuzz target reads small inputs in small blocks, so that lines and
// numbers fall across block boundaries.
#pragma once

#include <cstddef>
#include <string>

#include "vantrel/measure.h"

namespace vantrel::measure {

MeasurementSet ReadCgatsInBlocks(const std::string& path, const ReadOptions& options,
                                 std::size_t block);

}  // namespace vantrel::measure

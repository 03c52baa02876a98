// The default dither-name array (internal).
#pragma once

#include "vantrel/text.h"

namespace vantrel::detail {

// Fills the header and entries 0 to 5 of `pArray` from the dither-name list as the current
// module state resolves it; entries 6 to 31 are left as they were.
void BuildDefaultDitherInfoArray(DITHERINFOARRAY* pArray);

}  // namespace vantrel::detail

// The converter scanner: runs a compiled chain over a NUL-terminated text.
#pragma once

#include "search/saa_node.h"

namespace qx::search {

// The start of the first match of the chain at `root` in `text`, or null;
// the match length is left in root->matchLength. The root must come from
// Compile<Ch> of the same character type.
template <class Ch>
const Ch* ScanText(SaaNode& root, const Ch* text) noexcept;

}  // namespace qx::search

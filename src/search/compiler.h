// The converter compiler: turns a search string, read literally or in the
// pattern syntax, into a chain of shift-and nodes (see saa_node.h).
#pragma once

#include <cstdint>

#include "search/saa_node.h"

namespace qx::search {

// Compiles `text` as `flags & 3` says. On failure returns null and stores
// QXERR_BADPARAM (empty text, or only '^' in pattern mode) or
// QXERR_NOMEMORY (nothing built is left behind) in `error`.
template <class Ch>
SaaNode* Compile(const Ch* text, std::uint32_t flags, std::uint32_t& error) noexcept;

}  // namespace qx::search

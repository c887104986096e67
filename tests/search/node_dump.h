// A test-only dump of a compiled converter, one line per node in chain
// order: "#n anchored|search [optional] [fromstart] [endanchor] [toend]
// [skip=N] positions... [next=#k] [alt=#k]". A position is its one
// character, or a set in brackets ("[Aa]", "[^a-c]"); an A double-byte
// class node shows its codes in hex ("{8140-8142 4100}").
#pragma once

#include <string>

#include "search/saa_node.h"

namespace qxtest {

std::string DumpConverter(const qx::search::SaaNode* root);

}  // namespace qxtest

// How a searching node skips ahead: the choice of its rarest units (or of a
// small ASCII class), made once its positions are built.
#pragma once

#include <cstdint>

#include "search/saa_node.h"

namespace qx::search {

// What a node's build learned of each position: the units it accepts while
// there are at most two (`count` kMany: more), and whether a class
// position accepts units from 0x80 up.
struct PositionUnits {
  static constexpr std::uint8_t kMany = 3;
  std::uint32_t few[kMaxPositions][2] = {};
  std::uint8_t count[kMaxPositions] = {};
  bool beyondAscii[kMaxPositions] = {};
};

// Fills `node.skip` for a finished searching node; false when memory for
// its rare set runs out.
template <class Ch>
bool ChooseSkipAhead(SaaNode& node, const PositionUnits& units) noexcept;

}  // namespace qx::search

// The tables of the block codecs, flat so that a character takes one
// lookup. They are built on first use, not at load, and only their
// entries that hold a character are ever written: of their 384 KB, 156 KB
// of pages are touched, and only by a program that converts.
#pragma once

#include <array>
#include <cstdint>

namespace qx::jcode::block {

// A block decoder's key is a single byte itself, or a pair's first byte
// and second byte as the high and low byte; every 16-bit key has an entry.
// 0 is no character, so NUL is left to the scalar codecs.
struct BlockTables {
  std::array<char16_t, 0x10000> sjis;
  std::array<char16_t, 0x10000> euc;
  // Code page 932 by character: a single byte, or lead byte << 8 and
  // second byte.
  std::array<std::uint16_t, 0x10000> cp932;
};

void BuildTables(BlockTables& tables) noexcept;

// Inline, so that a block costs a test of the guard, not a call.
inline const BlockTables& Tables() noexcept {
  static const BlockTables* const tables = [] {
    static BlockTables built;
    BuildTables(built);
    return &built;
  }();
  return *tables;
}

}  // namespace qx::jcode::block

// The tables of the block codecs, flat so that a character takes one
// lookup. They are built on first use, not at load, and only their
// entries that hold a character are ever written: of their 896 KB, about
// 330 KB of pages are touched, and only by a program that converts.
#pragma once

#include <array>
#include <cstdint>

namespace qx::jcode::block {

// A block decoder's key is a single byte itself, or a pair's first byte
// and second byte as the high and low byte; every 16-bit key has an entry.
//
// The UTF-8 of a character lies in a four-byte slot as
// utf8_block_encode.h lays it out: a character of three bytes in bytes
// 0-2, of two bytes in bytes 1-2, of one in byte 3, with 1 in byte 2 so
// that NUL is not 0. Byte 0 of a slot is 0 unless the character takes
// three bytes, and byte 1 unless it takes two or more, so their top bits
// count the bytes past the first (SlotLength).
struct BlockTables {
  // Units by key; 0 is NUL at key 0 and no character at any other.
  std::array<char16_t, 0x10000> sjis;
  std::array<char16_t, 0x10000> euc;
  // Code page 932 by unit: lead byte << 8 and second byte, or 0xFF00 and
  // a single byte (no lead byte is 0xFF); 0 is no code.
  std::array<std::uint16_t, 0x10000> cp932;
  // Slots by key; 0 is no character.
  std::array<std::uint32_t, 0x10000> sjisUtf8;
  std::array<std::uint32_t, 0x10000> eucUtf8;
};

// The bytes of UTF-8 in a slot.
constexpr unsigned SlotLength(std::uint32_t slot) {
  return 1 + (slot >> 7 & 1) + (slot >> 15 & 1);
}

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

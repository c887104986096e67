#include "jcode/block_tables.h"

#include "jcode/char_class.h"
#include "jcode/cp932.h"

namespace qx::jcode::block {
namespace {

std::uint32_t Utf8Slot(char16_t u) {
  if (u < 0x80) return std::uint32_t{u} << 24 | 1u << 16;
  if (u < 0x800) return (0xC0u | u >> 6) << 8 | (0x80u | (u & 0x3F)) << 16;
  return (0xE0u | u >> 12) | (0x80u | (u >> 6 & 0x3F)) << 8 | (0x80u | (u & 0x3F)) << 16;
}

}  // namespace

void BuildTables(BlockTables& t) noexcept {
  for (unsigned b = 1; b < 0x100; ++b) {
    if (!IsSjisLead(static_cast<unsigned char>(b)))
      t.sjis[b] = Cp932Single(static_cast<unsigned char>(b));
  }
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const char16_t c =
          Cp932Pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (c != 0) t.sjis[lead << 8 | trail] = c;
    }
  }

  for (unsigned b = 1; b < 0x80; ++b)
    t.euc[b] = static_cast<char16_t>(b);
  for (unsigned cell = 0x21; cell < 0x60; ++cell)
    t.euc[0x8E80 | cell] = static_cast<char16_t>(0xFF61 + cell - 0x21);
  for (unsigned j1 = 0x21; j1 < 0x7F; ++j1) {
    for (unsigned j2 = 0x21; j2 < 0x7F; ++j2) {
      const char16_t c =
          Cp932JisPair(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      if (c >= 0x80) t.euc[(j1 | 0x80) << 8 | j2 | 0x80] = c;
    }
  }

  for (unsigned key = 0; key < 0x10000; ++key) {
    if (key == 0 || t.sjis[key] != 0) t.sjisUtf8[key] = Utf8Slot(t.sjis[key]);
    if (key == 0 || t.euc[key] != 0) t.eucUtf8[key] = Utf8Slot(t.euc[key]);
  }

  for (unsigned u = 0; u < 0x10000; ++u) {
    const std::uint16_t code = u < 0x80 ? static_cast<std::uint16_t>(u) : Cp932Code(u);
    if (code >= 0x100)
      t.cp932[u] = code;
    else if (code != 0 || u == 0)
      t.cp932[u] = static_cast<std::uint16_t>(0xFF00 | code);
  }
}

}  // namespace qx::jcode::block

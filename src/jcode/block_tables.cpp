#include "jcode/block_tables.h"

#include <cstring>

#include "jcode/char_class.h"
#include "jcode/cp932.h"
#include "jcode/text_codecs.h"

namespace qx::jcode::block {
namespace {

// The UTF-8 of u, as the scalar encoder writes it, laid out in a slot:
// two or three bytes end at byte 2, one byte stands at byte 3.
std::uint32_t Utf8Slot(char16_t u) {
  unsigned char bytes[4], slot[4] = {};
  const auto size = static_cast<std::size_t>(codec::Utf8Encoder::Write(u, bytes) - bytes);
  if (size == 1) {
    slot[2] = 1;
    slot[3] = bytes[0];
  } else {
    std::memcpy(slot + 3 - size, bytes, size);
  }
  return slot[0] | slot[1] << 8 | slot[2] << 16 | std::uint32_t{slot[3]} << 24;
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

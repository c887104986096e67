// UTF-8 after Unicode's table of well-formed sequences, for the decoder
// and the detector alike.
#pragma once

#include <array>

namespace qx::jcode {

// The length of a sequence by its first byte (0: no sequence starts with
// it), and the range its second byte must be in (the later ones are
// 0x80-0xBF). The ranges rule out overlong forms, surrogates and values
// past U+10FFFF.
struct Utf8Lead {
  unsigned char length, low, high;
};

constexpr Utf8Lead LeadOf(unsigned c) {
  if (c >= 0xC2 && c <= 0xDF) return {2, 0x80, 0xBF};
  if (c == 0xE0) return {3, 0xA0, 0xBF};
  if (c == 0xED) return {3, 0x80, 0x9F};
  if (c >= 0xE1 && c <= 0xEF) return {3, 0x80, 0xBF};
  if (c == 0xF0) return {4, 0x90, 0xBF};
  if (c >= 0xF1 && c <= 0xF3) return {4, 0x80, 0xBF};
  if (c == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

constexpr auto kUtf8Lead = [] {
  std::array<Utf8Lead, 256> lead{};
  for (unsigned c = 0; c < 256; ++c)
    lead[c] = LeadOf(c);
  return lead;
}();

}  // namespace qx::jcode

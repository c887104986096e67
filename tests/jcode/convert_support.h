// Conversion through the export with the checks every test wants: the
// source in a heap block of exactly its size, the output buffer sized at
// the documented bound with a guard region behind it that must stay
// untouched, and the result equal to the length written.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "qxdll32.h"

namespace qxtest {

inline constexpr unsigned char kGuardByte = 0xCC;
inline constexpr std::size_t kGuardSize = 16;

inline std::size_t ConvertBound(int dstCode, std::size_t srcLength) {
  return dstCode == QXJCODE_JIS ? srcLength * 4 + 4 : srcLength + 1;
}

inline std::string Convert(const std::string& src, int srcCode, int dstCode) {
  auto in = std::make_unique<char[]>(src.size() + 1);
  std::memcpy(in.get(), src.c_str(), src.size() + 1);
  const std::size_t bound = ConvertBound(dstCode, src.size());
  std::string out(bound + kGuardSize, static_cast<char>(kGuardByte));
  const int written = qxConvertJpnCode(out.data(), dstCode, in.get(), srcCode);
  const std::size_t length = std::strlen(out.c_str());
  EXPECT_EQ(static_cast<std::size_t>(written), length) << "result is the length written";
  EXPECT_LT(length, bound) << "output within the documented bound";
  for (std::size_t i = length + 1; i < out.size(); ++i) {
    if (static_cast<unsigned char>(out[i]) != kGuardByte) {
      ADD_FAILURE() << "byte " << i << " written past the terminator at " << length;
      break;
    }
  }
  out.resize(length);
  return out;
}

// JIS X 0208 (j1, j2) in Shift_JIS, by rows and cells: an oracle written
// apart from the library's tables.
inline std::string SjisOf(unsigned j1, unsigned j2) {
  const unsigned row = j1 - 0x20;
  const unsigned cell = j2 - 0x20;
  const unsigned s1 = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
  const unsigned s2 = row % 2 == 1 ? cell + 0x3F + (cell >= 64 ? 1 : 0) : cell + 0x9E;
  return {static_cast<char>(s1), static_cast<char>(s2)};
}

}  // namespace qxtest

// The hardening sweep's rows and checks: one row per call, run with a
// known value in the library error code, then checked for its result, the
// code it leaves, and the guard bytes around every output buffer it got.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qxdll32.h"
#include "support/test_support.h"

namespace qxtest {

// A row that must leave the error code as it found it.
inline constexpr QXDWORD kUntouched = 0xFFFFFFFFu;

// One call of the sweep: `call` returns the export's result as an integer
// (pointers compared against `want` as addresses).
struct Row {
  std::string what;
  std::function<std::uintptr_t()> call;
  std::uintptr_t want;
  QXDWORD wantError;  // a QXERR_ value, or kUntouched
};

// Runs a row after priming the error code with a value it must change, or
// (for kUntouched) with both values the sweep can prime.
inline void RunRow(const Row& row) {
  SCOPED_TRACE(row.what);
  if (row.wantError == kUntouched) {
    for (QXDWORD primed : {QXERR_BADPARAM, QXERR_NONE}) {
      PrimeErrCode(primed);
      EXPECT_EQ(row.call(), row.want);
      EXPECT_EQ(qxGetErrCode(), primed) << "the error code must be left alone";
    }
    return;
  }
  PrimeErrCode(row.wantError == QXERR_BADPARAM ? QXERR_NONE : QXERR_BADPARAM);
  EXPECT_EQ(row.call(), row.want);
  EXPECT_EQ(qxGetErrCode(), row.wantError);
}

inline void RunRows(const std::vector<Row>& rows) {
  for (const Row& row : rows)
    RunRow(row);
}

template <class T>
std::uintptr_t Addr(T* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// An output buffer of `n` units between two runs of guard units; the
// buffer itself starts poisoned so unwritten units can be told apart.
template <class Ch>
class Guarded {
 public:
  static constexpr std::size_t kGuard = 32;
  static constexpr Ch kGuardUnit = static_cast<Ch>(0xA5);
  static constexpr Ch kPoison = static_cast<Ch>(0x5A);

  explicit Guarded(std::size_t n) : n_(n), units_(n + 2 * kGuard, kGuardUnit) {
    for (std::size_t i = 0; i < n; ++i)
      units_[kGuard + i] = kPoison;
  }
  Ch* get() { return units_.data() + kGuard; }
  std::size_t size() const { return n_; }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i) {
      if (units_[i] != kGuardUnit || units_[kGuard + n_ + i] != kGuardUnit) return false;
    }
    return true;
  }
  bool Untouched() const {
    for (std::size_t i = 0; i < n_; ++i) {
      if (units_[kGuard + i] != kPoison) return false;
    }
    return GuardsIntact();
  }
  std::basic_string<Ch> Text() const { return std::basic_string<Ch>(units_.data() + kGuard); }

 private:
  std::size_t n_;
  std::vector<Ch> units_;
};

// Path lengths the sweep tries: around the 1024-unit working buffers, a
// page, and (W only) the longest path Windows names.
inline constexpr std::size_t kLongA[] = {1023, 1024, 4096};
inline constexpr std::size_t kLongW[] = {1023, 1024, 4096, 32767};

// `length` units: `head`, then 'a' up to the length.
inline std::string LongA(const std::string& head, std::size_t length) {
  std::string s = head;
  s.resize(length, 'a');
  return s;
}
inline WString LongW(const std::string& head, std::size_t length) {
  WString s = Widen(head);
  s.resize(length, QXWCHAR('a'));
  return s;
}

}  // namespace qxtest

// The converter exports of one form behind one name, so each test row runs
// through A and W alike.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "qxdll32.h"
#include "support/test_support.h"

namespace qxtest {

struct AnsiForm {
  using Ch = char;
  static constexpr const char* kName = "A";
  static std::string Make(const std::string& s) { return s; }
  static QXHCVT Create(const Ch* text, QXDWORD flags) { return qxSaaCreateCvtA(text, flags); }
  static Ch* Scan(QXHCVT cvt, const Ch* text) { return qxSaaScanStringA(cvt, text); }
  static Ch* GrepEx(const Ch* text, const Ch* pattern, QXBOOL fold, QXDWORD* length) {
    return qxGrepExA(text, pattern, fold, length);
  }
  static Ch* Grep(const Ch* text, const Ch* pattern) { return qxGrepA(text, pattern); }
};

struct WideForm {
  using Ch = QXWCHAR;
  static constexpr const char* kName = "W";
  static WString Make(const std::string& s) { return Widen(s); }
  static QXHCVT Create(const Ch* text, QXDWORD flags) { return qxSaaCreateCvtW(text, flags); }
  static Ch* Scan(QXHCVT cvt, const Ch* text) { return qxSaaScanStringW(cvt, text); }
  static Ch* GrepEx(const Ch* text, const Ch* pattern, QXBOOL fold, QXDWORD* length) {
    return qxGrepExW(text, pattern, fold, length);
  }
  static Ch* Grep(const Ch* text, const Ch* pattern) { return qxGrepW(text, pattern); }
};

// A UTF-16 literal as the W forms' string type (wchar_t on Windows).
inline WString FromU16(const std::u16string& s) {
  return WString(s.begin(), s.end());
}

// The string in a heap block of exactly its size, so that ASan reports any
// read past the terminator.
template <class Ch>
std::unique_ptr<Ch[]> ExactCopy(const std::basic_string<Ch>& s) {
  auto block = std::make_unique<Ch[]>(s.size() + 1);
  std::memcpy(block.get(), s.c_str(), (s.size() + 1) * sizeof(Ch));
  return block;
}

}  // namespace qxtest

// The A and W registry exports behind one interface, so each test row is
// written once and run through both forms. Arguments are ASCII text (or
// null) and are widened for the W form.
#pragma once

#include <string>

#include "qxdll32.h"

namespace qxtest {

// A string argument that may be null, in the form's character type.
template <class Ch>
class Arg {
 public:
  Arg(const char* s) : null_(s == nullptr) {  // NOLINT: implicit on purpose
    if (s != nullptr)
      for (; *s != 0; ++s)
        text_ += static_cast<Ch>(static_cast<unsigned char>(*s));
  }
  Arg(const std::string& s) : Arg(s.c_str()) {}  // NOLINT
  operator const Ch*() const { return null_ ? nullptr : text_.c_str(); }
  const std::basic_string<Ch>& text() const { return text_; }

 private:
  std::basic_string<Ch> text_;
  bool null_;
};

struct AForm {
  using Ch = char;
  using A = Arg<char>;
  static QXBOOL Find(HKEY r, A k, A s) { return qxRegFindKeyA(r, k, s); }
  static QXBOOL GetStr(HKEY r, A k, A s, A n, Ch* b, DWORD z) {
    return qxRegGetStrValueA(r, k, s, n, b, z);
  }
  static QXBOOL GetDword(HKEY r, A k, A s, A n, DWORD* v) {
    return qxRegGetDwordValueA(r, k, s, n, v);
  }
  static QXBOOL GetBin(HKEY r, A k, A s, A n, BYTE* b, DWORD z) {
    return qxRegGetBinValueA(r, k, s, n, b, z);
  }
  static QXBOOL SetStr(HKEY r, A k, A s, A n, A t) {
    return qxRegSetKeyAndStrValueA(r, k, s, n, t);
  }
  static QXBOOL SetDword(HKEY r, A k, A s, A n, DWORD v) {
    return qxRegSetKeyAndDwordValueA(r, k, s, n, v);
  }
  static QXBOOL SetBin(HKEY r, A k, A s, A n, const BYTE* d, DWORD z) {
    return qxRegSetKeyAndBinValueA(r, k, s, n, d, z);
  }
  static QXBOOL Delete(HKEY r, A k) { return qxRegDeleteKeyA(r, k); }
  static HRESULT Register(const GUID* c, DWORD f, A p, A d, A pi, A vi, DWORD m, const GUID* t,
                          DWORD v) {
    return qxRegisterServerA(c, f, p, d, pi, vi, m, t, v);
  }
  static HRESULT Unregister(const GUID* c, A pi, A vi) { return qxUnregisterServerA(c, pi, vi); }
  static HRESULT GuidText(const GUID* g, Ch* b, int z) { return qxStringFromGuidA(g, b, z); }
};

struct WForm {
  using Ch = QXWCHAR;
  using A = Arg<QXWCHAR>;
  static QXBOOL Find(HKEY r, A k, A s) { return qxRegFindKeyW(r, k, s); }
  static QXBOOL GetStr(HKEY r, A k, A s, A n, Ch* b, DWORD z) {
    return qxRegGetStrValueW(r, k, s, n, b, z);
  }
  static QXBOOL GetDword(HKEY r, A k, A s, A n, DWORD* v) {
    return qxRegGetDwordValueW(r, k, s, n, v);
  }
  static QXBOOL GetBin(HKEY r, A k, A s, A n, BYTE* b, DWORD z) {
    return qxRegGetBinValueW(r, k, s, n, b, z);
  }
  static QXBOOL SetStr(HKEY r, A k, A s, A n, A t) {
    return qxRegSetKeyAndStrValueW(r, k, s, n, t);
  }
  static QXBOOL SetDword(HKEY r, A k, A s, A n, DWORD v) {
    return qxRegSetKeyAndDwordValueW(r, k, s, n, v);
  }
  static QXBOOL SetBin(HKEY r, A k, A s, A n, const BYTE* d, DWORD z) {
    return qxRegSetKeyAndBinValueW(r, k, s, n, d, z);
  }
  static QXBOOL Delete(HKEY r, A k) { return qxRegDeleteKeyW(r, k); }
  static HRESULT Register(const GUID* c, DWORD f, A p, A d, A pi, A vi, DWORD m, const GUID* t,
                          DWORD v) {
    return qxRegisterServerW(c, f, p, d, pi, vi, m, t, v);
  }
  static HRESULT Unregister(const GUID* c, A pi, A vi) { return qxUnregisterServerW(c, pi, vi); }
  static HRESULT GuidText(const GUID* g, Ch* b, int z) { return qxStringFromGuidW(g, b, z); }
};

}  // namespace qxtest

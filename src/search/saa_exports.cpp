// Exports of the converter functions and the one-call grep: argument and
// handle checks and the library error code around the compiler and scanner.
#include "frame/error_code.h"
#include "frame/handle_record.h"
#include "search/compiler.h"
#include "search/scanner.h"
#include "search/search_char.h"

namespace {

using qx::search::Form;
using qx::search::SaaNode;
using qx::search::SearchChar;

template <class Ch>
QXHCVT CreateCvt(const Ch* text, QXDWORD flags) noexcept {
  if (text == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return nullptr;
  }
  std::uint32_t error = QXERR_NONE;
  SaaNode* root = qx::search::Compile(text, flags, error);
  if (root == nullptr) qx::SetErrCode(error);
  return reinterpret_cast<QXHCVT>(root);
}

// A converter is scanned only by the form that built it; the other form's
// scan would read the wrong kind of table.
template <class Ch>
Ch* ScanString(QXHCVT cvt, const Ch* text) noexcept {
  SaaNode* root = qx::RecordOf<SaaNode>(cvt, qx::kSigConverter);  // the root node
  if (root == nullptr) return nullptr;
  if (root->form != SearchChar<Ch>::kForm) {
    qx::SetErrCode(QXERR_BADHANDLE);
    return nullptr;
  }
  if (text == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return nullptr;
  }
  qx::SetErrCode(QXERR_NONE);
  return const_cast<Ch*>(qx::search::ScanText(*root, text));
}

template <class Ch>
Ch* GrepEx(const Ch* text, const Ch* pattern, QXBOOL ignoreCase, QXDWORD* length) noexcept {
  if (text == nullptr || pattern == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return nullptr;
  }
  std::uint32_t error = QXERR_NONE;
  const qx::search::unique_chain root(qx::search::Compile(
      pattern, ignoreCase != 0 ? QXSAA_PATTERN | QXSAA_NOCASE : QXSAA_PATTERN, error));
  if (!root) {
    qx::SetErrCode(error);
    return nullptr;
  }
  qx::SetErrCode(QXERR_NONE);
  const Ch* match = qx::search::ScanText(*root.get(), text);
  if (length != nullptr) *length = root.get()->matchLength;
  return const_cast<Ch*>(match);
}

}  // namespace

extern "C" QXHCVT QXAPI qxSaaCreateCvtA(const char* text, QXDWORD flags) {
  return CreateCvt(text, flags);
}

extern "C" QXHCVT QXAPI qxSaaCreateCvtW(const QXWCHAR* text, QXDWORD flags) {
  return CreateCvt(text, flags);
}

extern "C" QXBOOL QXAPI qxSaaCloseCvt(QXHCVT cvt) {
  SaaNode* root = qx::RecordOf<SaaNode>(cvt, qx::kSigConverter);
  if (root == nullptr) return 0;
  if (!qx::search::FreeChain(root)) {
    qx::SetErrCode(QXERR_BADHANDLE);
    return 0;
  }
  return 1;
}

extern "C" char* QXAPI qxSaaScanStringA(QXHCVT cvt, const char* text) {
  return ScanString(cvt, text);
}

extern "C" QXWCHAR* QXAPI qxSaaScanStringW(QXHCVT cvt, const QXWCHAR* text) {
  return ScanString(cvt, text);
}

extern "C" QXDWORD QXAPI qxSaaGetMatchLength(QXHCVT cvt) {
  const SaaNode* root = qx::RecordOf<SaaNode>(cvt, qx::kSigConverter);
  return root != nullptr ? root->matchLength : 0xFFFFFFFFu;
}

extern "C" char* QXAPI qxGrepExA(const char* text, const char* pattern, QXBOOL ignoreCase,
                                 QXDWORD* length) {
  return GrepEx(text, pattern, ignoreCase, length);
}

extern "C" QXWCHAR* QXAPI qxGrepExW(const QXWCHAR* text, const QXWCHAR* pattern, QXBOOL ignoreCase,
                                    QXDWORD* length) {
  return GrepEx(text, pattern, ignoreCase, length);
}

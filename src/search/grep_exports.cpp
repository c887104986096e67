// Exports of the small pattern matcher.
#include "frame/error_code.h"
#include "search/pattern_match.h"

namespace {

template <class Ch>
Ch* Grep(const Ch* text, const Ch* pattern) noexcept {
  if (text == nullptr || pattern == nullptr) {
    qx::SetErrCode(QXERR_BADPARAM);
    return nullptr;
  }
  return const_cast<Ch*>(qx::search::PatternMatcher<Ch>(pattern).Find(text));
}

}  // namespace

extern "C" char* QXAPI qxGrepA(const char* text, const char* pattern) {
  return Grep(text, pattern);
}

extern "C" QXWCHAR* QXAPI qxGrepW(const QXWCHAR* text, const QXWCHAR* pattern) {
  return Grep(text, pattern);
}

// What every test program shares: the A and W exports behind one name, text
// in either form's units, one-line checks of a call's result and the library
// error code it leaves, and a scratch folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include <gtest/gtest.h>

#include "qxdll32.h"

namespace qxtest {

template <class Ch>
using Str = std::basic_string<Ch>;

// Bytes as the form's units: unchanged for A, one UTF-16 unit per byte for W
// (ASCII and Latin-1 rows).
template <class Ch>
Str<Ch> S(std::string_view bytes) {
  Str<Ch> out;
  for (unsigned char c : bytes)
    out += static_cast<Ch>(c);
  return out;
}

// A row's text in both forms: code-page bytes for A (Shift_JIS in rows that
// need code page 932) and the same text in UTF-16 for W; without `w` the
// W text is `a` widened byte by byte.
struct Both {
  std::string_view a;
  std::u16string_view w = {};
};

template <class Ch>
Str<Ch> S(const Both& text) {
  if constexpr (std::is_same_v<Ch, char>)
    return Str<Ch>(text.a);
  else if (text.w.empty())
    return S<Ch>(text.a);
  else
    return Str<Ch>(text.w.begin(), text.w.end());
}

// A string argument that may be null, in the form's units.
template <class Ch>
class Arg {
 public:
  Arg(const char* s) : null_(s == nullptr) {  // NOLINT: implicit on purpose
    if (s != nullptr) text_ = S<Ch>(s);
  }
  Arg(const std::string& s) : text_(S<Ch>(s)), null_(false) {}  // NOLINT
  Arg(const Both& s) : text_(S<Ch>(s)), null_(false) {}         // NOLINT
  operator const Ch*() const { return null_ ? nullptr : text_.c_str(); }

 private:
  Str<Ch> text_;
  bool null_;
};

// Every export that comes as an A/W pair, by its name without the suffix:
// Form<char>::ScanFileName is qxScanFileNameA, Form<QXWCHAR>::ScanFileName
// is qxScanFileNameW.
// clang-format off
#define QXTEST_PORTABLE_PAIRS(X)                                                     \
  X(ScanFileName) X(ScanExtName) X(ControlRightPath) X(ControlRightUrl)              \
  X(SaaCreateCvt) X(SaaScanString) X(GrepEx) X(Grep) X(OpenTextFile) X(ReadTextFile) \
  X(MakeUniqPath) X(RenameFile) X(MakeDirectories) X(SetFileTime)                    \
  X(FigureSepStr) X(FigureSepInt32) X(FigureSepInt64)
#if defined(_WIN32)
#undef RegDeleteKey  // <windows.h>'s A/W switch would rename the forwarder
#define QXTEST_WINDOWS_PAIRS(X)                                                      \
  X(RegFindKey) X(RegGetStrValue) X(RegGetDwordValue) X(RegGetBinValue)              \
  X(RegSetKeyAndStrValue) X(RegSetKeyAndDwordValue) X(RegSetKeyAndBinValue)          \
  X(RegDeleteKey) X(StringFromGuid) X(RegisterServer) X(UnregisterServer)            \
  X(CreateFileOp) X(OperateFileOp) X(BrowseFolder)
#else
#define QXTEST_WINDOWS_PAIRS(X)
#endif
#define QXTEST_FORWARD(suffix, name) \
  template <class... Args>           \
  static auto name(Args... args) {   \
    return qx##name##suffix(args...);\
  }
#define QXTEST_FORWARD_A(name) QXTEST_FORWARD(A, name)
#define QXTEST_FORWARD_W(name) QXTEST_FORWARD(W, name)
// clang-format on

template <class Ch>
struct Form;
template <>
struct Form<char> {
  QXTEST_PORTABLE_PAIRS(QXTEST_FORWARD_A)
  QXTEST_WINDOWS_PAIRS(QXTEST_FORWARD_A)
};
template <>
struct Form<QXWCHAR> {
  QXTEST_PORTABLE_PAIRS(QXTEST_FORWARD_W)
  QXTEST_WINDOWS_PAIRS(QXTEST_FORWARD_W)
};

// Typed suites over both forms, named A and W in the output:
//   template <class Ch> class Names : public ::testing::Test {};
//   TYPED_TEST_SUITE(Names, qxtest::Forms, qxtest::FormName);
using Forms = ::testing::Types<char, QXWCHAR>;
struct FormName {
  template <class Ch>
  static std::string GetName(int) {
    return std::is_same_v<Ch, char> ? "A" : "W";
  }
};

// The ANSI code page the library built its tables from.
unsigned ActiveCodePage();
inline bool Cp932() {
  return ActiveCodePage() == 932;
}

// Puts a known value in the library error code through public calls:
// QXERR_BADPARAM (a failing call) or QXERR_NONE (a clearing call).
void PrimeErrCode(QXDWORD code);

// The value to prime before a call that must set `code`: one it must change.
inline QXDWORD OtherThan(QXDWORD code) {
  return code == QXERR_BADPARAM ? QXERR_NONE : QXERR_BADPARAM;
}

// A pointer result as an address, so that rows can compare any result kind.
template <class T>
std::uintptr_t Addr(T* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// The string in a heap block of exactly its size, so that the sanitizers
// report any read past the terminator.
template <class Ch>
std::unique_ptr<Ch[]> ExactCopy(const Str<Ch>& s) {
  auto block = std::make_unique<Ch[]>(s.size() + 1);
  std::copy(s.c_str(), s.c_str() + s.size() + 1, block.get());
  return block;
}

// The last byte of a readable page whose next page is unreadable, for
// checks that a call reads nothing past a terminator there.
char* PageEnd();

// A scratch folder under the temporary folder, deleted first and after.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // A path below the folder as a caller spells it, with backslashes.
  std::string A(const std::string& relative = "") const;
  std::filesystem::path Fs(const std::string& relative) const;
  void Write(const std::string& relative, std::string_view content = "x") const;
  std::string Read(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

}  // namespace qxtest

// Checks that `call` fails: primes the error code with a value the call must
// change, then compares the result with `result` and the code with `code`.
#define EXPECT_QXFAIL(call, result, code)                               \
  do {                                                                  \
    const QXDWORD qxtest_code_ = (code);                                \
    qxtest::PrimeErrCode(qxtest::OtherThan(qxtest_code_));              \
    EXPECT_EQ((call), (result)) << #call;                               \
    EXPECT_EQ(qxGetErrCode(), qxtest_code_) << #call << ": error code"; \
  } while (0)

// Checks that `call` succeeds with `result` and leaves the error code alone.
#define EXPECT_QXOK(call, result)                                                    \
  do {                                                                               \
    qxtest::PrimeErrCode(QXERR_BADPARAM);                                            \
    EXPECT_EQ((call), (result)) << #call;                                            \
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << #call << " changed the error code"; \
  } while (0)

// The frame's queries and code-page tables, checked against the platform's
// own answers for the code page this run got, and the last-error box.
#include <gtest/gtest.h>

#include <string>

#include "support/qxtest.h"
#if defined(_WIN32)
#include "support/modal.h"
#else
#include "platform/win32_api.h"
#endif

namespace {

const QXDWORD g_codeAtLoad = qxGetErrCode();  // before any test runs

TEST(Frame, VersionAndErrorCode) {
  EXPECT_EQ(g_codeAtLoad, QXERR_NONE);
  EXPECT_QXOK(qxGetVersion(), 113u);
  EXPECT_QXOK(qxGetErrCode(), QXERR_BADPARAM);  // reading it does not clear it
}

// The byte that a case-folding search for byte c also finds, c when none:
// the case-flip table's entry for c, as the search compiler uses it.
unsigned Flip(unsigned c) {
  std::string text;
  for (unsigned b = 1; b < 256; ++b)
    if (b != c && qxGetDBCSLeadTable()[b] == 0) text += static_cast<char>(b);
  const char pattern[] = {static_cast<char>(c), 0};
  const QXHCVT cvt = qxSaaCreateCvtA(pattern, QXSAA_NOCASE);
  const char* found = qxSaaScanStringA(cvt, text.c_str());
  qxSaaCloseCvt(cvt);
  return found != nullptr ? static_cast<unsigned char>(*found) : c;
}
unsigned Platform(LPSTR(WINAPI* convert)(LPSTR), unsigned c) {
  char one[] = {static_cast<char>(c), 0};
  return static_cast<unsigned char>(*convert(one));
}

TEST(Frame, TablesFollowTheCodePage) {
  const unsigned char* lead = qxGetDBCSLeadTable();
  for (unsigned c = 0; c < 256; ++c) {
    const bool sjisLead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    EXPECT_EQ(lead[c], c >= 32 && IsDBCSLeadByte(static_cast<BYTE>(c)) ? 1 : 0) << c;
    EXPECT_EQ(lead[c], qxtest::Cp932() && sjisLead ? 1 : 0) << c;
    const unsigned lower = Platform(CharLowerA, c), upper = Platform(CharUpperA, c);
    EXPECT_EQ(c == 0 ? 0 : Flip(c), c < 32 || lead[c] != 0 ? c : lower != c ? lower : upper) << c;
  }
  // Windows-1252 letters (byte, other case): A grave, thorn, S caron, Y diaeresis, and
  // sharp s, which has no single-byte capital.
  for (unsigned pair : {0xC0E0u, 0xFEDEu, 0x8A9Au, 0xFF9Fu, 0xDFDFu})
    EXPECT_EQ(Flip(pair >> 8), qxtest::Cp932() ? pair >> 8 : pair & 0xFF) << (pair >> 8);
}

#if defined(_WIN32)
// A message box with the system's text for the thread's last error, owned by
// the given window; the library error code is left alone.
TEST(Frame, DispLastErrorShowsTheSystemMessage) {
  const HWND window =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  for (const HWND owner : {HWND{}, window}) {
    const DWORD code = owner == nullptr ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0,
                   nullptr);
    std::string seen;
    qxtest::ModalWatcher watcher([&](HWND box) {
      seen = qxtest::WindowText(box) + "|" + qxtest::StaticTexts(box);
      EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
      qxtest::Press(box, IDOK);
    });
    qxtest::PrimeErrCode(QXERR_BADPARAM);
    SetLastError(code);
    qxDispLastError(owner);
    EXPECT_EQ(seen, "LastError : " + std::to_string(code) + "|" + text + "|");
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    LocalFree(text);
  }
  DestroyWindow(window);
}
#endif

}  // namespace

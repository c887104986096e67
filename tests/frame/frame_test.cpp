// The frame's queries and code-page tables, checked against the letters of
// the code page this run got, and the last-error box.
#include "support/qxtest.h"
#if defined(_WIN32)
#include "support/modal.h"
#endif

namespace {

const QXDWORD g_codeAtLoad = qxGetErrCode();  // before any test runs

// The byte that a case-folding search for byte c also finds, c when none:
// the case-flip table's entry for c, as the search compiler uses it.
unsigned Flip(unsigned c) {
  std::string text;
  for (unsigned b = 1; b < 256; ++b)
    if (b != c && qxGetDBCSLeadTable()[b] == 0) text += static_cast<char>(b);
  const QXHCVT cvt = qxSaaCreateCvtA(std::string(1, static_cast<char>(c)).c_str(), QXSAA_NOCASE);
  const char* found = qxSaaScanStringA(cvt, text.c_str());
  qxSaaCloseCvt(cvt);
  return found != nullptr ? static_cast<unsigned char>(*found) : c;
}
// The byte's other case in the run's code page, c when it has none: ASCII
// letters, and in Windows-1252 also S/Z caron, OE, Y diaeresis and the
// accented letters (sharp s has no single-byte capital).
unsigned OtherCase(unsigned c) {
  if (qxtest::Cp932() || c < 0x80) return (c | 0x20) - 'a' < 26 ? c ^ 0x20 : c;  // ASCII letters
  if ((c & 0xE9) == 0x88 && c != 0x98 && c != 0x88) return c ^ 0x10;  // 8A 8C 8E 9A 9C 9E
  if (c == 0x9F || c == 0xFF) return c ^ 0x60;
  return c >= 0xC0 && c != 0xD7 && c != 0xF7 && c != 0xDF ? c ^ 0x20 : c;
}

TEST(Frame, VersionErrorCodeAndTables) {
  EXPECT_EQ(g_codeAtLoad, QXERR_NONE);
  EXPECT_QXOK(qxGetVersion(), 113u);
  EXPECT_QXOK(qxGetErrCode(), QXERR_BADPARAM);  // reading it does not clear it
  // The tables follow the code page this run got.
  const unsigned char* lead = qxGetDBCSLeadTable();
  for (unsigned c = 0; c < 256; ++c) {
    const bool sjisLead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    EXPECT_EQ(lead[c], qxtest::Cp932() && sjisLead ? 1 : 0) << c;
    EXPECT_EQ(c == 0 ? 0 : Flip(c), OtherCase(c)) << c;
  }
}

#if defined(_WIN32)
// A message box with the system's text for the thread's last error, owned by
// the given window; the library error code is left alone.
TEST(Frame, DispLastErrorShowsTheSystemMessage) {
  const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, 0);
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
    EXPECT_QXOK((SetLastError(code), qxDispLastError(owner), seen),
                "LastError : " + std::to_string(code) + "|" + text + "|");
    LocalFree(text);
  }
  DestroyWindow(window);
}
#endif

}  // namespace

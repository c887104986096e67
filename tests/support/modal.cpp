#include "support/modal.h"

#include <cstring>

namespace qxtest {
namespace {

// The watcher's state (hooks and timer procedures take no user data): the
// answer, empty when no watcher lives, and the dialog it found.
ModalWatcher::Answer g_answer;
HWND g_dialog = nullptr;

bool IsDialogClass(HWND hwnd) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return std::strcmp(cls, "#32770") == 0;
}

// A thread timer's message is only retrieved once the thread waits in its
// message loop, which a modal dialog enters after WM_INITDIALOG and showing.
void CALLBACK AnswerNow(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_answer && g_dialog != nullptr) g_answer(g_dialog);
}

LRESULT CALLBACK OnCbt(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_answer && g_dialog == nullptr) {
    const auto hwnd = reinterpret_cast<HWND>(wparam);
    if (IsDialogClass(hwnd) && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
      g_dialog = hwnd;
      SetTimer(nullptr, 0, 0, AnswerNow);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

ModalWatcher::ModalWatcher(Answer answer, DWORD thread) {
  g_answer = std::move(answer), g_dialog = nullptr;
  hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, thread);
}

ModalWatcher::~ModalWatcher() {
  UnhookWindowsHookEx(hook_);
  g_answer = nullptr;
}

HWND FindDialog(const std::function<bool(HWND)>& match) {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && match(w)) return w;
  }
  return nullptr;
}

std::string WindowText(HWND hwnd) {
  char text[1024] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string StaticTexts(HWND dialog) {
  std::string texts;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        char cls[16] = {};
        GetClassNameA(child, cls, sizeof cls);
        const std::string text = WindowText(child);
        if (lstrcmpiA(cls, "Static") == 0 && !text.empty())
          *reinterpret_cast<std::string*>(param) += text + "|";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void Press(HWND dialog, int buttonId) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

}  // namespace qxtest

#include "support/modal.h"

#include <cstring>

namespace qxtest {
namespace {

// The watcher's state: hooks and timer procedures take no user data.
struct Watch {
  ModalWatcher::Answer answer;
  HWND dialog = nullptr;
};
Watch* g_watch = nullptr;

bool IsDialogClass(HWND hwnd) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return std::strcmp(cls, "#32770") == 0;
}

// A thread timer's message is only retrieved once the thread waits in its
// message loop, which a modal dialog enters after WM_INITDIALOG and showing.
void CALLBACK AnswerNow(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_watch == nullptr || g_watch->dialog == nullptr) return;
  g_watch->answer(g_watch->dialog);
}

LRESULT CALLBACK OnCbt(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_watch != nullptr && g_watch->dialog == nullptr) {
    const auto hwnd = reinterpret_cast<HWND>(wparam);
    if (IsDialogClass(hwnd) && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
      g_watch->dialog = hwnd;
      SetTimer(nullptr, 0, 0, AnswerNow);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

ModalWatcher::ModalWatcher(Answer answer, DWORD thread) {
  g_watch = new Watch{std::move(answer)};
  hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, thread);
}

ModalWatcher::~ModalWatcher() {
  UnhookWindowsHookEx(hook_);
  delete g_watch;
  g_watch = nullptr;
}

HWND FindDialog(const std::function<bool(HWND)>& match) {
  struct Search {
    const std::function<bool(HWND)>& match;
    HWND found;
  } search{match, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != GetCurrentProcessId() || !IsDialogClass(hwnd) || !IsWindowVisible(hwnd) ||
            !s.match(hwnd))
          return TRUE;
        s.found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
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

// Answers the modal windows the library shows (the last-error message box,
// the folder browser, the progress dialog) from inside their own message
// loops: no polling, no sleeps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qxtest {

// While it lives, watches `thread` (by default the calling one) for the next
// top-level dialog window (class "#32770") it activates, and runs `answer`
// on it once that thread's modal loop is running, on that thread: the
// dialog has been initialised and shown by then. One watcher at a time.
class ModalWatcher {
 public:
  using Answer = std::function<void(HWND)>;
  explicit ModalWatcher(Answer answer, DWORD thread = GetCurrentThreadId());
  ~ModalWatcher();
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;

 private:
  HHOOK hook_;
};

// The visible dialog window of this process for which `match` holds, or
// null: for a dialog that already exists, such as the one a file
// operation's handle opened.
HWND FindDialog(const std::function<bool(HWND)>& match);

// A window's text, and every static text of a dialog joined by '|'.
std::string WindowText(HWND hwnd);
std::string StaticTexts(HWND dialog);

// Presses a dialog's button the way a click does (posted, so it also works
// across threads).
void Press(HWND dialog, int buttonId);

}  // namespace qxtest

// The progress dialog procedure. It runs on the dialog thread and learns
// everything from the record while the engine waits in SendMessage; the
// short template lacks the controls from 1007 on, and updates aimed at
// them go to a null window, which ignores them. Only the texts and bar
// positions that differ are set: a control repaints at every change, and
// the engine waits for the repaints of the messages it sends.
#include "fileop/progress_dialog.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fileop/bar_scale.h"
#include "fileop/fileop_record.h"
#include "fileop/window_calls.h"
#include "frame/ascii_literal.h"
#include "qxdll32.h"
#include "resource.h"

namespace qx::fileop {
namespace {

constexpr int kTextSize = 256;  // a line of the dialog, and a loaded string
constexpr int kNumberSize = 128;

// Appends `tail` to the zero-terminated `text` of kTextSize units, cut short
// rather than overrun.
template <class Ch>
void Append(Ch* text, const Ch* tail) noexcept {
  auto at = static_cast<int>(std::char_traits<Ch>::length(text));
  while (*tail != 0 && at < kTextSize - 1)
    text[at++] = *tail++;
  text[at] = 0;
}

// Counts are grouped as 32-bit values, byte counts as 64-bit ones.
template <class Ch, class Int>
Ch* Figure(Int value, Ch* out) noexcept {
  if constexpr (sizeof(Int) == 4) {
    return Win<Ch>::FigureSep(static_cast<int>(value), out, kNumberSize);
  } else {
    return Win<Ch>::FigureSep(static_cast<long long>(value), out, kNumberSize);
  }
}

template <class Ch, class Int>
void AppendNumber(Ch* text, Int value) noexcept {
  Ch number[kNumberSize];
  if (Figure(value, number) != nullptr) Append(text, number);
}

template <class Ch>
class ProgressDialog {
 public:
  ProgressDialog(HWND dialog, FileOpRecord& record) noexcept : dialog_(dialog), record_(record) {}

  void Init() noexcept {
    Win<Ch>::SetUserData(dialog_, reinterpret_cast<LONG_PTR>(&record_));
    for (int i = 0; i < kControlCount; ++i)
      record_.controls[i] = GetDlgItem(dialog_, kFirstControl + i);
    record_.dialogWindow.store(dialog_, std::memory_order_release);
    const bool abortable = (record_.createFlags & QXFOC_NOABORT) == 0;
    HWND abort = Item(IDCANCEL);
    EnableWindow(abort, abortable);
    ShowWindow(abort, abortable ? SW_SHOW : SW_HIDE);
  }

  void Abort() noexcept {
    record_.abortRequested.store(TRUE, std::memory_order_release);
    EnableWindow(Item(IDCANCEL), FALSE);
  }

  void Start() noexcept {
    record_.abortRequested.store(FALSE, std::memory_order_release);
    record_.startPending.store(FALSE, std::memory_order_release);
  }

  void Close() noexcept {
    record_.abortRequested.store(TRUE, std::memory_order_release);
    record_.dialogWindow.store(nullptr, std::memory_order_release);
    EndDialog(dialog_, 0);
  }

  void SetTotals() noexcept {
    if (record_.fileCountTotal != kUnknownCount) {
      record_.fileCountScale = BarScale(record_.fileCountTotal);
      SetRange(IDC_FILEOP_COUNT_BAR, BarUpper(record_.fileCountTotal, record_.fileCountScale));
    } else {
      EnableWindow(Item(IDC_FILEOP_COUNT_BAR), FALSE);
    }
    if (record_.totalBytes != kUnknownBytes) {
      record_.totalBytesScale = BarScale(record_.totalBytes);
      SetRange(IDC_FILEOP_TOTAL_BAR, BarUpper(record_.totalBytes, record_.totalBytesScale));
    } else {
      EnableWindow(Item(IDC_FILEOP_TOTAL_BAR), FALSE);
    }
    ShowCounts();
  }

  void ShowCounts() noexcept {
    ShowDoneOfTotal(IDC_FILEOP_COUNT, IDC_FILEOP_COUNT_PERCENT, IDC_FILEOP_COUNT_BAR,
                    record_.fileCountDone, record_.fileCountTotal, record_.fileCountScale,
                    kUnknownCount);
    ShowDoneOfTotal(IDC_FILEOP_TOTAL, IDC_FILEOP_TOTAL_PERCENT, IDC_FILEOP_TOTAL_BAR,
                    record_.totalBytesDone, record_.totalBytes, record_.totalBytesScale,
                    kUnknownBytes);
  }

  // Caption and names of a new file, and its file line cleared; when the
  // line is shown next in the same message, only what it leaves alone.
  void NewFile(bool lineFollows) noexcept {
    const bool twoNames = (record_.opBits & kOpTwoNames) != 0;
    if (record_.caption != record_.shownCaption) {
      record_.shownCaption = record_.caption;
      if (record_.opBits & kOpCaptionText) {
        SetText(IDC_FILEOP_CAPTION, reinterpret_cast<const Ch*>(record_.caption));
      } else {
        ShowString(static_cast<UINT>(record_.caption));
      }
      if (twoNames) {
        SetText(IDC_FILEOP_ARROW, kArrow.text);
      } else {
        SetText(IDC_FILEOP_ARROW, kEmpty.text);
        SetText(IDC_FILEOP_TARGET, kEmpty.text);
      }
      EnableWindow(Item(IDC_FILEOP_FILE_BAR), twoNames);
    }
    SetText(IDC_FILEOP_SOURCE, static_cast<const Ch*>(record_.sourceName));
    if (twoNames) SetText(IDC_FILEOP_TARGET, static_cast<const Ch*>(record_.targetName));
    if (!lineFollows) SetText(IDC_FILEOP_FILE_SIZE, kEmpty.text);
    if (!lineFollows || !twoNames) SetText(IDC_FILEOP_FILE_PERCENT, kEmpty.text);
    if (!lineFollows) SetPos(IDC_FILEOP_FILE_BAR, 0);
  }

  void FileSize() noexcept {
    record_.fileBytesScale = BarScale(record_.fileBytes);
    SetRange(IDC_FILEOP_FILE_BAR, BarUpper(record_.fileBytes, record_.fileBytesScale), false);
    Ch* sizeText = SizeText<Ch>(record_);
    if (Figure(record_.fileBytes, sizeText) == nullptr) sizeText[0] = 0;
  }

  void Show(WPARAM parts) noexcept {
    for (MSG posted; Win<Ch>::Take(dialog_, QXFOM_CAPTION, &posted);)
      ShowString(static_cast<UINT>(posted.wParam));
    if (parts & kShowFile) NewFile((parts & kShowFileLine) != 0);
    if (parts & kShowFileSize) FileSize();
    if (parts & kShowFileLine) ShowFileLine();
    if (parts & kShowCounts) ShowCounts();
  }

  void ShowFileLine() noexcept {
    if (record_.opBits & kOpTwoNames) {
      Ch text[kTextSize] = {};
      AppendNumber(text, record_.fileBytesDone);
      Append(text, kOf.text);
      Append(text, SizeText<Ch>(record_));
      SetText(IDC_FILEOP_FILE_SIZE, text);
      ShowPercent(IDC_FILEOP_FILE_PERCENT, Percent(record_.fileBytesDone, record_.fileBytes));
    } else {
      SetText(IDC_FILEOP_FILE_SIZE, SizeText<Ch>(record_));
    }
    SetPos(IDC_FILEOP_FILE_BAR, record_.fileBytesDone / record_.fileBytesScale);
  }

  void ShowString(UINT id) noexcept {
    Ch text[kTextSize] = {};
    Win<Ch>::LoadText(id, text, kTextSize);
    SetText(IDC_FILEOP_CAPTION, text);
  }

 private:
  static constexpr auto kArrow = Literal<Ch>("->");
  static constexpr auto kOf = Literal<Ch>(" / ");
  static constexpr auto kPercent = Literal<Ch>("%d %%");
  static constexpr auto kEmpty = Literal<Ch>("");

  HWND Item(int id) const noexcept {
    return id == IDCANCEL ? GetDlgItem(dialog_, id) : record_.controls[id - kFirstControl];
  }

  // Sets a control's text unless it shows that text already (a text that
  // fills the buffer may go on, and is set again).
  void SetText(int id, const Ch* text) const noexcept {
    HWND item = Item(id);
    Ch shown[kTextSize] = {};
    const int length = Win<Ch>::GetText(item, shown, kTextSize);
    if (length < kTextSize - 1 && std::basic_string_view<Ch>(shown) == text) return;
    Win<Ch>::Send(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }

  // The overall bars are enabled with their range; the file bar's state
  // follows the caption (two names or not).
  void SetRange(int id, std::uint16_t upper, bool enable = true) const noexcept {
    HWND bar = Item(id);
    if (enable) EnableWindow(bar, TRUE);
    Win<Ch>::Send(bar, PBM_SETRANGE, 0, MAKELPARAM(0, upper));
  }

  template <class Int>
  void SetPos(int id, Int position) const noexcept {
    HWND bar = Item(id);
    if (Win<Ch>::Send(bar, PBM_GETPOS, 0, 0) != static_cast<LRESULT>(position))
      Win<Ch>::Send(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }

  void ShowPercent(int id, long long percent) const noexcept {
    Ch text[32];
    Win<Ch>::FormatInt(text, kPercent.text, static_cast<int>(percent));
    SetText(id, text);
  }

  // "done", or "done / total" with its bar position and percent when the
  // total is known.
  template <class Int>
  void ShowDoneOfTotal(int textId, int percentId, int barId, Int done, Int total, Int scale,
                       Int unknown) const noexcept {
    Ch text[kTextSize] = {};
    AppendNumber(text, done);
    if (total != unknown) {
      SetPos(barId, done / scale);
      Append(text, kOf.text);
      AppendNumber(text, total);
    }
    SetText(textId, text);
    if (total != unknown) ShowPercent(percentId, Percent(done, total));
  }

  HWND dialog_;
  FileOpRecord& record_;
};

}  // namespace

template <class Ch>
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ProgressDialog<Ch>(dialog, *reinterpret_cast<FileOpRecord*>(lParam)).Init();
    return TRUE;
  }
  // The record is taken from the dialog's user slot, never from a message,
  // so a stray message cannot point the dialog elsewhere.
  auto* record = reinterpret_cast<FileOpRecord*>(Win<Ch>::UserData(dialog));
  if (record == nullptr) return FALSE;
  ProgressDialog<Ch> view(dialog, *record);
  switch (message) {
    case WM_COMMAND:
      if (wParam == IDCANCEL) view.Abort();
      return TRUE;
    case QXFOM_START:
      view.Start();
      return TRUE;
    case QXFOM_CLOSE:
      view.Close();
      return TRUE;
    case QXFOM_SETTOTALS:
      view.SetTotals();
      return TRUE;
    case QXFOM_SHOW:
      view.Show(wParam);
      return TRUE;
    case QXFOM_CAPTION:
      view.ShowString(static_cast<UINT>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

template <class Ch>
DWORD WINAPI DialogThread(void* param) {
  auto* record = static_cast<FileOpRecord*>(param);
  const int templateId =
      (record->createFlags & QXFOC_SHORT) != 0 ? IDD_FILEOP_SHORT : IDD_FILEOP_FULL;
  Win<Ch>::RunDialog(templateId, record->ownerWindow, ProgressDialogProc<Ch>,
                     reinterpret_cast<LPARAM>(record));
  return 0;
}

template INT_PTR CALLBACK ProgressDialogProc<char>(HWND, UINT, WPARAM, LPARAM);
template INT_PTR CALLBACK ProgressDialogProc<WCHAR>(HWND, UINT, WPARAM, LPARAM);
template DWORD WINAPI DialogThread<char>(void*);
template DWORD WINAPI DialogThread<WCHAR>(void*);

}  // namespace qx::fileop

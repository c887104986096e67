// The folder chooser: the shell's folder browser opened on a tidied start
// folder, returning the chosen folder's file-system path. Only the A form
// exists; the W form reports that it is not supported.
#include <windows.h>

#include <shlobj.h>

#include "frame/error_code.h"
#include "platform/unique_handle.h"
#include "qxdll32.h"
#include "text/path_names.h"

namespace {

// The start folder with one separator appended, terminator included, must
// fit this buffer.
constexpr int kStartCapacity = MAX_PATH;

// An item list from the browser, freed through the shell's allocator.
struct ItemListTraits {
  using type = LPITEMIDLIST;
  static type Invalid() noexcept { return nullptr; }
  static void Close(type list) noexcept {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
      allocator->Free(list);
      allocator->Release();
    }
  }
};

using ItemList = qx::unique_handle<ItemListTraits>;

// Copies the start folder with a separator appended, collapses separator
// runs (a leading pair stays) and drops the trailing separator unless the
// result is a root of three bytes or fewer ("C:\", "\\", "\"). False when
// the folder is missing or too long for the buffer.
bool TidyStartFolder(const char* start, char (&buffer)[kStartCapacity]) noexcept {
  if (start == nullptr || lstrlenA(start) > kStartCapacity - 2) return false;
  lstrcpyA(buffer, start);
  lstrcatA(buffer, "\\");
  qx::text::CollapsePathSeparators(buffer);
  const int length = lstrlenA(buffer);
  if (length > 3) buffer[length - 1] = '\0';
  return true;
}

// Opens the tree on the start folder once the browser is up.
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
  return 0;
}

}  // namespace

// Cancel returns 0 with the error code cleared; a chosen item without a
// file-system path returns 0 with QXERR_UNAVAILABLE. The calling thread must
// have initialised COM, as for any shell dialog.
extern "C" QXBOOL QXAPI qxBrowseFolderA(QXHWND owner, const char* title, char* path,
                                        const char* start) {
  qx::SetErrCode(QXERR_NONE);
  char startFolder[kStartCapacity];
  if (path == nullptr || !TidyStartFolder(start, startFolder)) {
    qx::SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }

  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = path;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = SelectStartFolder;
  info.lParam = reinterpret_cast<LPARAM>(startFolder);

  const ItemList chosen(SHBrowseForFolderA(&info));
  if (!chosen) return FALSE;  // cancelled
  if (!SHGetPathFromIDListA(chosen.get(), path)) {
    qx::SetErrCode(QXERR_UNAVAILABLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" QXBOOL QXAPI qxBrowseFolderW(QXHWND, const QXWCHAR*, QXWCHAR*, const QXWCHAR*) {
  qx::SetErrCode(QXERR_NOTSUPPORTED);
  return FALSE;
}

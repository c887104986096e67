// The folder chooser: the shell's folder browser opened on a tidied start
// folder, returning the chosen folder's file-system path. One template for
// the A form (code-page bytes) and the W form (UTF-16).
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "frame/error_code.h"
#include "platform/unique_handle.h"
#include "qxdll32.h"
#include "text/path_names.h"

namespace {

// The start folder with one separator appended, terminator included, must
// fit this buffer (bytes in the A form, UTF-16 units in the W form).
constexpr std::size_t kStartCapacity = MAX_PATH;

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

// The shell calls of each form.
template <class Ch>
struct Shell;

template <>
struct Shell<char> {
  using Info = BROWSEINFOA;
  static LPITEMIDLIST Browse(Info* info) noexcept { return SHBrowseForFolderA(info); }
  static BOOL PathOf(LPCITEMIDLIST list, char* path) noexcept {
    return SHGetPathFromIDListA(list, path);
  }
  static void Select(HWND browser, LPARAM path) noexcept {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, path);
  }
};

template <>
struct Shell<WCHAR> {
  using Info = BROWSEINFOW;
  static LPITEMIDLIST Browse(Info* info) noexcept { return SHBrowseForFolderW(info); }
  static BOOL PathOf(LPCITEMIDLIST list, WCHAR* path) noexcept {
    return SHGetPathFromIDListW(list, path);
  }
  static void Select(HWND browser, LPARAM path) noexcept {
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, path);
  }
};

// Copies the start folder with a separator appended, collapses separator
// runs (a leading pair stays) and drops the trailing separator unless the
// result is a root of three units or fewer ("C:\", "\\", "\"). False when
// the folder is missing or too long for the buffer.
template <class Ch>
bool TidyStartFolder(const Ch* start, Ch (&buffer)[kStartCapacity]) noexcept {
  using Traits = std::char_traits<Ch>;
  if (start == nullptr) return false;
  const std::size_t length = Traits::length(start);
  if (length > kStartCapacity - 2) return false;
  Traits::copy(buffer, start, length);
  buffer[length] = '\\';
  buffer[length + 1] = 0;
  qx::text::CollapsePathSeparators(buffer);
  const std::size_t tidy = Traits::length(buffer);
  if (tidy > 3) buffer[tidy - 1] = 0;
  return true;
}

// Opens the tree on the start folder once the browser is up.
template <class Ch>
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED) Shell<Ch>::Select(browser, start);
  return 0;
}

// Cancel returns 0 with the error code cleared; a chosen item without a
// file-system path returns 0 with QXERR_UNAVAILABLE. The calling thread must
// have initialised COM, as for any shell dialog.
template <class Ch>
QXBOOL BrowseFolder(HWND owner, const Ch* title, Ch* path, const Ch* start) noexcept {
  qx::SetErrCode(QXERR_NONE);
  Ch startFolder[kStartCapacity];
  if (path == nullptr || !TidyStartFolder(start, startFolder)) {
    qx::SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }

  typename Shell<Ch>::Info info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = path;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = SelectStartFolder<Ch>;
  info.lParam = reinterpret_cast<LPARAM>(startFolder);

  const ItemList chosen(Shell<Ch>::Browse(&info));
  if (!chosen) return FALSE;  // cancelled
  if (!Shell<Ch>::PathOf(chosen.get(), path)) {
    qx::SetErrCode(QXERR_UNAVAILABLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace

extern "C" QXBOOL QXAPI qxBrowseFolderA(QXHWND owner, const char* title, char* path,
                                        const char* start) {
  return BrowseFolder(owner, title, path, start);
}

extern "C" QXBOOL QXAPI qxBrowseFolderW(QXHWND owner, const QXWCHAR* title, QXWCHAR* path,
                                        const QXWCHAR* start) {
  return BrowseFolder<WCHAR>(owner, title, path, start);
}

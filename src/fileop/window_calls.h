// The window, dialog and library calls of the file operation engine and its
// dialog in the A or W width, so each algorithm is written once on Ch. The
// file calls are the platform's (platform/system_calls.h).
#pragma once

#include <cstddef>

#include "frame/module.h"
#include "platform/win32_api.h"
#include "qxdll32.h"

namespace qx::fileop {

template <class Ch>
struct Win;

template <>
struct Win<char> {
  static int GetText(HWND window, char* out, int size) noexcept {
    return GetWindowTextA(window, out, size);
  }

  static char* FigureSep(int value, char* out, int size) noexcept {
    return qxFigureSepInt32A(value, out, size, 0);
  }
  static char* FigureSep(long long value, char* out, int size) noexcept {
    return qxFigureSepInt64A(value, out, size, 0);
  }

  static LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return SendMessageA(window, message, wParam, lParam);
  }
  static BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return PostMessageA(window, message, wParam, lParam);
  }
  static BOOL Take(HWND window, UINT message, MSG* msg) noexcept {
    return PeekMessageA(msg, window, message, message, PM_REMOVE);
  }
  static int LoadText(UINT id, char* out, int size) noexcept {
    return LoadStringA(qx::g_module, id, out, size);
  }
  static INT_PTR RunDialog(int id, HWND owner, DLGPROC proc, LPARAM param) noexcept {
    return DialogBoxParamA(qx::g_module, MAKEINTRESOURCEA(id), owner, proc, param);
  }
  static LONG_PTR SetUserData(HWND window, LONG_PTR value) noexcept {
    return SetWindowLongPtrA(window, DWLP_USER, value);
  }
  static LONG_PTR UserData(HWND window) noexcept { return GetWindowLongPtrA(window, DWLP_USER); }
  static int FormatInt(char* out, const char* format, int value) noexcept {
    return wsprintfA(out, format, value);
  }
};

template <>
struct Win<WCHAR> {
  static int GetText(HWND window, WCHAR* out, int size) noexcept {
    return GetWindowTextW(window, out, size);
  }

  static WCHAR* FigureSep(int value, WCHAR* out, int size) noexcept {
    return qxFigureSepInt32W(value, out, size, 0);
  }
  static WCHAR* FigureSep(long long value, WCHAR* out, int size) noexcept {
    return qxFigureSepInt64W(value, out, size, 0);
  }

  static LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return SendMessageW(window, message, wParam, lParam);
  }
  static BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return PostMessageW(window, message, wParam, lParam);
  }
  static BOOL Take(HWND window, UINT message, MSG* msg) noexcept {
    return PeekMessageW(msg, window, message, message, PM_REMOVE);
  }
  static int LoadText(UINT id, WCHAR* out, int size) noexcept {
    return LoadStringW(qx::g_module, id, out, size);
  }
  static INT_PTR RunDialog(int id, HWND owner, DLGPROC proc, LPARAM param) noexcept {
    return DialogBoxParamW(qx::g_module, MAKEINTRESOURCEW(id), owner, proc, param);
  }
  static LONG_PTR SetUserData(HWND window, LONG_PTR value) noexcept {
    return SetWindowLongPtrW(window, DWLP_USER, value);
  }
  static LONG_PTR UserData(HWND window) noexcept { return GetWindowLongPtrW(window, DWLP_USER); }
  static int FormatInt(WCHAR* out, const WCHAR* format, int value) noexcept {
    return wsprintfW(out, format, value);
  }
};

}  // namespace qx::fileop

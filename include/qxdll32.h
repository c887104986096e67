/*
 * qxdll32.h - public interface of qxdll32.dll 1.13.
 *
 * Plain C; usable from C and C++. Every function uses the Windows standard
 * calling convention (QXAPI). Text functions come in pairs: the A form takes
 * zero-terminated bytes in the ANSI code page (Shift_JIS on a Japanese
 * system), the W form zero-terminated UTF-16. Failures are reported through
 * the return value and, where documented, through the library error code read
 * with qxGetErrCode().
 */
#ifndef QXDLL32_H
#define QXDLL32_H

#if defined(_WIN32)
#include <windows.h>
#else
#include <stdint.h>
#if !defined(__cplusplus)
#include <uchar.h>
#endif
#endif

#if defined(_WIN32)
#define QXAPI __stdcall
typedef WCHAR QXWCHAR; /* UTF-16 code unit of the W forms */
typedef HWND QXHWND;   /* window handle */
typedef BOOL QXBOOL;   /* 32-bit boolean: 1 success, 0 failure */
typedef DWORD QXDWORD; /* unsigned 32-bit */
#define QXDECL
#else
#define QXAPI
typedef char16_t QXWCHAR; /* in C, <uchar.h>'s uint_least16_t */
typedef void* QXHWND;
typedef int32_t QXBOOL;
typedef uint32_t QXDWORD;
#if defined(QXDLL32_BUILDING)
#define QXDECL __attribute__((visibility("default")))
#else
#define QXDECL
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Library error codes (qxGetErrCode) ------------------------------- */
/* Every code but QXERR_NONE carries 0x7178 ("qx") in its high word. Low
 * words below 0x8000 are argument and state errors, from 0x8001 up failures
 * of a system call or the file system, 0xFFFF something that is gone. */
#define QXERR_NONE 0x00000000u
#define QXERR_BADPARAM 0x71780003u
#define QXERR_BADHANDLE 0x71780004u
#define QXERR_TOOLONG 0x71780006u
#define QXERR_ENDOFFILE 0x71780007u
#define QXERR_BADDATA 0x71780009u
#define QXERR_ABORTED 0x7178000Au
#define QXERR_NOTSUPPORTED 0x71788001u
#define QXERR_NOMEMORY 0x71788002u
#define QXERR_SRCOPEN 0x71788004u
#define QXERR_OPEN 0x71788005u
#define QXERR_READ 0x71788007u
#define QXERR_WRITE 0x71788008u
#define QXERR_DSTDELETE 0x7178800Au
#define QXERR_RENAME 0x7178800Bu
#define QXERR_EXISTS 0x7178800Cu
#define QXERR_MKDIR 0x71788015u
#define QXERR_THREAD 0x71788018u
#define QXERR_SRCDELETE 0x71788019u
#define QXERR_REGOPEN 0x7178801Du
#define QXERR_REGCREATE 0x7178801Eu
#define QXERR_REGDELETE 0x7178801Fu
#define QXERR_REGQUERY 0x71788020u
#define QXERR_REGSET 0x71788021u
#define QXERR_UNAVAILABLE 0x7178FFFFu

/* ---- Library frame ---------------------------------------------------- */

/* The library version as major * 100 + minor: 113. */
QXDECL QXDWORD QXAPI qxGetVersion(void);

/* The current library error code; reading it does not clear it. */
QXDECL QXDWORD QXAPI qxGetErrCode(void);

/* The 256-byte DBCS lead table of the ANSI code page at load time: entry c
 * is 1 when byte c starts a double-byte character. Read-only. */
QXDECL const unsigned char* QXAPI qxGetDBCSLeadTable(void);

#if defined(_WIN32)
/* Shows GetLastError()'s system message in a message box captioned
 * "LastError : N", owned by hwnd (may be NULL). */
QXDECL void QXAPI qxDispLastError(QXHWND hwnd);
#endif

/* ---- Path and URL names ----------------------------------------------- */
/* Backslash and slash both count as separators; neither is rewritten. */

/* The name after the last separator (may be the terminator), or NULL when
 * the path holds no separator. NULL path: QXERR_BADPARAM. */
QXDECL char* QXAPI qxScanFileNameA(char* path);
QXDECL QXWCHAR* QXAPI qxScanFileNameW(QXWCHAR* path);

/* The extension after the last period of the name (may be the terminator),
 * or NULL when the name has no period. Clears the error code on a non-NULL
 * argument. NULL path: QXERR_BADPARAM. */
QXDECL char* QXAPI qxScanExtNameA(char* path);
QXDECL QXWCHAR* QXAPI qxScanExtNameW(QXWCHAR* path);

/* Collapses each run of separators to its first one, in place; a leading
 * pair (\\server) is kept. Returns 1, or 0 with QXERR_BADPARAM for NULL. */
QXDECL QXBOOL QXAPI qxControlRightPathA(char* path);
QXDECL QXBOOL QXAPI qxControlRightPathW(QXWCHAR* path);

/* Collapses separator runs in a URL, in place, except the run right after a
 * colon ("http://", "file:///"). Returns 1, or 0 with QXERR_BADPARAM. */
QXDECL QXBOOL QXAPI qxControlRightUrlA(char* url);
QXDECL QXBOOL QXAPI qxControlRightUrlW(QXWCHAR* url);

/* ---- Window utilities (Windows only) ---------------------------------- */
#if defined(_WIN32)

/* Registers the window classes "qxHSplitter" (a horizontal bar that moves up
 * and down) and "qxVSplitter" (a vertical bar that moves left and right),
 * once per process; later calls do nothing. The classes are global, so
 * dialog templates of any module can name them. While the left button drags
 * a splitter, each mouse move is sent to its parent as
 *   message  the splitter notification message (WM_COMMAND by default)
 *   wParam   the splitter's control id
 *   lParam   the mouse y (qxHSplitter) or x (qxVSplitter) in the splitter's
 *            client coordinates, sign-extended: negative above or left of it
 * The parent moves the splitter and lays out its panes. */
QXDECL void QXAPI qxInitSplitter(void);

/* As qxInitSplitter, and the first registering call fixes the notification
 * message (0 means WM_COMMAND). Returns the message in force, which later
 * calls (of either function) never change. */
QXDECL UINT QXAPI qxInitSplitterEx(UINT message);

/* The window's restored (normal) position: its left and top even while it is
 * minimised or maximised; (0, 0) for a handle that is not a window. */
QXDECL POINT QXAPI qxGetWindowPosi(QXHWND hwnd);

/* Moves the window's restored position to (x, y), keeping its size; a
 * minimised or maximised window stays so and takes the new position when
 * restored. Nonzero on success. */
QXDECL QXBOOL QXAPI qxSetWindowPosi(QXHWND hwnd, int x, int y);

/* Centres the window's restored position on the primary screen (its full
 * size; halves truncate toward zero, a window larger than the screen gets a
 * negative left or top). Nonzero on success. */
QXDECL QXBOOL QXAPI qxCenterWindowPosi(QXHWND hwnd);

/* Shows the shell's folder browser, owned by hwnd (may be NULL), with title
 * (may be NULL) above the tree, opened on the start folder (may be empty;
 * separator runs are collapsed and a trailing separator dropped, except for
 * a root such as "C:\"). Only file-system folders can be chosen. Returns 1
 * with the chosen folder's path in path (at least MAX_PATH bytes), or 0:
 * cancelled (error code QXERR_NONE, which every call sets first), no
 * file-system path for the chosen item (QXERR_UNAVAILABLE), NULL path or
 * start, or a start folder longer than MAX_PATH - 2 bytes (QXERR_BADPARAM,
 * nothing shown). The calling thread must have initialised COM. */
QXDECL QXBOOL QXAPI qxBrowseFolderA(QXHWND hwnd, const char* title, char* path,
                                    const char* start);

/* Not supported: returns 0 with QXERR_NOTSUPPORTED and shows nothing. */
QXDECL QXBOOL QXAPI qxBrowseFolderW(QXHWND hwnd, const QXWCHAR* title, QXWCHAR* path,
                                    const QXWCHAR* start);

#endif /* _WIN32 */

#ifdef __cplusplus
}
#endif

#endif /* QXDLL32_H */

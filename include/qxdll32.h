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

/* ---- Japanese text encodings ----------------------------------------- */
/* Encoding codes: the result of qxJudgeJpnCodeType and the source and
 * target codes of qxConvertJpnCode. */
#define QXJCODE_NOTTEXT (-1) /* a control byte came before any decision */
#define QXJCODE_SJIS 0       /* Shift_JIS, or nothing pointing elsewhere (ASCII) */
#define QXJCODE_JIS 1        /* ISO-2022-JP: 7 bits with escape sequences */
#define QXJCODE_EUC 2        /* EUC-JP */

/* Which encoding the zero-terminated text is in, judged by the first byte
 * that rules the others out (the same fixed rules on every system). An
 * escape before any decision means JIS. NULL text: QXJCODE_NOTTEXT. Leaves
 * the error code alone. */
QXDECL int QXAPI qxJudgeJpnCodeType(const char* text);

/* Converts the zero-terminated src from srcCode to dstCode, writing every
 * line end as a single LF, and returns the bytes written to dst (without
 * the terminator, which is always written). Equal codes copy. Refused
 * codes (-1, unknown) and a NULL src leave dst empty and return 0; a NULL
 * dst returns 0. dst must hold strlen(src) + 1 bytes, or 4 * strlen(src)
 * + 4 when dstCode is QXJCODE_JIS. Leaves the error code alone. */
QXDECL int QXAPI qxConvertJpnCode(char* dst, int dstCode, const char* src, int srcCode);

/* ---- Text file reader ------------------------------------------------- */
/* A handle from qxOpenTextFileA/W, read with the reader of the same form. */
typedef struct qxTextFile_* QXHTEXTFILE;

/* Opens a file for line reading (shared for reading). NULL with QXERR_OPEN
 * or QXERR_NOMEMORY. The A form reads bytes, the W form little-endian
 * UTF-16 (a byte-order mark is returned as a character). */
QXDECL QXHTEXTFILE QXAPI qxOpenTextFileA(const char* fileName);
QXDECL QXHTEXTFILE QXAPI qxOpenTextFileW(const QXWCHAR* fileName);

/* Copies the next line, without its line end (CR LF, LF, CR or LF CR),
 * into line (size characters, terminator included). 0 with QXERR_ENDOFFILE
 * after the last line (0x1A ends the file), QXERR_TOOLONG when the line
 * does not fit (nothing is consumed: retry with a larger buffer),
 * QXERR_BADDATA for a zero character and QXERR_READ for a read failure
 * (both close the file: later reads give QXERR_UNAVAILABLE),
 * QXERR_BADHANDLE, QXERR_BADPARAM (NULL line, size 0). */
QXDECL QXBOOL QXAPI qxReadTextFileA(QXHTEXTFILE handle, char* line, QXDWORD size);
QXDECL QXBOOL QXAPI qxReadTextFileW(QXHTEXTFILE handle, QXWCHAR* line, QXDWORD size);

/* Closes the file and frees the handle, in any state; 1, or 0 with
 * QXERR_BADHANDLE. */
QXDECL QXBOOL QXAPI qxCloseTextFile(QXHTEXTFILE handle);

#ifdef __cplusplus
}
#endif

#endif /* QXDLL32_H */

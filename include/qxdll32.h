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

/* ---- String search ---------------------------------------------------- */
/* A converter compiles a search string once into shift-and mask nodes and
 * scans any number of texts with it; qxGrepExA/W do all three in one call.
 * Pattern syntax (QXSAA_PATTERN): '.' any character, [set] and [^set] with
 * ranges, postfix '?' '*' '+' (greedy, never giving back), '^' at the start,
 * '$' at the end, backslash escapes (\n \t \x41 \101 ...). A forms count
 * bytes and keep double-byte characters whole; W forms count code units. */

/* Converter handle: the address of the converter's first node. */
typedef struct QXSaaConverter_* QXHCVT;

#define QXSAA_NOCASE 0x1u  /* fold case */
#define QXSAA_PATTERN 0x2u /* read the search string in the pattern syntax */

/* Compiles text (literal, or pattern with QXSAA_PATTERN) into a converter,
 * or returns NULL: QXERR_BADPARAM for an empty text (or only '^' as a
 * pattern) or a NULL text, QXERR_NOMEMORY. Release with qxSaaCloseCvt. */
QXDECL QXHCVT QXAPI qxSaaCreateCvtA(const char* text, QXDWORD flags);
QXDECL QXHCVT QXAPI qxSaaCreateCvtW(const QXWCHAR* text, QXDWORD flags);

/* Releases a converter: 1, or 0 with QXERR_BADHANDLE. */
QXDECL QXBOOL QXAPI qxSaaCloseCvt(QXHCVT cvt);

/* The start of the first match in text, or NULL. Clears the error code for
 * a good handle (no match is not an error); QXERR_BADHANDLE for a bad
 * handle or one built by the other form's create function. */
QXDECL char* QXAPI qxSaaScanStringA(QXHCVT cvt, const char* text);
QXDECL QXWCHAR* QXAPI qxSaaScanStringW(QXHCVT cvt, const QXWCHAR* text);

/* Length of the last scan's match (0 after no match); 0xFFFFFFFF with
 * QXERR_BADHANDLE for a bad handle. */
QXDECL QXDWORD QXAPI qxSaaGetMatchLength(QXHCVT cvt);

/* Compiles pattern (pattern syntax, folded when ignoreCase is nonzero),
 * scans text once, stores the match length in *length when length is not
 * NULL, and releases the converter. Returns the match start or NULL. */
QXDECL char* QXAPI qxGrepExA(const char* text, const char* pattern, QXBOOL ignoreCase,
                             QXDWORD* length);
QXDECL QXWCHAR* QXAPI qxGrepExW(const QXWCHAR* text, const QXWCHAR* pattern, QXBOOL ignoreCase,
                                QXDWORD* length);

/* The small backtracking matcher: '?' any character, '?*' and '?+' runs
 * (shortest first), [set] with ranges, postfix '*' '+', backslash quotes the
 * next character, '^' at the start, '$' at the end. Returns the first match
 * start or NULL; no match length, no case folding. */
QXDECL char* QXAPI qxGrepA(const char* text, const char* pattern);
QXDECL QXWCHAR* QXAPI qxGrepW(const QXWCHAR* text, const QXWCHAR* pattern);

#ifdef __cplusplus
}
#endif

#endif /* QXDLL32_H */

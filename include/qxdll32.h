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

/* ---- File naming helpers ---------------------------------------------- */

#if defined(_WIN32)
typedef FILETIME QXFILETIME;
#else
/* 100-nanosecond ticks since 1601-01-01 UTC, as two 32-bit halves. */
typedef struct QXFILETIME {
  QXDWORD dwLowDateTime;
  QXDWORD dwHighDateTime;
} QXFILETIME;
#endif

/* qxMakeUniqPath modes: any combination; the suffix is date, time, then a
 * running number "(n)", inserted before the extension. */
#define QXUNIQ_NUMBERED 0x01u   /* never offer a name without a number */
#define QXUNIQ_TIME 0x02u       /* insert "_hhmmss" (local time) */
#define QXUNIQ_TIMENODATE 0x04u /* insert the time; never offer the date-only name */
#define QXUNIQ_DATE 0x08u       /* insert "_yymdd", the month one hex digit */
#define QXUNIQ_DATE2 0x10u      /* the same as QXUNIQ_DATE */

/* Writes to out (room for the path + 25 characters + terminator) a name
 * that does not open as a file, made from path with date/time/number parts
 * taken from *time (UTC) or, when time is NULL, the file's last-write time.
 * 1 and the error code cleared; 0 with QXERR_SRCOPEN (file unreadable) or
 * QXERR_BADPARAM (bad time, NULL, or a path that leaves no room in 1024
 * characters), out untouched. */
QXDECL QXBOOL QXAPI qxMakeUniqPathA(char* out, const char* path, const QXFILETIME* time,
                                    QXDWORD mode);
QXDECL QXBOOL QXAPI qxMakeUniqPathW(QXWCHAR* out, const QXWCHAR* path, const QXFILETIME* time,
                                    QXDWORD mode);

/* Renames the file at path to newName (a bare name) in the same folder,
 * through "qxdll32.tmp" there; a failed second move is undone. 0 with
 * QXERR_BADPARAM (no separator, NULL, longer than 1023), QXERR_EXISTS
 * (newName taken) or QXERR_RENAME. */
QXDECL QXBOOL QXAPI qxRenameFileA(const char* path, const char* newName);
QXDECL QXBOOL QXAPI qxRenameFileW(const QXWCHAR* path, const QXWCHAR* newName);

/* Makes every missing folder above the last component of path ("C:\a\b\f"
 * makes C:\a and C:\a\b), top-down, stopping at a drive root, a leading
 * separator or a doubled separator. 0 with QXERR_BADPARAM (no separator,
 * NULL, longer than 1023) or QXERR_MKDIR. */
QXDECL QXBOOL QXAPI qxMakeDirectoriesA(const char* path);
QXDECL QXBOOL QXAPI qxMakeDirectoriesW(const QXWCHAR* path);

/* ---- File times ------------------------------------------------------- */
/* A time of 0 means no time and is refused; a NULL argument is
 * QXERR_BADPARAM. Success leaves the error code alone. */

/* Stamps the file's last-write time. 0 with QXERR_OPEN or QXERR_WRITE. */
QXDECL QXBOOL QXAPI qxSetFileTimeA(const char* fileName, const QXFILETIME* time);
QXDECL QXBOOL QXAPI qxSetFileTimeW(const QXWCHAR* fileName, const QXFILETIME* time);

/* Clamps *time to 1980-01-01 12:00:00 .. 2107-12-31 11:59:58 UTC: -1 raised,
 * 1 lowered, 0 unchanged (a zero time too, with no error code). */
QXDECL int QXAPI qxControlFileTimeAtFat(QXFILETIME* time);

/* Rounds *time down to a multiple of unit ticks (20000000: FAT's 2 s). */
QXDECL QXBOOL QXAPI qxRegulateFileTime(QXFILETIME* time, QXDWORD unit);

/* Moves *time by ticks (100 ns each), wrapping at 2^64. */
QXDECL QXBOOL QXAPI qxAddTimeToFileTime(QXFILETIME* time, QXDWORD ticks);
QXDECL QXBOOL QXAPI qxSubTimeToFileTime(QXFILETIME* time, QXDWORD ticks);

/* ---- Number formatting ------------------------------------------------ */
/* Digits grouped by the user's locale (thousands separator and the first
 * group size), negative numbers in parentheses: "(1,234)". Results are out,
 * or NULL when out (outSize characters, terminator included) is too small
 * or the input is not a number. The error code is never touched. */

#define QXFIG_SIGNED 0x1u   /* read the value as signed (else unsigned) */
#define QXFIG_SHOWPLUS 0x2u /* with QXFIG_SIGNED: "+1,234" when not negative */

/* number: optional "-", digits, at most one "."; flags are ignored. */
QXDECL char* QXAPI qxFigureSepStrA(const char* number, char* out, int outSize, QXDWORD flags);
QXDECL QXWCHAR* QXAPI qxFigureSepStrW(const QXWCHAR* number, QXWCHAR* out, int outSize,
                                      QXDWORD flags);
QXDECL char* QXAPI qxFigureSepInt32A(int value, char* out, int outSize, QXDWORD flags);
QXDECL QXWCHAR* QXAPI qxFigureSepInt32W(int value, QXWCHAR* out, int outSize, QXDWORD flags);
QXDECL char* QXAPI qxFigureSepInt64A(long long value, char* out, int outSize, QXDWORD flags);
QXDECL QXWCHAR* QXAPI qxFigureSepInt64W(long long value, QXWCHAR* out, int outSize,
                                        QXDWORD flags);

/* ---- File operations (Windows only) ----------------------------------- */
/* Copies, moves, deletions and renames run one file per call on the
 * caller's thread while a progress dialog, on a thread of its own, shows
 * names, sizes and counts and offers Abort. The full dialog uses the common
 * controls' progress bar: initialise the common controls first. */
#if defined(_WIN32)
typedef struct QXFILEOP__* QXHFILEOP; /* a file operation, from qxCreateFileOpA/W */

/* Creation flags */
#define QXFOC_NOABORT 0x01u /* no Abort button */
#define QXFOC_SHORT 0x02u   /* the short dialog: caption and names only */

/* Operations; a value from 0x10000 on is instead a caption text (char* for
 * A, WCHAR* for W) for a display-only step. */
#define QXFOP_MOVE 1u
#define QXFOP_COPY 2u
#define QXFOP_DELETE 3u
#define QXFOP_RENAME 4u /* as QXFOP_MOVE, captioned "Renaming..." */

/* Per-file flags: the collision policy in the low three bits, ... */
#define QXFOF_FAIL 0u       /* an existing destination fails: QXERR_EXISTS */
#define QXFOF_OVERWRITE 1u  /* delete the existing file, then write */
#define QXFOF_NEWNAME 2u    /* write the incoming file under a unique name */
#define QXFOF_MOVEASIDE 3u  /* give the existing file a unique name */
#define QXFOF_NEWERKEEPS 4u /* source older: as NEWNAME, else as MOVEASIDE */
#define QXFOF_OLDERKEEPS 5u /* source newer: as NEWNAME, else as MOVEASIDE */
/* ... counting bits, ... */
#define QXFOF_UNCOUNT 0x08u  /* subtract the file from the done counts */
#define QXFOF_NOCOUNT 0x10u  /* leave the done counts alone */
#define QXFOF_NOSOURCE 0x20u /* display-only step: no source file to size */
/* ... and in the high word the qxMakeUniqPath mode for unique names. */
#define QXFOF_UNIQMODE(mode) ((QXDWORD)(mode) << 16)

/* Opens a file operation with its progress dialog owned by owner (may be
 * NULL). NULL with QXERR_NOMEMORY, or QXERR_THREAD when the dialog cannot
 * be started. */
QXDECL QXHFILEOP QXAPI qxCreateFileOpA(QXHWND owner, QXDWORD flags);
QXDECL QXHFILEOP QXAPI qxCreateFileOpW(QXHWND owner, QXDWORD flags);

/* Closes the dialog, waits for its thread and frees the handle. 0 with
 * QXERR_BADHANDLE. */
QXDECL QXBOOL QXAPI qxCloseFileOp(QXHFILEOP op);

/* The job's totals and what is already done, for the count and size bars;
 * a total of -1 (both halves all ones for bytes) is unknown. 0 with
 * QXERR_BADHANDLE or QXERR_UNAVAILABLE. */
QXDECL QXBOOL QXAPI qxSetFileOpEntry(QXHFILEOP op, int fileCountTotal, int fileCountDone,
                                     QXDWORD totalBytesLow, QXDWORD totalBytesHigh,
                                     QXDWORD totalBytesDoneLow, QXDWORD totalBytesDoneHigh);

/* One file: operation on source (to destination for move, copy, rename),
 * with the QXFOF_ flags. A handle from the A create is used with the A
 * form, one from the W create with the W form. 1 when done; 0 with
 * QXERR_ABORTED (Abort pressed: every later call fails too), QXERR_BADPARAM,
 * QXERR_SRCOPEN, QXERR_EXISTS, QXERR_DSTDELETE, QXERR_READ, QXERR_WRITE,
 * QXERR_SRCDELETE, or the code of a failed unique name, rename or folder. */
QXDECL QXBOOL QXAPI qxOperateFileOpA(QXHFILEOP op, UINT_PTR operation, const char* source,
                                     const char* destination, QXDWORD flags);
QXDECL QXBOOL QXAPI qxOperateFileOpW(QXHFILEOP op, UINT_PTR operation, const QXWCHAR* source,
                                     const QXWCHAR* destination, QXDWORD flags);
#endif

#ifdef __cplusplus
}
#endif

#endif /* QXDLL32_H */

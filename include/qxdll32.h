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

/* Library error codes (qxGetErrCode) */
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

/* Library frame */

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

/* Path and URL names */
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

/* Registry access (Windows) */
/* Each call opens or creates the key it needs with full access
 * (KEY_ALL_ACCESS), does one thing and closes it again; results are 1 or 0
 * with the reason in the library error code. The key is root\keyPath, or
 * root\keyPath\subKey when subKey is not NULL (an empty subKey leaves a
 * trailing backslash); a composed path longer than 1023 characters fails
 * with QXERR_BADPARAM. A NULL or empty value name is the default value.
 * Buffer sizes are in bytes in both forms and are not updated. */
#if defined(_WIN32)

/* 1 when the key exists and opens with full access; else QXERR_REGOPEN. */
QXDECL QXBOOL QXAPI qxRegFindKeyA(HKEY root, const char* keyPath, const char* subKey);
QXDECL QXBOOL QXAPI qxRegFindKeyW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey);

/* Reads a REG_SZ value as stored (no terminator added). QXERR_REGQUERY when
 * the value is missing or larger than the buffer, QXERR_BADDATA when it has
 * another type (its data is then already in the buffer). */
QXDECL QXBOOL QXAPI qxRegGetStrValueA(HKEY root, const char* keyPath, const char* subKey,
                                      const char* valueName, char* buffer, QXDWORD size);
QXDECL QXBOOL QXAPI qxRegGetStrValueW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey,
                                      const QXWCHAR* valueName, QXWCHAR* buffer, QXDWORD size);

/* Reads a REG_DWORD value; errors as for qxRegGetStrValueA. */
QXDECL QXBOOL QXAPI qxRegGetDwordValueA(HKEY root, const char* keyPath, const char* subKey,
                                        const char* valueName, QXDWORD* value);
QXDECL QXBOOL QXAPI qxRegGetDwordValueW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey,
                                        const QXWCHAR* valueName, QXDWORD* value);

/* Reads a REG_BINARY value; errors as for qxRegGetStrValueA. */
QXDECL QXBOOL QXAPI qxRegGetBinValueA(HKEY root, const char* keyPath, const char* subKey,
                                      const char* valueName, BYTE* buffer, QXDWORD size);
QXDECL QXBOOL QXAPI qxRegGetBinValueW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey,
                                      const QXWCHAR* valueName, BYTE* buffer, QXDWORD size);

/* Creates the key and every missing key above it (QXERR_REGCREATE), then
 * writes the value (QXERR_REGSET). A NULL string or data only creates the
 * key; a failed write leaves the created key in place. */
QXDECL QXBOOL QXAPI qxRegSetKeyAndStrValueA(HKEY root, const char* keyPath, const char* subKey,
                                            const char* valueName, const char* text);
QXDECL QXBOOL QXAPI qxRegSetKeyAndStrValueW(HKEY root, const QXWCHAR* keyPath,
                                            const QXWCHAR* subKey, const QXWCHAR* valueName,
                                            const QXWCHAR* text);
QXDECL QXBOOL QXAPI qxRegSetKeyAndDwordValueA(HKEY root, const char* keyPath, const char* subKey,
                                              const char* valueName, QXDWORD value);
QXDECL QXBOOL QXAPI qxRegSetKeyAndDwordValueW(HKEY root, const QXWCHAR* keyPath,
                                              const QXWCHAR* subKey, const QXWCHAR* valueName,
                                              QXDWORD value);
QXDECL QXBOOL QXAPI qxRegSetKeyAndBinValueA(HKEY root, const char* keyPath, const char* subKey,
                                            const char* valueName, const BYTE* data, QXDWORD size);
QXDECL QXBOOL QXAPI qxRegSetKeyAndBinValueW(HKEY root, const QXWCHAR* keyPath,
                                            const QXWCHAR* subKey, const QXWCHAR* valueName,
                                            const BYTE* data, QXDWORD size);

/* Deletes root\keyPath with its whole subtree, depth first. A NULL or empty
 * path is refused (QXERR_BADPARAM); QXERR_REGOPEN or QXERR_REGDELETE from the
 * level that failed, with the sub-keys deleted until then gone. */
QXDECL QXBOOL QXAPI qxRegDeleteKeyA(HKEY root, const char* keyPath);
QXDECL QXBOOL QXAPI qxRegDeleteKeyW(HKEY root, const QXWCHAR* keyPath);

#endif /* _WIN32 */

/* COM server registration (Windows) */
/* Server flags of qxRegisterServerA/W. Bits 0-1: nonzero for a local
 * server ("LocalServer32"), else in-process ("InprocServer32"); bits 2-3:
 * threading model; bits 16-31: toolbox bitmap resource number. */
#define QXSVR_LOCALSERVER 0x00000001u
#define QXSVR_APARTMENT 0x00000004u
#define QXSVR_FREE 0x00000008u
#define QXSVR_BOTH 0x0000000Cu
#define QXSVR_INSERTABLE 0x00000010u
#define QXSVR_PROGRAMMABLE 0x00000020u
#define QXSVR_CONTROL 0x00000040u
#define QXSVR_TOOLBOXBITMAP(id) ((QXDWORD)(id) << 16)

#if defined(_WIN32)

/* The GUID as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with its terminator
 * (39 units; the A form in the OEM code page). S_OK; E_INVALIDARG for a NULL
 * GUID or buffer; E_FAIL when the buffer is too small. */
QXDECL HRESULT QXAPI qxStringFromGuidA(const GUID* guid, char* buffer, int size);
QXDECL HRESULT QXAPI qxStringFromGuidW(const GUID* guid, QXWCHAR* buffer, int size);

/* Writes the class registration below HKEY_CLASSES_ROOT: CLSID\{clsid} with
 * its server key, threading model, Insertable/Programmable/Control,
 * ToolboxBitmap32, MiscStatus, ProgID, VersionIndependentProgID (with its
 * CurVer), TypeLib and Version (low word "." high word). description,
 * progId, viProgId and typeLib may be NULL, miscStatus and version 0 to
 * leave them out. S_OK once the arguments pass, whatever single writes
 * report (the library error code keeps the last registry failure);
 * E_INVALIDARG for a NULL clsid or serverPath or an empty ProgID;
 * SELFREG_E_CLASS when the class identifier cannot be converted. */
QXDECL HRESULT QXAPI qxRegisterServerA(const GUID* clsid, QXDWORD flags, const char* serverPath,
                                       const char* description, const char* progId,
                                       const char* viProgId, QXDWORD miscStatus,
                                       const GUID* typeLib, QXDWORD version);
QXDECL HRESULT QXAPI qxRegisterServerW(const GUID* clsid, QXDWORD flags, const QXWCHAR* serverPath,
                                       const QXWCHAR* description, const QXWCHAR* progId,
                                       const QXWCHAR* viProgId, QXDWORD miscStatus,
                                       const GUID* typeLib, QXDWORD version);

/* Deletes CLSID\{clsid} and the ProgID keys given, each with its subtree.
 * S_OK once the arguments pass; E_INVALIDARG for a NULL clsid or an empty
 * ProgID; SELFREG_E_CLASS when the class identifier cannot be converted. */
QXDECL HRESULT QXAPI qxUnregisterServerA(const GUID* clsid, const char* progId,
                                         const char* viProgId);
QXDECL HRESULT QXAPI qxUnregisterServerW(const GUID* clsid, const QXWCHAR* progId,
                                         const QXWCHAR* viProgId);

#endif /* _WIN32 */
/* File naming helpers */

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

/* File times */
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

/* Number formatting */
/* Digits grouped by the user's locale (thousands separator and the first
 * group size), negative numbers in parentheses: "(1,234)". Results are out,
 * or NULL when out (outSize characters, terminator included) is too small
 * or the input is not a number. The error code is never touched. */

#define QXFIG_SIGNED 0x1u   /* read the value as signed (else unsigned) */
#define QXFIG_SHOWPLUS 0x2u /* with QXFIG_SIGNED: "+1,234" when not negative */

/* number: optional "-", digits, at most one "."; flags are ignored; at most
 * 127 characters (a longer string gives NULL). */
QXDECL char* QXAPI qxFigureSepStrA(const char* number, char* out, int outSize, QXDWORD flags);
QXDECL QXWCHAR* QXAPI qxFigureSepStrW(const QXWCHAR* number, QXWCHAR* out, int outSize,
                                      QXDWORD flags);
QXDECL char* QXAPI qxFigureSepInt32A(int value, char* out, int outSize, QXDWORD flags);
QXDECL QXWCHAR* QXAPI qxFigureSepInt32W(int value, QXWCHAR* out, int outSize, QXDWORD flags);
QXDECL char* QXAPI qxFigureSepInt64A(long long value, char* out, int outSize, QXDWORD flags);
QXDECL QXWCHAR* QXAPI qxFigureSepInt64W(long long value, QXWCHAR* out, int outSize, QXDWORD flags);
/* Japanese text encodings */
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

/* More codes of qxJudgeTextCode and qxConvertTextCode, which also know UTF-8
 * and UTF-16. ASCII: only bytes below 0x80 and no escape sequence, which every
 * encoding reads alike. */
#define QXJCODE_ASCII 7
#define QXJCODE_UTF8 8
#define QXJCODE_UTF16LE 16
#define QXJCODE_UTF16BE 17

/* Which encoding `size` bytes at `data` are in: QXJCODE_SJIS, _EUC, _JIS, _UTF8, _UTF16LE,
 * _UTF16BE, _ASCII, or QXJCODE_NOTTEXT for binary data. Reads the whole buffer. NULL data
 * with size > 0: QXJCODE_NOTTEXT and QXERR_BADPARAM. Success leaves the error code alone. */
QXDECL int QXAPI qxJudgeTextCode(const void* data, QXDWORD size);

/* Flags of qxConvertTextCode. Line ends (CR LF, LF CR, CR) become a single LF: */
#define QXCVT_LF 0x1u
/* Fail with QXERR_BADDATA on a malformed source sequence or a character the target
 * cannot hold, instead of substituting: */
#define QXCVT_STRICT 0x2u
/* Begin UTF-8 / UTF-16 output with a byte order mark: */
#define QXCVT_BOM 0x4u

/* Converts srcSize bytes at src from srcCode to dstCode (any of SJIS, EUC, JIS, UTF8,
 * UTF16LE, UTF16BE; ASCII reads as SJIS) into dst, which holds dstSize bytes. Returns the
 * bytes written (no terminator is added), or with dst NULL and dstSize 0 the bytes that
 * would be written. Returns -1 with QXERR_TOOLONG when dst is too small (nothing is written
 * past dstSize), QXERR_BADPARAM for an unknown code, a negative size or a NULL buffer with a
 * size above 0, QXERR_BADDATA under QXCVT_STRICT. Success leaves the error code alone. */
QXDECL int QXAPI qxConvertTextCode(void* dst, int dstSize, int dstCode, const void* src,
                                   int srcSize, int srcCode, QXDWORD flags);

/* Text file reader */
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

/* File operations (Windows only) */
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
/* String search */
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
 * pattern), a NULL text, or one that would need more than 2048 nodes (a
 * node holds up to 32 positions), QXERR_NOMEMORY. Release with
 * qxSaaCloseCvt. */
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

/* Window utilities (Windows only) */
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
QXDECL QXBOOL QXAPI qxBrowseFolderA(QXHWND hwnd, const char* title, char* path, const char* start);

/* As qxBrowseFolderA in UTF-16: path holds at least MAX_PATH units and the
 * start folder at most MAX_PATH - 2. */
QXDECL QXBOOL QXAPI qxBrowseFolderW(QXHWND hwnd, const QXWCHAR* title, QXWCHAR* path,
                                    const QXWCHAR* start);

#endif /* _WIN32 */

#ifdef __cplusplus
}
#endif

#endif /* QXDLL32_H */

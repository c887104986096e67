// The text file reader's record and its line reader, one template for the
// A form (bytes) and the W form (little-endian UTF-16 code units).
//
// The reader behaves as if it read the file in blocks of 1024 characters
// at offsets that are multiples of 1024: that block size shows through
// only in what a 0x1A character leaves readable (the rest of its block).
// Underneath, it reads ahead in larger chunks and keeps the reading state
// apart from the buffered data, so that a line too long for the caller's
// buffer is put back by restoring two fields, without a read or a seek.
#pragma once

#include <cstdint>
#include <limits>

#include "platform/unique_handle.h"
#include "platform/win32_api.h"
#include "qxdll32.h"

namespace qx::jcode {

// Characters of the block the reader behaves as if it read.
inline constexpr std::uint32_t kTextBlock = 1024;
// Characters actually read per ReadFile call; a multiple of kTextBlock.
inline constexpr std::uint32_t kTextReadAhead = 16 * kTextBlock;

inline constexpr std::uint64_t kNoEnd = std::numeric_limits<std::uint64_t>::max();

// Which open function made a record: each reader accepts only its own.
enum class TextForm : std::uint32_t { kBytes = 0x41, kUtf16 = 0x57 };

// The part of the record shared by both forms; first in both, so close and
// the handle checks read it whatever the form.
struct TextFileHead {
  std::uint32_t signature;  // kSigTextFile
  TextForm form;
  unique_file file;  // empty once the reader closed the file after an error
};

// What a call may change and what a too-long line puts back.
struct ReadState {
  std::uint64_t position = 0;  // file offset of the next character, in characters
  std::uint64_t end = kNoEnd;  // no character at or past it is read (set by 0x1A)
  std::uint32_t previous = 0;  // last character taken, 0 after a completed CR LF / LF CR
};

// A text file handle: heap record from open to close.
template <class Ch>
struct TextFile {
  TextFileHead head;
  ReadState state;
  std::uint64_t fileEnd = kNoEnd;  // the file's length in characters, once a read came up short
  std::uint64_t filePointer = 0;   // where the system file pointer stands, in bytes
  std::uint64_t bufferStart = 0;   // file offset of buffer[0], in characters
  std::uint32_t bufferCount = 0;   // characters held
  Ch buffer[kTextReadAhead];
};

// Copies the next line, without its line end, into line[0..size-1] and
// terminates it. Needs an open file, a non-null line and size >= 1.
// Returns QXERR_NONE with a line in the caller's buffer, or:
//   QXERR_ENDOFFILE  no more lines;
//   QXERR_TOOLONG    nothing changed: retry with a larger buffer;
//   QXERR_READ       ReadFile (or the seek before it) failed: the file is closed;
//   QXERR_BADDATA    a zero character: the file is closed.
template <class Ch>
DWORD ReadLine(TextFile<Ch>& text, Ch* line, std::uint32_t size) noexcept;

}  // namespace qx::jcode

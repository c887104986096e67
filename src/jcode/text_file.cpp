// The line reader. Each call takes characters from the buffered chunk
// until a line end, refilling as it goes; ordinary characters are copied
// in runs. CR and LF each end a line, except that the second half of a
// CR LF or LF CR pair only completes the pair, which `previous` tracks
// across calls and chunks.
#include "jcode/text_file.h"

#include <algorithm>

namespace qx::jcode {
namespace {

constexpr std::uint32_t kCr = 0x0D;
constexpr std::uint32_t kLf = 0x0A;
constexpr std::uint32_t kEof = 0x1A;

// Zero, LF, CR and 0x1A: the characters the reader acts on.
constexpr std::uint32_t kSpecialMask = (1u << 0) | (1u << kLf) | (1u << kCr) | (1u << kEof);

template <class Ch>
std::uint32_t Unit(Ch c) {
  if constexpr (sizeof(Ch) == 1) {
    return static_cast<unsigned char>(c);
  } else {
    return static_cast<std::uint16_t>(c);
  }
}

inline bool IsSpecial(std::uint32_t c) {
  return c <= kEof && ((kSpecialMask >> c) & 1u) != 0;
}

// The end of the 1024-character block that holds `offset`.
inline std::uint64_t BlockEnd(std::uint64_t offset) {
  return (offset / kTextBlock + 1) * kTextBlock;
}

// Reads the chunk that starts at `position`, seeking first unless the
// file pointer already stands there.
template <class Ch>
bool Refill(TextFile<Ch>& text, std::uint64_t position) {
  const std::uint64_t byteOffset = position * sizeof(Ch);
  if (text.filePointer != byteOffset) {
    LONG high = static_cast<LONG>(byteOffset >> 32);
    SetLastError(ERROR_SUCCESS);
    const DWORD low = SetFilePointer(text.head.file, static_cast<LONG>(byteOffset & 0xFFFFFFFFu),
                                     &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return false;
    text.filePointer = byteOffset;
  }
  const DWORD wanted = kTextReadAhead * sizeof(Ch);
  DWORD got = 0;
  if (!ReadFile(text.head.file, text.buffer, wanted, &got, nullptr)) return false;
  text.filePointer += got;
  text.bufferStart = position;
  // A UTF-16 file's unpaired last byte is dropped.
  text.bufferCount = got / sizeof(Ch);
  if (got < wanted) text.fileEnd = position + text.bufferCount;
  return true;
}

}  // namespace

void CloseTextFileHandle(TextFileHead& head) noexcept {
  if (head.file != nullptr) CloseHandle(head.file);
  head.file = nullptr;
}

template <class Ch>
LineResult ReadLine(TextFile<Ch>& text, Ch* line, std::uint32_t size) noexcept {
  const ReadState saved = text.state;
  ReadState& st = text.state;
  const std::uint32_t room = size - 1;
  std::uint32_t length = 0;
  for (;;) {
    const std::uint64_t end = std::min(st.end, text.fileEnd);
    if (st.position >= end) {
      if (length == 0) return LineResult::kEndOfFile;
      line[length] = 0;
      return LineResult::kLine;
    }
    if (st.position < text.bufferStart || st.position >= text.bufferStart + text.bufferCount) {
      if (!Refill(text, st.position)) {
        CloseTextFileHandle(text.head);
        return LineResult::kReadError;
      }
      continue;
    }
    const std::uint64_t first = st.position - text.bufferStart;
    const std::uint64_t last = std::min<std::uint64_t>(text.bufferCount, end - text.bufferStart);
    const Ch* p = text.buffer + first;
    const Ch* const stop = text.buffer + last;
    while (p < stop) {
      // Ordinary characters, as many as fit.
      const Ch* const runStop = p + std::min<std::uint64_t>(stop - p, room - length);
      const Ch* const runStart = p;
      while (p < runStop && !IsSpecial(Unit(*p)))
        line[length++] = *p++;
      if (p != runStart) st.previous = Unit(p[-1]);
      if (p == stop) break;
      const std::uint32_t c = Unit(*p);
      if (!IsSpecial(c)) {
        text.state = saved;
        return LineResult::kTooLong;
      }
      const std::uint64_t offset = text.bufferStart + static_cast<std::uint64_t>(p - text.buffer);
      ++p;
      if (c == 0) {
        CloseTextFileHandle(text.head);
        return LineResult::kBadData;
      }
      if (c == kEof) {
        // The end of the file: what is left of its block stays readable.
        st.previous = c;
        st.position = offset + 1;
        st.end = std::min(st.end, BlockEnd(offset));
        if (length == 0) return LineResult::kEndOfFile;
        line[length] = 0;
        return LineResult::kLine;
      }
      const std::uint32_t partner = c == kCr ? kLf : kCr;
      if (st.previous == partner) {
        st.previous = 0;  // the second half of a pair: no line end of its own
        continue;
      }
      st.previous = c;
      st.position = offset + 1;
      line[length] = 0;
      return LineResult::kLine;
    }
    st.position = text.bufferStart + static_cast<std::uint64_t>(p - text.buffer);
  }
}

template LineResult ReadLine<char>(TextFile<char>&, char*, std::uint32_t) noexcept;
template LineResult ReadLine<WCHAR>(TextFile<WCHAR>&, WCHAR*, std::uint32_t) noexcept;

}  // namespace qx::jcode

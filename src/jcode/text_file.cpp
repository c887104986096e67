// The line reader. Each call takes characters from the buffered chunk
// until a line end, refilling as it goes; ordinary characters are copied
// in runs. CR and LF each end a line, except that the second half of a
// CR LF or LF CR pair only completes the pair, which `previous` tracks
// across calls and chunks.
#include "jcode/text_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

// Sixteen bytes of characters as a vector (SSE2 where there is one,
// plain code elsewhere): 16 A characters or 8 W characters per step.
constexpr std::size_t kVectorBytes = 16;

template <class Ch>
struct Lanes;

template <>
struct Lanes<char> {
  using Vector = signed char __attribute__((vector_size(kVectorBytes)));
};

template <>
struct Lanes<WCHAR> {
  using Vector = std::int16_t __attribute__((vector_size(kVectorBytes)));
};

using Halves = std::uint64_t __attribute__((vector_size(kVectorBytes)));

// Copies ordinary characters from p to `line` until a special character
// or `stop`, and returns where it stopped. The first special character
// of a vector is its lowest flagged lane: in memory order on a
// little-endian machine; elsewhere the character loop does all the work.
template <class Ch>
const Ch* CopyOrdinary(const Ch* p, const Ch* stop, Ch* line, std::uint32_t& length) {
  using Vector = typename Lanes<Ch>::Vector;
  constexpr std::size_t kPerVector = sizeof(Vector) / sizeof(Ch);
  if constexpr (std::endian::native == std::endian::little) {
    while (static_cast<std::size_t>(stop - p) >= kPerVector) {
      Vector v;
      std::memcpy(&v, p, sizeof v);
      const Halves special =
          reinterpret_cast<Halves>((v == 0) | (v == kLf) | (v == kCr) | (v == kEof));
      // The whole vector fits (the run is bounded by the room left); what
      // lies past the run is overwritten or left past the terminator.
      std::memcpy(line + length, p, sizeof v);
      if ((special[0] | special[1]) == 0) {
        length += kPerVector;
        p += kPerVector;
        continue;
      }
      const int bit =
          special[0] != 0 ? std::countr_zero(special[0]) : 64 + std::countr_zero(special[1]);
      const auto run = static_cast<std::uint32_t>(bit) / (8 * sizeof(Ch));
      length += run;
      return p + run;
    }
  }
  while (p < stop && !IsSpecial(Unit(*p)))
    line[length++] = *p++;
  return p;
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
    const DWORD low = SetFilePointer(
        text.head.file.get(), static_cast<LONG>(byteOffset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return false;
    text.filePointer = byteOffset;
  }
  const DWORD wanted = kTextReadAhead * sizeof(Ch);
  DWORD got = 0;
  if (!ReadFile(text.head.file.get(), text.buffer, wanted, &got, nullptr)) return false;
  text.filePointer += got;
  text.bufferStart = position;
  // A UTF-16 file's unpaired last byte is dropped.
  text.bufferCount = got / sizeof(Ch);
  if (got < wanted) text.fileEnd = position + text.bufferCount;
  return true;
}

}  // namespace

template <class Ch>
DWORD ReadLine(TextFile<Ch>& text, Ch* line, std::uint32_t size) noexcept {
  // What a too-long line puts back. `end` changes only at a 0x1A, which
  // ends the call, so position and previous are all there is to keep
  // (read one by one: a copy of the whole struct would stall on the
  // separate stores of the last call).
  const std::uint64_t startPosition = text.state.position;
  const std::uint32_t startPrevious = text.state.previous;
  ReadState& st = text.state;
  const std::uint32_t room = size - 1;
  std::uint32_t length = 0;
  for (;;) {
    const std::uint64_t end = std::min(st.end, text.fileEnd);
    if (st.position >= end) {
      if (length == 0) return QXERR_ENDOFFILE;
      line[length] = 0;
      return QXERR_NONE;
    }
    if (st.position < text.bufferStart || st.position >= text.bufferStart + text.bufferCount) {
      if (!Refill(text, st.position)) {
        text.head.file.reset();
        return QXERR_READ;
      }
      continue;
    }
    const std::uint64_t first = st.position - text.bufferStart;
    const std::uint64_t last = std::min<std::uint64_t>(text.bufferCount, end - text.bufferStart);
    const Ch* p = text.buffer + first;
    const Ch* const stop = text.buffer + last;
    std::uint32_t previous = st.previous;
    while (p < stop) {
      // Ordinary characters, as many as fit.
      const Ch* const runStop = p + std::min<std::uint64_t>(stop - p, room - length);
      const Ch* const runStart = p;
      p = CopyOrdinary(p, runStop, line, length);
      if (p != runStart) previous = Unit(p[-1]);
      if (p == stop) break;
      const std::uint32_t c = Unit(*p);
      if (!IsSpecial(c)) {
        st.position = startPosition;
        st.previous = startPrevious;
        return QXERR_TOOLONG;
      }
      const std::uint64_t offset = text.bufferStart + static_cast<std::uint64_t>(p - text.buffer);
      ++p;
      if (c == 0) {
        text.head.file.reset();
        return QXERR_BADDATA;
      }
      if (c == kEof) {
        // The end of the file: what is left of its block stays readable.
        st.previous = c;
        st.position = offset + 1;
        st.end = std::min(st.end, BlockEnd(offset));
        if (length == 0) return QXERR_ENDOFFILE;
        line[length] = 0;
        return QXERR_NONE;
      }
      const std::uint32_t partner = c == kCr ? kLf : kCr;
      if (previous == partner) {
        previous = 0;  // the second half of a pair: no line end of its own
        continue;
      }
      // The line ends here. When the other half of a pair follows in the
      // buffer it is taken now, as the next call would take it first.
      if (p < stop && Unit(*p) == partner) {
        st.previous = 0;
        st.position = offset + 2;
      } else {
        st.previous = c;
        st.position = offset + 1;
      }
      line[length] = 0;
      return QXERR_NONE;
    }
    st.previous = previous;
    st.position = text.bufferStart + static_cast<std::uint64_t>(p - text.buffer);
  }
}

template DWORD ReadLine<char>(TextFile<char>&, char*, std::uint32_t) noexcept;
template DWORD ReadLine<WCHAR>(TextFile<WCHAR>&, WCHAR*, std::uint32_t) noexcept;

}  // namespace qx::jcode

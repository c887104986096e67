// File-name, extension and separator-run helpers on zero-terminated A and W
// strings. Backslash and slash are both separators and neither is rewritten;
// only a single-byte character can be a separator, period or colon.
#pragma once

#include "frame/char_step.h"

namespace qx::text {

template <class Ch>
constexpr bool IsSeparator(Ch c) noexcept {
  return c == Ch('\\') || c == Ch('/');
}

// Just past the last separator, or null when there is none.
template <class Ch>
Ch* FindFileName(Ch* path) noexcept {
  Ch* name = nullptr;
  for (Ch* p = path; *p != 0; p += CharStep<Ch>::Width(p)) {
    if (IsSeparator(*p)) name = p + 1;
  }
  return name;
}

// Just past the last period after the last separator, or null.
template <class Ch>
Ch* FindExtension(Ch* path) noexcept {
  Ch* extension = nullptr;
  for (Ch* p = path; *p != 0; p += CharStep<Ch>::Width(p)) {
    if (*p == Ch('.')) {
      extension = p + 1;
    } else if (IsSeparator(*p)) {
      extension = nullptr;
    }
  }
  return extension;
}

// Copies one character (one or two units) from *read to *write.
template <class Ch>
void CopyChar(Ch*& read, Ch*& write) noexcept {
  const std::size_t width = CharStep<Ch>::Width(read);
  for (std::size_t i = 0; i < width; ++i)
    *write++ = *read++;
}

template <class Ch>
void SkipSeparators(Ch*& read) noexcept {
  while (IsSeparator(*read))
    ++read;
}

// Keeps the first separator of each run. A leading separator is exempt
// from its run, so "\\server" keeps its pair and "\\\server" becomes it.
template <class Ch>
void CollapsePathSeparators(Ch* path) noexcept {
  Ch* read = path;
  Ch* write = path;
  if (IsSeparator(*read)) ++read, ++write;
  while (*read != 0) {
    const bool separator = IsSeparator(*read);
    CopyChar(read, write);
    if (separator) SkipSeparators(read);
  }
  *write = 0;
}

// As for paths, but the run right after a colon passes through whole
// ("proto://", "file:///", "C://"), and a leading run gets no exemption.
template <class Ch>
void CollapseUrlSeparators(Ch* url) noexcept {
  Ch* read = url;
  Ch* write = url;
  while (*read != 0) {
    const Ch c = *read;
    CopyChar(read, write);
    if (c == Ch(':')) {
      while (IsSeparator(*read))
        *write++ = *read++;
    } else if (IsSeparator(c)) {
      SkipSeparators(read);
    }
  }
  *write = 0;
}

}  // namespace qx::text

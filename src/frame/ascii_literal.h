// An ASCII literal as a string of A or W units, made at compile time, so that
// a text that both forms use is written once.
#pragma once

#include <cstddef>

namespace qx {

template <class Ch, std::size_t N>
struct Ascii {
  Ch text[N];
  constexpr explicit Ascii(const char (&s)[N]) : text{} {
    for (std::size_t i = 0; i < N; ++i)
      text[i] = static_cast<Ch>(s[i]);
  }
};

template <class Ch, std::size_t N>
constexpr Ascii<Ch, N> Literal(const char (&s)[N]) {
  return Ascii<Ch, N>(s);
}

}  // namespace qx

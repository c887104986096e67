// A zero-terminated string built piece by piece in a fixed buffer of N
// units, for key paths and formatted values. Running out of room is
// remembered rather than truncated silently: a cut path would name some
// other key, a cut value would store wrong data.
#pragma once

#include <cstddef>

#include "frame/ascii_literal.h"
#include "text/decimal.h"

namespace qx::reg {

template <class Ch, std::size_t N>
class TextBuilder {
 public:
  TextBuilder() noexcept { text_[0] = 0; }

  TextBuilder& Append(const Ch* s) noexcept {
    while (*s != 0)
      Append(*s++);
    return *this;
  }

  TextBuilder& Append(Ch c) noexcept {
    if (length_ + 1 < N) {
      text_[length_++] = c;
      text_[length_] = 0;
    } else {
      fits_ = false;
    }
    return *this;
  }

  // Signed decimal, as "%d" formats it.
  TextBuilder& AppendDecimal(long long value) noexcept {
    const unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                                   : static_cast<unsigned long long>(value);
    Ch digits[21];
    qx::text::WriteDecimal(magnitude, digits);
    if (value < 0) Append(static_cast<Ch>('-'));
    return Append(digits);
  }

  bool fits() const noexcept { return fits_; }
  const Ch* c_str() const noexcept { return text_; }
  Ch* data() noexcept { return text_; }

 private:
  Ch text_[N];
  std::size_t length_ = 0;
  bool fits_ = true;
};

}  // namespace qx::reg

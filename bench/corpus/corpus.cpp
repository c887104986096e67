#include "corpus/corpus.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iterator>

namespace qxbench {
namespace {

// JIS X 0208 row/cell to Shift_JIS (0x2121 -> 0x8140).
void AppendJis(std::string& out, unsigned row, unsigned cell) {
  const unsigned j1 = 0x20 + row;
  const unsigned j2 = 0x20 + cell;
  const unsigned s1 = (j1 + 1) / 2 + (j1 < 0x5F ? 0x70 : 0xB0);
  const unsigned s2 = (j1 & 1) != 0 ? j2 + (j2 < 0x60 ? 0x1F : 0x20) : j2 + 0x7E;
  out += static_cast<char>(s1);
  out += static_cast<char>(s2);
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  unsigned Below(unsigned n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<unsigned>(state_ % n);
  }

 private:
  std::uint64_t state_;
};

const char* const kWords[] = {"file", "data", "Windows", "UTF-8", "copy", "2024", "OK", "path"};

}  // namespace

std::string CorpusDir() {
  const char* dir = std::getenv("QX_CORPUS_DIR");
  return dir != nullptr ? dir : "corpus";
}

std::string SyntheticShiftJis(std::size_t bytes) {
  std::string out;
  out.reserve(bytes + 64);
  Rng rng(0x71786A70u);
  std::size_t lineLength = 0;
  while (out.size() < bytes) {
    const unsigned kind = rng.Below(100);
    if (kind < 35) {
      AppendJis(out, 4, 1 + rng.Below(83));  // hiragana
    } else if (kind < 50) {
      AppendJis(out, 5, 1 + rng.Below(86));  // katakana
    } else if (kind < 85) {
      const unsigned row = 16 + rng.Below(32);  // level-1 kanji, rows 16-47
      AppendJis(out, row, 1 + rng.Below(row == 47 ? 51 : 94));
    } else if (kind < 92) {
      AppendJis(out, 1, 2 + rng.Below(2));  // ideographic comma and full stop
    } else {
      out += ' ';
      out += kWords[rng.Below(std::size(kWords))];
      out += ' ';
    }
    lineLength += 2;
    if (lineLength > 60 + rng.Below(40)) {
      out += '\n';
      lineLength = 0;
    }
  }
  const std::size_t end = out.rfind('\n', bytes - 1);
  out.resize(end == std::string::npos ? 0 : end + 1);
  return out;
}

std::string ShiftJisCorpus(std::size_t bytes) {
  std::ifstream in(CorpusDir() + "/prose-sjis.txt", std::ios::binary);
  std::string seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (seed.size() < 4096) return SyntheticShiftJis(bytes);
  if (seed.back() != '\n') seed += '\n';
  std::string out;
  out.reserve(bytes);
  while (out.size() + seed.size() <= bytes)
    out += seed;
  const std::size_t rest = bytes - out.size();
  const std::size_t end = rest == 0 ? std::string::npos : seed.rfind('\n', rest - 1);
  if (end != std::string::npos) out.append(seed, 0, end + 1);
  return out;
}

std::string Reencode(const std::string& sjis, const char* toCode) {
  iconv_t cd = iconv_open(toCode, "SHIFT_JIS");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(sjis.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(sjis.data());
  std::size_t inLeft = sjis.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  if (rc != static_cast<std::size_t>(-1)) iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) return {};
  out.resize(out.size() - outLeft);
  return out;
}

std::u16string Utf16Corpus(const std::string& sjis) {
  const std::string bytes = Reencode(sjis, "UTF-16LE");
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

}  // namespace qxbench

// Differential tests against glibc iconv on Japanese text restricted to
// JIS X 0208: a few paragraphs of prose plus every code point that both
// iconv tables map, in lines with ASCII and CR LF line ends. Shift_JIS to
// EUC-JP must equal iconv byte for byte; output in JIS must decode through
// iconv to the same text; round trips must be lossless.
#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "jcode/convert_support.h"
#include "qxdll32.h"

namespace {

using qxtest::Convert;

// Converts with iconv; empty with a failure when iconv refuses.
std::string Iconv(const std::string& text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv_open " << from << " -> " << to;
    return {};
  }
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  if (rc != static_cast<std::size_t>(-1)) iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) {
    ADD_FAILURE() << "iconv refused " << from << " -> " << to;
    return {};
  }
  out.resize(out.size() - outLeft);
  return out;
}

const char kProse[] =
    "吾輩はここで始めて人間というものを見た。しかもあとで聞くとそれは書生という\r\n"
    "人間中で一番獰悪な種族であったそうだ。この書生というのは時々我々を捕えて煮て\r\n"
    "食うという話である。しかしその当時は何という考もなかったから別段恐しいとも\r\n"
    "思わなかった。ファイルを開いて、行ごとに読み込み（ＣＲ　ＬＦ）、変換する。\r\n"
    "第１章　東京都千代田区、２０２４年１２月、価格は１，２００円。\r\n";

// Shift_JIS test text: the prose, then every JIS X 0208 code point that
// iconv maps in both SHIFT_JIS and EUC-JP, 40 to a line behind an ASCII tag.
std::string ShiftJisFixture() {
  std::string sjis = Iconv(kProse, "UTF-8", "SHIFT_JIS");
  iconv_t fromSjis = iconv_open("UTF-8", "SHIFT_JIS");
  iconv_t fromEuc = iconv_open("UTF-8", "EUC-JP");
  // The code point's text in UTF-8, or empty when iconv does not map it.
  auto decode = [](iconv_t cd, std::string code) {
    char out[8];
    char* in = code.data();
    char* outPtr = out;
    std::size_t inLeft = code.size(), outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
      return std::string();
    return std::string(out, outPtr);
  };
  int onLine = 0;
  for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string code = qxtest::SjisOf(j1, j2);
      const std::string viaSjis = decode(fromSjis, code);
      if (viaSjis.empty() || viaSjis != decode(fromEuc, {char(j1 | 0x80), char(j2 | 0x80)}))
        continue;
      if (onLine == 0) sjis += "code " + std::to_string(j1) + ": ";
      sjis += code;
      if (++onLine == 40) {
        sjis += "\r\n";
        onLine = 0;
      }
    }
  }
  iconv_close(fromSjis);
  iconv_close(fromEuc);
  return sjis + "\r\nend\r\n";
}

std::string WithLf(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

class IconvDiff : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sjis_ = new std::string(WithLf(ShiftJisFixture()));
    ASSERT_GT(sjis_->size(), 15000u) << "fixture lost most code points";
  }
  static void TearDownTestSuite() { delete sjis_; }
  static std::string* sjis_;
};

std::string* IconvDiff::sjis_ = nullptr;

TEST_F(IconvDiff, ShiftJisToEucMatchesIconvByteForByte) {
  const std::string crlf = ShiftJisFixture();
  EXPECT_EQ(Convert(crlf, QXJCODE_SJIS, QXJCODE_EUC), Iconv(*sjis_, "SHIFT_JIS", "EUC-JP"));
}

TEST_F(IconvDiff, JisOutputDecodesToTheSameText) {
  const std::string text = Iconv(*sjis_, "SHIFT_JIS", "UTF-8");
  const std::string euc = Iconv(*sjis_, "SHIFT_JIS", "EUC-JP");
  EXPECT_EQ(Iconv(Convert(*sjis_, QXJCODE_SJIS, QXJCODE_JIS), "ISO-2022-JP", "UTF-8"), text);
  EXPECT_EQ(Iconv(Convert(euc, QXJCODE_EUC, QXJCODE_JIS), "ISO-2022-JP", "UTF-8"), text);
}

// iconv's own JIS (which returns with ESC ( B) and EUC-JP convert back,
// and every chain through the other encodings returns the same text.
TEST_F(IconvDiff, ConversionsBackAndRoundTrips) {
  const std::string jis = Iconv(*sjis_, "SHIFT_JIS", "ISO-2022-JP");
  const std::string euc = Iconv(*sjis_, "SHIFT_JIS", "EUC-JP");
  EXPECT_EQ(Convert(jis, QXJCODE_JIS, QXJCODE_SJIS), *sjis_);
  EXPECT_EQ(Convert(jis, QXJCODE_JIS, QXJCODE_EUC), euc);
  EXPECT_EQ(Convert(euc, QXJCODE_EUC, QXJCODE_SJIS), *sjis_);
  for (int via : {QXJCODE_JIS, QXJCODE_EUC}) {
    const int other = via == QXJCODE_JIS ? QXJCODE_EUC : QXJCODE_JIS;
    const std::string there = Convert(*sjis_, QXJCODE_SJIS, via);
    EXPECT_EQ(Convert(there, via, QXJCODE_SJIS), *sjis_) << via;
    EXPECT_EQ(Convert(Convert(there, via, other), other, QXJCODE_SJIS), *sjis_) << via;
  }
}

}  // namespace

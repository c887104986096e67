// Exports of encoding detection and conversion. Neither touches the
// library error code; null pointers are answered, never dereferenced.
#include "jcode/convert.h"
#include "jcode/detect.h"
#include "qxdll32.h"

namespace {

const unsigned char* Bytes(const char* text) {
  return reinterpret_cast<const unsigned char*>(text);
}

}  // namespace

extern "C" int QXAPI qxJudgeJpnCodeType(const char* text) {
  if (text == nullptr) return QXJCODE_NOTTEXT;
  return qx::jcode::JudgeCodeType(Bytes(text));
}

extern "C" int QXAPI qxConvertJpnCode(char* dst, int dstCode, const char* src, int srcCode) {
  if (dst == nullptr) return 0;
  std::size_t written = 0;
  if (src == nullptr || !qx::jcode::Convert(reinterpret_cast<unsigned char*>(dst), dstCode,
                                            Bytes(src), srcCode, written)) {
    dst[0] = '\0';
    return 0;
  }
  return static_cast<int>(written);
}

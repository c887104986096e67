// Exports of number formatting. None of them touches the library error
// code; a failure is a null result.
#include "qxdll32.h"
#include "text/figure_sep.h"

using qx::text::FigureSepInteger;

extern "C" char* QXAPI qxFigureSepStrA(const char* number, char* out, int outSize, QXDWORD) {
  return qx::text::GroupDigits(number, out, outSize, qx::text::UserDigitGrouping<char>());
}

extern "C" QXWCHAR* QXAPI qxFigureSepStrW(const QXWCHAR* number, QXWCHAR* out, int outSize,
                                          QXDWORD) {
  return qx::text::GroupDigits(number, out, outSize, qx::text::UserDigitGrouping<QXWCHAR>());
}

extern "C" char* QXAPI qxFigureSepInt32A(int value, char* out, int outSize, QXDWORD flags) {
  return FigureSepInteger(static_cast<std::int32_t>(value), out, outSize, flags);
}

extern "C" QXWCHAR* QXAPI qxFigureSepInt32W(int value, QXWCHAR* out, int outSize, QXDWORD flags) {
  return FigureSepInteger(static_cast<std::int32_t>(value), out, outSize, flags);
}

extern "C" char* QXAPI qxFigureSepInt64A(long long value, char* out, int outSize, QXDWORD flags) {
  return FigureSepInteger(static_cast<std::int64_t>(value), out, outSize, flags);
}

extern "C" QXWCHAR* QXAPI qxFigureSepInt64W(long long value, QXWCHAR* out, int outSize,
                                            QXDWORD flags) {
  return FigureSepInteger(static_cast<std::int64_t>(value), out, outSize, flags);
}

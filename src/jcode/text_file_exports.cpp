// Exports of the text file reader: handle and argument checks, the error
// codes, and the record's allocation around the shared line reader.
#include <new>
#include <utility>

#include "frame/error_code.h"
#include "frame/handle_record.h"
#include "jcode/text_file.h"
#include "platform/system_calls.h"
#include "qxdll32.h"

namespace {

using qx::jcode::TextFile;
using qx::jcode::TextFileHead;
using qx::jcode::TextForm;

template <class Ch>
constexpr TextForm kFormOf = sizeof(Ch) == 1 ? TextForm::kBytes : TextForm::kUtf16;

template <class Ch>
QXHTEXTFILE OpenText(const Ch* fileName) noexcept {
  qx::unique_file file(fileName != nullptr
                           ? qx::win::CreateFileT(fileName, GENERIC_READ, FILE_SHARE_READ,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL)
                           : INVALID_HANDLE_VALUE);
  if (!file) {
    qx::SetErrCode(QXERR_OPEN);
    return nullptr;
  }
  auto* text = new (std::nothrow) TextFile<Ch>;
  if (text == nullptr) {
    qx::SetErrCode(QXERR_NOMEMORY);
    return nullptr;
  }
  text->head = {qx::kSigTextFile, kFormOf<Ch>, std::move(file)};
  return reinterpret_cast<QXHTEXTFILE>(text);
}

template <class Ch>
QXBOOL ReadText(QXHTEXTFILE handle, Ch* line, QXDWORD size) noexcept {
  auto* head = qx::RecordOf<TextFileHead>(handle, qx::kSigTextFile);
  if (head == nullptr) return 0;
  if (head->form != kFormOf<Ch>) {
    qx::SetErrCode(QXERR_BADHANDLE);
    return 0;
  }
  if (!head->file) {
    qx::SetErrCode(QXERR_UNAVAILABLE);
    return 0;
  }
  if (line == nullptr || size == 0) {
    qx::SetErrCode(QXERR_BADPARAM);
    return 0;
  }
  auto& text = *reinterpret_cast<TextFile<Ch>*>(head);
  return qx::Report(qx::jcode::ReadLine(text, line, size));
}

}  // namespace

extern "C" QXHTEXTFILE QXAPI qxOpenTextFileA(const char* fileName) {
  return OpenText(fileName);
}

extern "C" QXHTEXTFILE QXAPI qxOpenTextFileW(const QXWCHAR* fileName) {
  return OpenText(fileName);
}

extern "C" QXBOOL QXAPI qxReadTextFileA(QXHTEXTFILE handle, char* line, QXDWORD size) {
  return ReadText(handle, line, size);
}

extern "C" QXBOOL QXAPI qxReadTextFileW(QXHTEXTFILE handle, QXWCHAR* line, QXDWORD size) {
  return ReadText(handle, line, size);
}

extern "C" QXBOOL QXAPI qxCloseTextFile(QXHTEXTFILE handle) {
  auto* head = qx::RecordOf<TextFileHead>(handle, qx::kSigTextFile);
  if (head == nullptr) return 0;
  head->signature = 0;  // a stale copy of the handle no longer looks alive
  if (head->form == TextForm::kBytes) {
    delete reinterpret_cast<TextFile<char>*>(head);
  } else {
    delete reinterpret_cast<TextFile<WCHAR>*>(head);
  }
  return 1;
}

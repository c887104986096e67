// One file of a file operation, run on the caller's thread: the source is
// examined, a collision at the destination settled by the chosen policy, the
// data moved or copied in 1024-byte blocks, and every step shown by the
// dialog through a sent message.
#include <cstdint>
#include <type_traits>

#include "fileop/fileop_engine.h"
#include "fileop/owned_file.h"
#include "fileop/win_calls.h"
#include "frame/error_code.h"
#include "qxdll32.h"

namespace qx::fileop {
namespace {

constexpr DWORD kBlockSize = 1024;
constexpr DWORD kFlushEvery = 0x100000;
constexpr DWORD kSequential = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
constexpr int kPathSize = 1024;       // the unique-name buffer
constexpr int kUniqueSuffixMax = 25;  // "_yymdd_hhmmss(4294967295)"
constexpr UINT_PTR kFirstCaptionText = 0x10000;

enum Policy : DWORD {
  kFail = QXFOF_FAIL,
  kOverwrite = QXFOF_OVERWRITE,
  kNewName = QXFOF_NEWNAME,
  kMoveAside = QXFOF_MOVEASIDE,
  kNewerKeeps = QXFOF_NEWERKEEPS,
  kOlderKeeps = QXFOF_OLDERKEEPS,
};

DWORD OpBitsOf(UINT_PTR code) noexcept {
  switch (code) {
    case QXFOP_MOVE:
    case QXFOP_RENAME:
      return kOpAny | kOpTwoNames | kOpDeleteSource | kOpMove;
    case QXFOP_COPY:
      return kOpAny | kOpTwoNames | kOpCopy;
    case QXFOP_DELETE:
      return kOpAny | kOpDeleteSource;
    default:
      return code >= kFirstCaptionText ? kOpAny | kOpCaptionText : 0;
  }
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) noexcept {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Counts wrap around as the record's fixed-width fields do, never trap.
template <class Int>
Int Add(Int a, Int b, bool subtract = false) noexcept {
  using U = std::make_unsigned_t<Int>;
  return static_cast<Int>(subtract ? static_cast<U>(a) - static_cast<U>(b)
                                   : static_cast<U>(a) + static_cast<U>(b));
}

template <class Ch>
class FileStep {
 public:
  FileStep(FileOpRecord& record, HWND dialog, UINT_PTR code, DWORD flags, const Ch* source,
           const Ch* destination) noexcept
      : record_(record),
        dialog_(dialog),
        flags_(flags),
        source_(source),
        destination_(destination),
        target_(destination) {
    record_.opBits = OpBitsOf(code);
    record_.caption = code;
    record_.sourceName = source;
    record_.targetName = destination;
    record_.fileBytes = 0;
    record_.fileBytesDone = 0;
  }

  DWORD Run() noexcept {
    Tell(QXFOM_NEWFILE);
    const DWORD bits = record_.opBits;
    const bool displayOnly = (bits & kOpCaptionText) != 0;
    if (!(displayOnly && (flags_ & QXFOF_NOSOURCE))) {
      if (!ReadInfo(source_, sourceInfo_)) return QXERR_SRCOPEN;
      record_.fileBytes = static_cast<std::int64_t>(
          (static_cast<std::uint64_t>(sourceInfo_.nFileSizeHigh) << 32) | sourceInfo_.nFileSizeLow);
      Tell(QXFOM_FILESIZE);
    }
    if (!(bits & kOpTwoNames)) {
      if (!displayOnly) {
        if (!DeleteWithAttributes(source_, sourceInfo_.dwFileAttributes)) return QXERR_DSTDELETE;
        Progress(record_.fileBytes);
      }
      return Count();
    }
    if (DWORD status = PlaceTarget()) return status;
    if (DWORD status = Transfer()) return status;
    return Count();
  }

 private:
  static bool ReadInfo(const Ch* name, BY_HANDLE_FILE_INFORMATION& info) noexcept {
    OwnedFile file(Win<Ch>::Open(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL));
    return file && GetFileInformationByHandle(file.get(), &info);
  }

  // Clears the attributes (a read-only file deletes too) and deletes; a
  // file that stays gets its attributes back.
  static bool DeleteWithAttributes(const Ch* name, DWORD attributes) noexcept {
    Win<Ch>::SetAttributes(name, FILE_ATTRIBUTE_NORMAL);
    if (Win<Ch>::Remove(name)) return true;
    Win<Ch>::SetAttributes(name, attributes);
    return false;
  }

  void Tell(UINT message, WPARAM wParam = 0) noexcept {
    Win<Ch>::Send(dialog_, message, wParam, reinterpret_cast<LPARAM>(&record_));
  }

  void Progress(std::int64_t done) noexcept {
    record_.fileBytesDone = done;
    Tell(QXFOM_FILEPROGRESS);
  }

  // An absent destination gets its folders; an existing one is settled by
  // the collision policy. A destination that is a folder does not open as a
  // file and so counts as absent.
  DWORD PlaceTarget() noexcept {
    BY_HANDLE_FILE_INFORMATION existing;
    if (!ReadInfo(destination_, existing)) {
      return Win<Ch>::MakeDirectories(destination_) ? QXERR_NONE : ErrCode();
    }
    DWORD policy = flags_ & 0x07;
    if (policy == kNewerKeeps || policy == kOlderKeeps) {
      const LONG order = CompareFileTime(&sourceInfo_.ftLastWriteTime, &existing.ftLastWriteTime);
      const bool incomingTakesName = policy == kNewerKeeps ? order >= 0 : order <= 0;
      policy = incomingTakesName ? kMoveAside : kNewName;
    }
    // Overwriting a file with itself, or moving it aside to copy it back,
    // would lose it; only a second copy under a new name makes sense.
    if (SameFile(sourceInfo_, existing) && policy != kFail && policy != kNewName) {
      return QXERR_BADPARAM;
    }
    switch (policy) {
      case kFail:
        return QXERR_EXISTS;
      case kOverwrite:
        return DeleteWithAttributes(destination_, existing.dwFileAttributes) ? QXERR_NONE
                                                                             : QXERR_DSTDELETE;
      case kNewName:
        if (!MakeUniqueName(sourceInfo_.ftLastWriteTime)) return ErrCode();
        target_ = unique_;
        record_.targetName = unique_;
        Tell(QXFOM_NEWFILE);
        return QXERR_NONE;
      case kMoveAside:
        if (!MakeUniqueName(existing.ftLastWriteTime)) return ErrCode();
        return Win<Ch>::RenameFile(destination_, Win<Ch>::ScanFileName(unique_)) ? QXERR_NONE
                                                                                 : ErrCode();
      default:
        return QXERR_BADPARAM;
    }
  }

  // The unique-name buffer holds 1024 characters; a destination that leaves
  // no room for the longest suffix is refused before anything changes.
  bool MakeUniqueName(const FILETIME& time) noexcept {
    if (Win<Ch>::Length(destination_) + kUniqueSuffixMax + 1 > kPathSize) {
      SetErrCode(QXERR_BADPARAM);
      return false;
    }
    return Win<Ch>::MakeUniqPath(unique_, destination_, &time, flags_ >> 16);
  }

  DWORD Transfer() noexcept {
    const bool move = (record_.opBits & kOpMove) != 0;
    if (move && Win<Ch>::Move(source_, target_)) {
      Progress(record_.fileBytes);
      return QXERR_NONE;
    }
    if (DWORD status = CopyData()) return status;
    if (move && !DeleteWithAttributes(source_, sourceInfo_.dwFileAttributes))
      return QXERR_SRCDELETE;
    return QXERR_NONE;
  }

  // Copies in 1024-byte blocks, checking for Abort before each. Whatever
  // stops the copy early (Abort, a failed read or write) removes the target
  // it created, so no truncated file is left under the destination name.
  DWORD CopyData() noexcept {
    OwnedFile target(Win<Ch>::Open(target_, GENERIC_WRITE, 0, CREATE_ALWAYS, kSequential));
    OwnedFile input(
        Win<Ch>::Open(source_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, kSequential));
    const bool created = static_cast<bool>(target);
    auto fail = [&](DWORD status) {
      input.reset();
      if (created) {
        target.reset();
        Win<Ch>::Remove(target_);
      }
      return status;
    };
    char block[kBlockSize];
    DWORD sinceFlush = 0;
    std::int64_t done = 0;
    for (;;) {
      if (record_.Aborted()) return fail(QXERR_ABORTED);
      DWORD got = 0;
      if (!input || !ReadFile(input.get(), block, kBlockSize, &got, nullptr)) {
        return fail(QXERR_READ);
      }
      if (!target) return fail(QXERR_WRITE);
      if (got == 0) break;
      DWORD put = 0;
      if (!WriteFile(target.get(), block, got, &put, nullptr) || put != got) {
        return fail(QXERR_WRITE);
      }
      done = Add(done, static_cast<std::int64_t>(put));
      Progress(done);
      sinceFlush += got;
      if (sinceFlush >= kFlushEvery) {
        sinceFlush -= kFlushEvery;
        Tell(QXFOM_CAPTION, IDS_FLUSHING);
        FlushFileBuffers(target.get());
        Tell(QXFOM_CAPTION, record_.caption);
      }
    }
    input.reset();
    FlushFileBuffers(target.get());
    SetFileTime(target.get(), &sourceInfo_.ftCreationTime, &sourceInfo_.ftLastAccessTime,
                &sourceInfo_.ftLastWriteTime);
    target.reset();
    Win<Ch>::SetAttributes(target_, sourceInfo_.dwFileAttributes);
    return QXERR_NONE;
  }

  DWORD Count() noexcept {
    if (flags_ & QXFOF_NOCOUNT) return QXERR_NONE;
    const bool uncount = (flags_ & QXFOF_UNCOUNT) != 0;
    record_.fileCountDone = Add(record_.fileCountDone, std::int32_t{1}, uncount);
    record_.totalBytesDone = Add(record_.totalBytesDone, record_.fileBytes, uncount);
    Tell(QXFOM_SHOWCOUNTS);
    return QXERR_NONE;
  }

  static constexpr WPARAM IDS_FLUSHING = 5;

  FileOpRecord& record_;
  HWND dialog_;
  DWORD flags_;
  const Ch* source_;
  const Ch* destination_;
  const Ch* target_;  // the destination, or the unique name beside it
  BY_HANDLE_FILE_INFORMATION sourceInfo_{};
  Ch unique_[kPathSize];
};

}  // namespace

template <class Ch>
DWORD Operate(FileOpRecord& record, UINT_PTR code, const Ch* source, const Ch* destination,
              DWORD flags) noexcept {
  if (record.Aborted()) return QXERR_ABORTED;
  HWND dialog = record.dialogWindow;
  if (dialog == nullptr) return QXERR_UNAVAILABLE;
  const DWORD bits = OpBitsOf(code);
  if (bits == 0 || source == nullptr) return QXERR_BADPARAM;
  if ((bits & kOpTwoNames) && destination == nullptr) return QXERR_BADPARAM;
  return FileStep<Ch>(record, dialog, code, flags, source, destination).Run();
}

template DWORD Operate<char>(FileOpRecord&, UINT_PTR, const char*, const char*, DWORD) noexcept;
template DWORD Operate<WCHAR>(FileOpRecord&, UINT_PTR, const WCHAR*, const WCHAR*, DWORD) noexcept;

}  // namespace qx::fileop

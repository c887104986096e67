// One file of a file operation, run on the caller's thread: the source is
// examined, a collision at the destination settled by the chosen policy, and
// the data moved or copied in large blocks. The dialog is told what changed
// through one sent message at a steady pace, and always at the end of the
// step, so that it shows every file's exact figures once the call returns.
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <type_traits>
#include <utility>

#include "fileop/fileop_engine.h"
#include "fileop/naming.h"
#include "fileop/window_calls.h"
#include "platform/halves.h"
#include "platform/system_calls.h"
#include "platform/unique_handle.h"
#include "qxdll32.h"
#include "resource.h"
#include "text/path_names.h"

namespace qx::fileop {
namespace {

constexpr DWORD kFlushEvery = 0x100000;
constexpr DWORD kSequential = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
constexpr UINT_PTR kFirstCaptionText = 0x10000;
// The per-file flags: the collision policy in the low three bits, the
// unique-name mode in the high word (QXFOF_UNIQMODE).
constexpr DWORD kPolicyBits = 0x07;
constexpr int kUniqModeShift = 16;
static_assert(QXFOF_UNIQMODE(1) == 1u << kUniqModeShift);
// The dialog hears of changes at most this often while a step runs (about
// 25 updates a second), and always at the step's end.
constexpr ULONGLONG kShowMilliseconds = 40;
// Room for a final path with its "\\?\" prefix; a longer one goes unread.
constexpr DWORD kFinalPathSize = 2048;

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

// Whether two files' information names one file: the volume serial and the
// file index match and are known (file systems that keep no index give 0).
bool SameIndex(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) noexcept {
  return a.dwVolumeSerialNumber != 0 && (a.nFileIndexHigh | a.nFileIndexLow) != 0 &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// The file's final path, as the system resolves links and short names.
bool FinalPath(HANDLE file, WCHAR (&path)[kFinalPathSize]) noexcept {
  const DWORD length = GetFinalPathNameByHandleW(file, path, kFinalPathSize, 0);
  return length != 0 && length < kFinalPathSize;
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

  StepResult Run() noexcept {
    const DWORD status = Steps();
    Show(true);
    return {status, madeUniqueName_};
  }

 private:
  DWORD Steps() noexcept {
    Owe(kShowFile);
    const DWORD bits = record_.opBits;
    const bool displayOnly = (bits & kOpCaptionText) != 0;
    if (!(displayOnly && (flags_ & QXFOF_NOSOURCE))) {
      if (OpenInfo(source_, sourceInfo_) != kKnown) return QXERR_SRCOPEN;
      record_.fileBytes = static_cast<std::int64_t>(
          JoinHalves(sourceInfo_.nFileSizeLow, sourceInfo_.nFileSizeHigh));
      Owe(kShowFileSize | kShowFileLine);
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

  enum Presence { kAbsent, kUnknown, kKnown };

  // Opens `name` without access rights and reads its information: kAbsent
  // when it does not open, kUnknown (with `info` zeroed) when it opens but
  // tells nothing.
  static Presence OpenInfo(const Ch* name, BY_HANDLE_FILE_INFORMATION& info) noexcept {
    const unique_file file = OpenForQuery(name);
    if (!file) return kAbsent;
    if (GetFileInformationByHandle(file.get(), &info)) return kKnown;
    info = {};
    return kUnknown;
  }

  // The destination is the source itself: the same file index, confirmed by
  // the same final path wherever the system can give both.
  bool IsSource(const BY_HANDLE_FILE_INFORMATION& existing) const noexcept {
    if (!SameIndex(sourceInfo_, existing)) return false;
    const unique_file source = OpenForQuery(source_), destination = OpenForQuery(destination_);
    WCHAR sourcePath[kFinalPathSize], destinationPath[kFinalPathSize];
    if (!source || !destination || !FinalPath(source.get(), sourcePath) ||
        !FinalPath(destination.get(), destinationPath)) {
      return true;
    }
    return std::wcscmp(sourcePath, destinationPath) == 0;
  }

  // Clears the attributes (a read-only file deletes too) and deletes; a
  // file that stays gets its attributes back.
  static bool DeleteWithAttributes(const Ch* name, DWORD attributes) noexcept {
    win::SetFileAttributesT(name, FILE_ATTRIBUTE_NORMAL);
    if (win::DeleteFileT(name)) return true;
    win::SetFileAttributesT(name, attributes);
    return false;
  }

  void Tell(UINT message, WPARAM wParam = 0) noexcept {
    Win<Ch>::Send(dialog_, message, wParam, reinterpret_cast<LPARAM>(&record_));
  }

  // Notes a change the dialog must show. A new file (or target name)
  // clears the file line, so a line owed before it is dropped.
  void Owe(WPARAM parts) noexcept {
    if (parts & kShowFile) owed_ &= ~WPARAM{kShowFileLine};
    owed_ |= parts;
    Show(false);
  }

  // Tells the dialog what it is owed: at once when `now`, otherwise only
  // when the last telling is kShowMilliseconds old. Every QXFOM_SHOW also
  // makes the dialog catch up with the captions posted before it.
  void Show(bool now) noexcept {
    const ULONGLONG tick = GetTickCount64();
    if ((owed_ == 0 && !captionPosted_) || (!now && tick - record_.shownAt < kShowMilliseconds))
      return;
    record_.shownAt = tick;
    captionPosted_ = false;
    Tell(QXFOM_SHOW, std::exchange(owed_, 0));
  }

  // Shows string `id` in the caption line. Posted, so that a copy need not
  // wait for the repaint; sent when the dialog's queue is full.
  void Caption(WPARAM id) noexcept {
    if (Win<Ch>::Post(dialog_, QXFOM_CAPTION, id, reinterpret_cast<LPARAM>(&record_))) {
      captionPosted_ = true;
    } else {
      Tell(QXFOM_CAPTION, id);
    }
  }

  void Progress(std::int64_t done) noexcept {
    record_.fileBytesDone = done;
    Owe(kShowFileLine);
  }

  // An absent destination gets its folders; an existing one is settled by
  // the collision policy. A destination that is a folder does not open as a
  // file and so counts as absent; one that opens but tells nothing exists,
  // with the oldest time and no file index.
  DWORD PlaceTarget() noexcept {
    BY_HANDLE_FILE_INFORMATION existing;
    const Presence presence = OpenInfo(destination_, existing);
    if (presence == kAbsent) return MakeDirectories(destination_);
    DWORD policy = flags_ & kPolicyBits;
    if (policy == kNewerKeeps || policy == kOlderKeeps) {
      const LONG order = CompareFileTime(&sourceInfo_.ftLastWriteTime, &existing.ftLastWriteTime);
      const bool incomingTakesName = policy == kNewerKeeps ? order >= 0 : order <= 0;
      policy = incomingTakesName ? kMoveAside : kNewName;
    }
    // Overwriting a file with itself, or moving it aside to copy it back,
    // would lose it; only a second copy under a new name makes sense.
    if (policy != kFail && policy != kNewName && IsSource(existing)) return QXERR_BADPARAM;
    switch (policy) {
      case kFail:
        return QXERR_EXISTS;
      case kOverwrite:
        return DeleteWithAttributes(destination_, existing.dwFileAttributes) ? QXERR_NONE
                                                                             : QXERR_DSTDELETE;
      case kNewName:
        if (DWORD status = MakeUniqueName(&sourceInfo_.ftLastWriteTime)) return status;
        target_ = unique_;
        record_.targetName = unique_;
        Owe(kShowFile);
        return QXERR_NONE;
      case kMoveAside:
        // Without its own time the existing file's unique name reads it again.
        if (DWORD status = MakeUniqueName(presence == kKnown ? &existing.ftLastWriteTime : nullptr))
          return status;
        return RenameFile(destination_, text::FindFileName(unique_));
      default:
        return QXERR_BADPARAM;
    }
  }

  // A destination that leaves no room for the longest suffix is refused
  // before anything changes.
  DWORD MakeUniqueName(const FILETIME* time) noexcept {
    const DWORD status = MakeUniqPath(unique_, destination_, time, flags_ >> kUniqModeShift);
    madeUniqueName_ = status == QXERR_NONE;
    return status;
  }

  DWORD Transfer() noexcept {
    const bool move = (record_.opBits & kOpMove) != 0;
    if (move && win::MoveFileT(source_, target_)) {
      Progress(record_.fileBytes);
      return QXERR_NONE;
    }
    if (DWORD status = CopyData()) return status;
    if (move && !DeleteWithAttributes(source_, sourceInfo_.dwFileAttributes))
      return QXERR_SRCDELETE;
    return QXERR_NONE;
  }

  // Copies in blocks of up to kCopyBlockBytes that never cross a MiB
  // boundary, so that each flush falls on a whole MiB written, and checks
  // for Abort before each. Whatever stops the copy early (Abort, a failed
  // read or write) removes the target it created, so no truncated file is
  // left under the destination name.
  DWORD CopyData() noexcept {
    unique_file target(win::CreateFileT(target_, GENERIC_WRITE, 0, CREATE_ALWAYS, kSequential));
    unique_file input(
        win::CreateFileT(source_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, kSequential));
    const bool created = static_cast<bool>(target);
    auto fail = [&](DWORD status) {
      input.reset();
      if (created) {
        target.reset();
        win::DeleteFileT(target_);
      }
      return status;
    };
    char* const block = record_.copyBlock.get();
    DWORD sinceFlush = 0;
    std::int64_t done = 0;
    for (;;) {
      if (record_.Aborted()) return fail(QXERR_ABORTED);
      const DWORD wanted = std::min(kCopyBlockBytes, kFlushEvery - sinceFlush);
      DWORD got = 0;
      if (!input || !ReadFile(input.get(), block, wanted, &got, nullptr)) return fail(QXERR_READ);
      if (!target) return fail(QXERR_WRITE);
      if (got == 0) break;
      DWORD put = 0;
      if (!WriteFile(target.get(), block, got, &put, nullptr) || put != got) {
        return fail(QXERR_WRITE);
      }
      done = Add(done, static_cast<std::int64_t>(put));
      Progress(done);
      sinceFlush += got;
      if (sinceFlush == kFlushEvery) {
        sinceFlush = 0;
        Caption(IDS_FILEOP_FLUSHING);
        FlushFileBuffers(target.get());
        Caption(record_.caption);
      }
    }
    input.reset();
    FlushFileBuffers(target.get());
    SetFileTime(target.get(), &sourceInfo_.ftCreationTime, &sourceInfo_.ftLastAccessTime,
                &sourceInfo_.ftLastWriteTime);
    target.reset();
    win::SetFileAttributesT(target_, sourceInfo_.dwFileAttributes);
    return QXERR_NONE;
  }

  DWORD Count() noexcept {
    if (flags_ & QXFOF_NOCOUNT) return QXERR_NONE;
    const bool uncount = (flags_ & QXFOF_UNCOUNT) != 0;
    record_.fileCountDone = Add(record_.fileCountDone, std::int32_t{1}, uncount);
    record_.totalBytesDone = Add(record_.totalBytesDone, record_.fileBytes, uncount);
    Owe(kShowCounts);
    return QXERR_NONE;
  }

  FileOpRecord& record_;
  HWND dialog_;
  DWORD flags_;
  const Ch* source_;
  const Ch* destination_;
  const Ch* target_;  // the destination, or the unique name beside it
  BY_HANDLE_FILE_INFORMATION sourceInfo_{};
  WPARAM owed_ = 0;             // kShow... parts the dialog has not been told of
  bool captionPosted_ = false;  // since the last QXFOM_SHOW
  bool madeUniqueName_ = false;
  Ch unique_[kWorkChars];
};

}  // namespace

template <class Ch>
StepResult Operate(FileOpRecord& record, UINT_PTR code, const Ch* source, const Ch* destination,
                   DWORD flags) noexcept {
  if (record.Aborted()) return {QXERR_ABORTED};
  HWND dialog = record.dialogWindow;
  if (dialog == nullptr) return {QXERR_UNAVAILABLE};
  const DWORD bits = OpBitsOf(code);
  if (bits == 0 || source == nullptr) return {QXERR_BADPARAM};
  if ((bits & kOpTwoNames) && destination == nullptr) return {QXERR_BADPARAM};
  return FileStep<Ch>(record, dialog, code, flags, source, destination).Run();
}

template StepResult Operate<char>(FileOpRecord&, UINT_PTR, const char*, const char*,
                                  DWORD) noexcept;
template StepResult Operate<WCHAR>(FileOpRecord&, UINT_PTR, const WCHAR*, const WCHAR*,
                                   DWORD) noexcept;

}  // namespace qx::fileop

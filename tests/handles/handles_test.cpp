// Every handle-taking export against every kind of handle: null, a block
// that is no handle at all, a stale record, and each live kind in each form.
// Only a live handle of the right kind (and form, where the form matters)
// is used; everything else fails with QXERR_BADHANDLE and changes nothing.
//
// A freed handle cannot be passed honestly: its memory is no longer the
// caller's to read. A close clears a record's signature before freeing it,
// so a stale handle is a test-owned copy of a live record's first bytes with
// the signature cleared; the library must refuse it by the signature alone.
#include <array>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include <commctrl.h>
#endif

#include "support/qxtest.h"

namespace qxtest {
namespace {

// clang-format off
enum Kind : unsigned { kNull = 1, kBogus = 2, kStale = 4, kCvtA = 8, kCvtW = 16, kTextA = 32,
                       kTextW = 64, kOpA = 128, kOpW = 256 };
// clang-format on

struct Block {
  alignas(16) std::array<unsigned char, 256> bytes{};
};

Block StaleCopyOf(const void* record) {
  Block block;
  std::memcpy(block.bytes.data(), record, 16);  // every record is at least this large
  std::memset(block.bytes.data(), 0, 4);        // the signature, as a close leaves it
  return block;
}

// A handle as any of the distinct handle types.
struct AnyHandle {
  void* p;
  template <class T>
  operator T*() const {  // NOLINT: implicit on purpose
    return static_cast<T*>(p);
  }
};

const char kText[] = "xxabcxx";
const QXWCHAR kWideText[] = {'x', 'x', 'A', 'B', 'C', 'x', 'x', 0};
char g_line[8];
QXWCHAR g_lineW[8];
std::string g_missing;  // a file that does not exist
Str<QXWCHAR> g_missingW;
using Result = std::uintptr_t;
constexpr Result kClosed = ~Result{0};  // its own kinds are closed at the end
constexpr QXDWORD kLeft = 0xFFFFFFFFu;  // the error code is left alone

template <class T>
Result R(T value) {
  if constexpr (std::is_pointer_v<T>)
    return Addr(value);
  else
    return static_cast<Result>(value);
}
#define CALL(expr)        \
  [](void* p) {           \
    const AnyHandle h{p}; \
    return R(expr);       \
  }

// One handle-taking export: the kinds it takes, what it gives them (`good`,
// with the error code left alone unless `goodError` says otherwise), and
// what it gives every other kind (`refused`, with QXERR_BADHANDLE).
struct Export {
  const char* name;
  unsigned takes;
  Result (*call)(void* handle);
  Result refused;
  Result good;
  QXDWORD goodError = kLeft;
};

// clang-format off
const Export kExports[] = {
    {"SaaCloseCvt", kCvtA | kCvtW, CALL(qxSaaCloseCvt(h)), 0, kClosed},
    {"CloseTextFile", kTextA | kTextW, CALL(qxCloseTextFile(h)), 0, kClosed},
    {"SaaScanStringA", kCvtA, CALL(qxSaaScanStringA(h, kText)), 0, R(kText + 2), QXERR_NONE},
    {"SaaScanStringW", kCvtW, CALL(qxSaaScanStringW(h, kWideText)), 0, R(kWideText + 2), QXERR_NONE},
    {"SaaGetMatchLength", kCvtA | kCvtW, CALL(qxSaaGetMatchLength(h)), 0xFFFFFFFFu, 3},
    {"ReadTextFileA", kTextA, CALL(qxReadTextFileA(h, g_line, 8)), 0, 1},
    {"ReadTextFileW", kTextW, CALL(qxReadTextFileW(h, g_lineW, 8)), 0, 1},
#if defined(_WIN32)
    {"CloseFileOp", kOpA | kOpW, CALL(qxCloseFileOp(h)), 0, kClosed},
    {"SetFileOpEntry", kOpA | kOpW, CALL(qxSetFileOpEntry(h, 10, 1, 1000, 0, 10, 0)), 0, 1},
    {"OperateFileOpA", kOpA, CALL(qxOperateFileOpA(h, QXFOP_DELETE, g_missing.c_str(), nullptr, 0)), 0, 0, QXERR_SRCOPEN},
    {"OperateFileOpW", kOpW, CALL(qxOperateFileOpW(h, QXFOP_DELETE, g_missingW.c_str(), nullptr, 0)), 0, 0, QXERR_SRCOPEN},
#endif
};
// clang-format on

TEST(Handles, EveryExportAgainstEveryKind) {
  ScratchDir dir;
  dir.Write("a.txt", "abc\r\nabc\r\n");
  dir.Write("w.txt", std::string("a\0b\0c\0\r\0\n\0a\0", 12));
  g_missing = dir.A("missing.txt");
  g_missingW = S<QXWCHAR>(dir.A("missing.txt"));

  struct Handle {
    const char* name;
    Kind kind;
    void* value;
  };
  Block bogus, zeroed;
  bogus.bytes.fill(0xCD);
  std::vector<Handle> handles = {
    {"converter A", kCvtA, qxSaaCreateCvtA("abc", 0)},
    {"converter W", kCvtW, Form<QXWCHAR>::SaaCreateCvt(Arg<QXWCHAR>("abc"), QXSAA_NOCASE)},
    {"text file A", kTextA, qxOpenTextFileA(dir.A("a.txt").c_str())},
    {"text file W", kTextW, Form<QXWCHAR>::OpenTextFile(Arg<QXWCHAR>(dir.A("w.txt")))},
#if defined(_WIN32)
    {"file operation A", kOpA, (InitCommonControls(), qxCreateFileOpA(nullptr, 0))},
    {"file operation W", kOpW, qxCreateFileOpW(nullptr, QXFOC_SHORT | QXFOC_NOABORT)},
#endif
  };
  std::vector<Block> stale;
  stale.reserve(handles.size());
  for (const Handle& h : std::vector<Handle>(handles)) {
    ASSERT_NE(h.value, nullptr) << h.name;
    stale.push_back(StaleCopyOf(h.value));
    handles.push_back({"stale record", kStale, stale.back().bytes.data()});
  }
  handles.push_back({"NULL", kNull, nullptr});
  handles.push_back({"bogus block", kBogus, bogus.bytes.data()});
  handles.push_back({"zeroed block", kBogus, zeroed.bytes.data()});

  for (const Export& e : kExports) {
    for (const Handle& h : handles) {
      SCOPED_TRACE(std::string(e.name) + "(" + h.name + ")");
      if ((e.takes & h.kind) == 0) {
        EXPECT_QXFAIL(e.call(h.value), e.refused, QXERR_BADHANDLE);
      } else if (e.good != kClosed && e.goodError != kLeft) {
        EXPECT_QXFAIL(e.call(h.value), e.good, e.goodError);
      } else if (e.good != kClosed) {
        EXPECT_QXOK(e.call(h.value), e.good);
      }
    }
  }
  // The reads got the first line; the refusals wrote nothing after it.
  EXPECT_STREQ(g_line, "abc");
  EXPECT_EQ(Str<QXWCHAR>(g_lineW), S<QXWCHAR>("abc"));
  // The live handles survived every wrong-kind call and close once.
  for (const Handle& h : handles) {
    for (const Export& e : kExports) {
      if ((e.takes & h.kind) != 0 && e.good == kClosed) {
        EXPECT_EQ(e.call(h.value), 1u) << h.name;
      }
    }
  }
}

}  // namespace
}  // namespace qxtest

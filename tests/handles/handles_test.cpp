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
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include <commctrl.h>
#endif

#include "support/qxtest.h"

namespace qxtest {
namespace {

enum Kind : unsigned {
  kNull = 1,
  kBogus = 2,
  kStale = 4,
  kCvtA = 8,
  kCvtW = 16,
  kTextA = 32,
  kTextW = 64,
  kOpA = 128,
  kOpW = 256
};

struct Block {
  alignas(16) std::array<unsigned char, 256> bytes{};
};

Block StaleCopyOf(const void* record) {
  Block block;
  std::memcpy(block.bytes.data(), record, 16);  // every record is at least this large
  std::memset(block.bytes.data(), 0, 4);        // the signature, as a close leaves it
  return block;
}

// The handle types are distinct pointer types; rows carry them as void*.
auto Cvt(void* h) {
  return static_cast<QXHCVT>(h);
}
auto Txt(void* h) {
  return static_cast<QXHTEXTFILE>(h);
}
#if defined(_WIN32)
auto Op(void* h) {
  return static_cast<QXHFILEOP>(h);
}
#endif

const char kText[] = "xxabcxx";
const QXWCHAR kWideText[] = {'x', 'x', 'A', 'B', 'C', 'x', 'x', 0};
char g_line[8];
std::string g_missing;  // a file that does not exist
QXWCHAR g_lineW[8];
constexpr std::uintptr_t kClosed = ~std::uintptr_t{0};  // its own kinds are closed at the end
constexpr QXDWORD kLeft = 0xFFFFFFFFu;                  // the error code is left alone

// One handle-taking export: the kinds it takes, what it gives them (`good`,
// with the error code left alone unless `goodError` says otherwise), and
// what it gives every other kind (`refused`, with QXERR_BADHANDLE).
using Result = std::uintptr_t;
struct Export {
  const char* name;
  unsigned takes;
  Result (*call)(void* handle);
  std::uintptr_t refused;
  std::uintptr_t good;
  QXDWORD goodError = kLeft;
};

const Export kExports[] = {
    {"SaaCloseCvt", kCvtA | kCvtW, [](void* h) -> Result { return qxSaaCloseCvt(Cvt(h)); }, 0,
     kClosed},
    {"CloseTextFile", kTextA | kTextW, [](void* h) -> Result { return qxCloseTextFile(Txt(h)); }, 0,
     kClosed},
    {"SaaScanStringA", kCvtA, [](void* h) { return Addr(qxSaaScanStringA(Cvt(h), kText)); }, 0,
     Addr(kText + 2), QXERR_NONE},
    {"SaaScanStringW", kCvtW, [](void* h) { return Addr(qxSaaScanStringW(Cvt(h), kWideText)); }, 0,
     Addr(kWideText + 2), QXERR_NONE},
    {"SaaGetMatchLength", kCvtA | kCvtW,
     [](void* h) -> Result { return qxSaaGetMatchLength(Cvt(h)); }, 0xFFFFFFFFu, 3},
    {"ReadTextFileA", kTextA, [](void* h) -> Result { return qxReadTextFileA(Txt(h), g_line, 8); },
     0, 1},
    {"ReadTextFileW", kTextW, [](void* h) -> Result { return qxReadTextFileW(Txt(h), g_lineW, 8); },
     0, 1},
#if defined(_WIN32)
    {"CloseFileOp", kOpA | kOpW, [](void* h) -> Result { return qxCloseFileOp(Op(h)); }, 0,
     kClosed},
    {"SetFileOpEntry", kOpA | kOpW,
     [](void* h) -> Result { return qxSetFileOpEntry(Op(h), 10, 1, 1000, 0, 10, 0); }, 0, 1},
    {"OperateFileOpA", kOpA,
     [](void* h) -> Result {
       return qxOperateFileOpA(Op(h), QXFOP_DELETE, g_missing.c_str(), nullptr, 0);
     },
     0, 0, QXERR_SRCOPEN},
    {"OperateFileOpW", kOpW,
     [](void* h) -> Result {
       const WString wide = S<QXWCHAR>(g_missing);
       return qxOperateFileOpW(Op(h), QXFOP_DELETE, wide.c_str(), nullptr, 0);
     },
     0, 0, QXERR_SRCOPEN},
#endif
};

TEST(Handles, EveryExportAgainstEveryKind) {
  ScratchDir dir;
  dir.Write("a.txt", "abc\r\nabc\r\n");
  dir.Write("w.txt", std::string("a\0b\0c\0\r\0\n\0a\0", 12));
  g_missing = dir.A("missing.txt");

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
    {"text file W", kTextW, Form<QXWCHAR>::OpenTextFile(dir.P<QXWCHAR>("w.txt").c_str())},
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
  EXPECT_EQ(WString(g_lineW), S<QXWCHAR>("abc"));
  // A good converter is checked before its text.
  EXPECT_QXFAIL(qxSaaScanStringA(Cvt(handles[0].value), nullptr), nullptr, QXERR_BADPARAM);
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

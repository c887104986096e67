// Every handle-taking export against every kind of handle: null, a block
// that is no handle at all, a stale record, and each live kind in each form.
// Only a live handle of the right kind (and form, where the form matters)
// is used; everything else fails with QXERR_BADHANDLE and changes nothing.
//
// A freed handle cannot be passed honestly: its memory is no longer the
// caller's to read. What a close leaves behind is a record whose signature
// was cleared before the block was freed, so a stale handle is modelled by
// a test-owned copy of a live record's first bytes with the signature
// cleared; the library must refuse it by the signature alone.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include <commctrl.h>
#endif

#include "fileop/scratch.h"
#include "hardening/sweep.h"

namespace qxtest {
namespace {

enum class Kind {
  kNone,
  kBogus,
  kStale,
  kConverterA,
  kConverterW,
  kTextA,
  kTextW,
  kFileOpA,
  kFileOpW
};

struct Handle {
  std::string name;
  Kind kind;
  void* value;
};

// Test-owned blocks standing in for handles that are not live records.
struct Block {
  alignas(16) std::array<unsigned char, 256> bytes{};
};

Block StaleCopyOf(const void* record) {
  Block block;
  std::memcpy(block.bytes.data(), record, 16);  // every record is at least this large
  std::memset(block.bytes.data(), 0, 4);        // what a close does before freeing
  return block;
}

class HandleSweep : public ::testing::Test {
 protected:
  HandleSweep() : dir_("hardening") {
    std::string lines;
    for (int i = 0; i < 200; ++i)
      lines += "abc\r\n";
    dir_.Touch("a.txt", lines);
    std::string wide;
    for (char c : lines)
      wide += std::string{c, '\0'};
    dir_.Touch("w.txt", wide);
  }

  void SetUp() override {
    converterA_ = qxSaaCreateCvtA("abc", 0);
    converterW_ = qxSaaCreateCvtW(Widen("abc").c_str(), QXSAA_NOCASE);
    textA_ = qxOpenTextFileA(dir_.A("a.txt").c_str());
    textW_ = qxOpenTextFileW(dir_.W("w.txt").c_str());
    ASSERT_NE(converterA_, nullptr);
    ASSERT_NE(converterW_, nullptr);
    ASSERT_NE(textA_, nullptr);
    ASSERT_NE(textW_, nullptr);
    std::memset(bogus_.bytes.data(), 0xCD, bogus_.bytes.size());
    staleConverter_ = StaleCopyOf(converterA_);
    staleText_ = StaleCopyOf(textW_);
    handles_ = {
        {"NULL", Kind::kNone, nullptr},
        {"bogus block", Kind::kBogus, bogus_.bytes.data()},
        {"zeroed block", Kind::kBogus, zeroed_.bytes.data()},
        {"stale converter", Kind::kStale, staleConverter_.bytes.data()},
        {"stale text file", Kind::kStale, staleText_.bytes.data()},
        {"converter A", Kind::kConverterA, converterA_},
        {"converter W", Kind::kConverterW, converterW_},
        {"text file A", Kind::kTextA, textA_},
        {"text file W", Kind::kTextW, textW_},
    };
#if defined(_WIN32)
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    fileOpA_ = qxCreateFileOpA(nullptr, 0);
    fileOpW_ = qxCreateFileOpW(nullptr, QXFOC_SHORT | QXFOC_NOABORT);
    ASSERT_NE(fileOpA_, nullptr);
    ASSERT_NE(fileOpW_, nullptr);
    staleFileOp_ = StaleCopyOf(fileOpA_);
    handles_.push_back({"stale file operation", Kind::kStale, staleFileOp_.bytes.data()});
    handles_.push_back({"file operation A", Kind::kFileOpA, fileOpA_});
    handles_.push_back({"file operation W", Kind::kFileOpW, fileOpW_});
#endif
  }

  // The live handles survived every wrong-kind close and still close once.
  void TearDown() override {
    if (converterA_) {
      EXPECT_EQ(qxSaaCloseCvt(converterA_), 1);
    }
    if (converterW_) {
      EXPECT_EQ(qxSaaCloseCvt(converterW_), 1);
    }
    if (textA_) {
      EXPECT_EQ(qxCloseTextFile(textA_), 1);
    }
    if (textW_) {
      EXPECT_EQ(qxCloseTextFile(textW_), 1);
    }
#if defined(_WIN32)
    if (fileOpA_) {
      EXPECT_EQ(qxCloseFileOp(fileOpA_), 1);
    }
    if (fileOpW_) {
      EXPECT_EQ(qxCloseFileOp(fileOpW_), 1);
    }
#endif
  }

  // One row per handle for an export: `good` says which kinds it takes
  // (and then what it gives), every other kind is refused with `refused`.
  template <class Good, class Call>
  void Sweep(const char* exportName, std::uintptr_t refused, Good good, Call call) {
    std::vector<Row> rows;
    for (const Handle& h : handles_) {
      Row row{std::string(exportName) + "(" + h.name + ")", [call, &h] { return call(h.value); },
              refused, QXERR_BADHANDLE};
      if (!good(h.kind, row)) rows.push_back(std::move(row));
    }
    RunRows(rows);
  }

  static bool None(Kind, Row&) {
    return false;
  }

  ScratchDir dir_;
  QXHCVT converterA_ = nullptr;
  QXHCVT converterW_ = nullptr;
  QXHTEXTFILE textA_ = nullptr;
  QXHTEXTFILE textW_ = nullptr;
#if defined(_WIN32)
  QXHFILEOP fileOpA_ = nullptr;
  QXHFILEOP fileOpW_ = nullptr;
  Block staleFileOp_;
#endif
  Block bogus_;
  Block zeroed_;
  Block staleConverter_;
  Block staleText_;
  std::vector<Handle> handles_;
};

// The closing exports refuse every handle not their own, which must stay
// usable (TearDown closes each once).
TEST_F(HandleSweep, ClosesRefuseOtherKinds) {
  auto skip = [](std::initializer_list<Kind> own) {
    return [own](Kind k, Row&) {
      for (Kind o : own)
        if (o == k) return true;
      return false;
    };
  };
  Sweep("SaaCloseCvt", 0, skip({Kind::kConverterA, Kind::kConverterW}),
        [](void* h) { return std::uintptr_t(qxSaaCloseCvt(static_cast<QXHCVT>(h))); });
  Sweep("CloseTextFile", 0, skip({Kind::kTextA, Kind::kTextW}),
        [](void* h) { return std::uintptr_t(qxCloseTextFile(static_cast<QXHTEXTFILE>(h))); });
#if defined(_WIN32)
  Sweep("CloseFileOp", 0, skip({Kind::kFileOpA, Kind::kFileOpW}),
        [](void* h) { return std::uintptr_t(qxCloseFileOp(static_cast<QXHFILEOP>(h))); });
#endif
}

TEST_F(HandleSweep, ConverterCalls) {
  static const char text[] = "xxabcxx";
  static const WString wtext = Widen("xxABCxx");
  Sweep(
      "SaaScanStringA", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kConverterA) {
          row.want = Addr(text + 2);
          row.wantError = QXERR_NONE;
        }
        return false;
      },
      [](void* h) { return Addr(qxSaaScanStringA(static_cast<QXHCVT>(h), text)); });
  Sweep(
      "SaaScanStringW", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kConverterW) {
          row.want = Addr(wtext.c_str() + 2);
          row.wantError = QXERR_NONE;
        }
        return false;
      },
      [](void* h) { return Addr(qxSaaScanStringW(static_cast<QXHCVT>(h), wtext.c_str())); });
  // Either form's converter tells its last match length.
  Sweep(
      "SaaGetMatchLength", 0xFFFFFFFFu,
      [](Kind k, Row& row) {
        if (k == Kind::kConverterA || k == Kind::kConverterW) {
          row.want = 3;
          row.wantError = kUntouched;
        }
        return false;
      },
      [](void* h) { return std::uintptr_t(qxSaaGetMatchLength(static_cast<QXHCVT>(h))); });
  // A good handle is checked before the text.
  RunRows({
      {"SaaScanStringA(cvt, NULL)", [&] { return Addr(qxSaaScanStringA(converterA_, nullptr)); }, 0,
       QXERR_BADPARAM},
      {"SaaScanStringW(cvt, NULL)", [&] { return Addr(qxSaaScanStringW(converterW_, nullptr)); }, 0,
       QXERR_BADPARAM},
  });
}

TEST_F(HandleSweep, TextFileReads) {
  Guarded<char> line(8);
  Guarded<QXWCHAR> wline(8);
  Sweep(
      "ReadTextFileA", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kTextA) {
          row.want = 1;
          row.wantError = kUntouched;
        }
        return false;
      },
      [&](void* h) {
        return std::uintptr_t(qxReadTextFileA(static_cast<QXHTEXTFILE>(h), line.get(), 8));
      });
  Sweep(
      "ReadTextFileW", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kTextW) {
          row.want = 1;
          row.wantError = kUntouched;
        }
        return false;
      },
      [&](void* h) {
        return std::uintptr_t(qxReadTextFileW(static_cast<QXHTEXTFILE>(h), wline.get(), 8));
      });
  EXPECT_EQ(line.Text(), "abc");
  EXPECT_EQ(wline.Text(), Widen("abc"));
  EXPECT_TRUE(line.GuardsIntact());
  EXPECT_TRUE(wline.GuardsIntact());
  // Refusals wrote nothing: the poison after the terminator is intact.
  EXPECT_EQ(line.get()[4], Guarded<char>::kPoison);
  EXPECT_EQ(wline.get()[4], Guarded<QXWCHAR>::kPoison);
}

#if defined(_WIN32)
TEST_F(HandleSweep, FileOperationCalls) {
  const std::string missing = dir_.A("missing.txt");
  const WString wmissing = dir_.W("missing.txt");
  Sweep(
      "SetFileOpEntry", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kFileOpA || k == Kind::kFileOpW) {
          row.want = 1;
          row.wantError = kUntouched;
        }
        return false;
      },
      [](void* h) {
        return std::uintptr_t(qxSetFileOpEntry(static_cast<QXHFILEOP>(h), 10, 1, 1000, 0, 10, 0));
      });
  Sweep(
      "OperateFileOpA", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kFileOpA) row.wantError = QXERR_SRCOPEN;
        return false;
      },
      [&](void* h) {
        return std::uintptr_t(
            qxOperateFileOpA(static_cast<QXHFILEOP>(h), QXFOP_DELETE, missing.c_str(), nullptr, 0));
      });
  Sweep(
      "OperateFileOpW", 0,
      [](Kind k, Row& row) {
        if (k == Kind::kFileOpW) row.wantError = QXERR_SRCOPEN;
        return false;
      },
      [&](void* h) {
        return std::uintptr_t(qxOperateFileOpW(static_cast<QXHFILEOP>(h), QXFOP_DELETE,
                                               wmissing.c_str(), nullptr, 0));
      });
}
#endif

}  // namespace
}  // namespace qxtest

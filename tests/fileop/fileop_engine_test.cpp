// The file operation engine on real files in a scratch folder, with the
// progress dialog up (Wine and Xvfb): results, error codes, what is left on
// disk, and what the dialog shows after each step.
#include "fileop/fileop_harness.h"

namespace qxtest {
namespace {

constexpr std::uint64_t kJan2000 = 125911584000000000;  // 2000-01-01 00:00 UTC
constexpr std::uint64_t kDay = 864000000000;

class Engine : public FileOpTest {
 protected:
  void SetUp() override {
    op_ = qxCreateFileOpA(nullptr, 0);
    ASSERT_NE(op_, nullptr);
  }
  void TearDown() override {
    if (op_ != nullptr) {
      EXPECT_EQ(qxCloseFileOp(op_), 1);
    }
  }

  QXBOOL Op(UINT_PTR operation, const std::string& from, const std::string& to, QXDWORD flags = 0) {
    return qxOperateFileOpA(op_, operation, dir_.A(from).c_str(), dir_.A(to).c_str(), flags);
  }

  // Fails with `code` and leaves the counts alone.
  void ExpectFailure(QXBOOL result, QXDWORD code) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(qxGetErrCode(), code);
  }

  QXHFILEOP op_ = nullptr;
};

TEST_F(Engine, CopyKeepsSourceAndGivesTargetItsTimesAndAttributes) {
  Put("a.txt", std::string(5000, 'q'));
  SetWriteTime(dir_.A("a.txt"), kJan2000);
  SetFileAttributesA(dir_.A("a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(qxSetFileOpEntry(op_, 3, 0, 15000, 0, 0, 0), 1);

  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(Op(QXFOP_COPY, "a.txt", "b.txt"), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the error code alone";
  EXPECT_EQ(dir_.Read("b.txt"), std::string(5000, 'q'));
  EXPECT_EQ(dir_.Read("a.txt"), std::string(5000, 'q'));
  EXPECT_EQ(WriteTicks(dir_.A("b.txt")), kJan2000);
  EXPECT_EQ(Info(dir_.A("b.txt")).dwFileAttributes & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Copying...");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_SOURCE), dir_.A("a.txt"));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_ARROW), "->");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET), dir_.A("b.txt"));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_SIZE), OfTotal(5000, 5000));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_PERCENT), "100 %");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), OfTotal(1, 3));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT_PERCENT), "33 %");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), OfTotal(5000, 15000));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL_PERCENT), "33 %");
  EXPECT_TRUE(ControlEnabled(op_, IDC_FILEOP_FILE_BAR));
  EXPECT_TRUE(ControlEnabled(op_, IDC_FILEOP_COUNT_BAR));
}

TEST_F(Engine, GroupsLikeTheLocaleInTheCountLines) {
  char separator[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator);
  if (std::string(separator) != ",") GTEST_SKIP() << "locale groups with '" << separator << "'";
  ASSERT_EQ(qxSetFileOpEntry(op_, 5678, 1234, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), "1,234 / 5,678");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT_PERCENT), "21 %");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), "0") << "an unknown total shows the done value";
  EXPECT_FALSE(ControlEnabled(op_, IDC_FILEOP_TOTAL_BAR));
}

TEST_F(Engine, WithoutTotalsCountsStandAlone) {
  Put("a", "12345");
  Put("b", "");
  ASSERT_EQ(Op(QXFOP_COPY, "a", "x\\a"), 1);
  ASSERT_EQ(Op(QXFOP_COPY, "b", "x\\b"), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), "2");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), "5");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT_PERCENT), "");
  EXPECT_FALSE(ControlEnabled(op_, IDC_FILEOP_COUNT_BAR));
  // The empty file: "0 / 0" and "0 %", and it exists under the new folder.
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_SIZE), OfTotal(0, 0));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_PERCENT), "0 %");
  EXPECT_TRUE(dir_.Exists("x\\b"));
  EXPECT_EQ(dir_.Read("x\\b"), "");
}

TEST_F(Engine, MoveOnOneVolumeIsOneStep) {
  Put("a", std::string(3000, 'm'));
  DialogSpy spy(op_);
  ASSERT_EQ(Op(QXFOP_MOVE, "a", "deep\\er\\a"), 1);
  EXPECT_FALSE(dir_.Exists("a"));
  EXPECT_EQ(dir_.Read("deep\\er\\a"), std::string(3000, 'm'));
  EXPECT_EQ(spy.Count(qx::fileop::QXFOM_FILEPROGRESS), 1);
  EXPECT_EQ(RecordOf(op_).fileBytesDone, 3000);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Moving...");

  Put("b", "r");
  ASSERT_EQ(Op(QXFOP_RENAME, "b", "c"), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Renaming...");
  EXPECT_FALSE(dir_.Exists("b"));
  EXPECT_EQ(dir_.Read("c"), "r");
}

TEST_F(Engine, DeleteClearsReadOnlyAndShowsOneName) {
  Put("gone", "12345");
  SetFileAttributesA(dir_.A("gone").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(qxOperateFileOpA(op_, QXFOP_DELETE, dir_.A("gone").c_str(), nullptr, 0), 1);
  EXPECT_FALSE(dir_.Exists("gone"));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Deleting...");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_ARROW), "");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET), "");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_SIZE), Grouped(5));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_PERCENT), "");
  EXPECT_FALSE(ControlEnabled(op_, IDC_FILEOP_FILE_BAR));

  ExpectFailure(qxOperateFileOpA(op_, QXFOP_DELETE, dir_.A("gone").c_str(), nullptr, 0),
                QXERR_SRCOPEN);
}

TEST_F(Engine, DisplayOnlyStepsShowTheCallersCaption) {
  static const char caption[] = "Checking...";
  const auto code = reinterpret_cast<UINT_PTR>(caption);
  ASSERT_EQ(qxOperateFileOpA(op_, code, "Z:\\no\\such\\file", nullptr, QXFOF_NOSOURCE), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Checking...");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_SOURCE), "Z:\\no\\such\\file");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), "1");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), "0");

  ExpectFailure(qxOperateFileOpA(op_, code, "Z:\\no\\such\\file", nullptr, 0), QXERR_SRCOPEN);
  Put("seen", "1234567");
  ASSERT_EQ(qxOperateFileOpA(op_, code, dir_.A("seen").c_str(), nullptr, 0), 1);
  EXPECT_TRUE(dir_.Exists("seen"));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), "7");
}

TEST_F(Engine, CountingFlags) {
  Put("a", "123");
  ASSERT_EQ(qxSetFileOpEntry(op_, 10, 5, 100, 0, 50, 0), 1);
  ASSERT_EQ(Op(QXFOP_COPY, "a", "b", QXFOF_UNCOUNT), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), OfTotal(4, 10));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), OfTotal(47, 100));
  DialogSpy spy(op_);
  ASSERT_EQ(Op(QXFOP_COPY, "a", "c", QXFOF_NOCOUNT | QXFOF_UNCOUNT), 1);
  EXPECT_EQ(RecordOf(op_).fileCountDone, 4);
  EXPECT_EQ(RecordOf(op_).totalBytesDone, 47);
  EXPECT_EQ(spy.Count(qx::fileop::QXFOM_SHOWCOUNTS), 0);
}

TEST_F(Engine, RejectsBadArgumentsBeforeTouchingFiles) {
  Put("a", "1");
  for (UINT_PTR code : {UINT_PTR{0}, UINT_PTR{5}, UINT_PTR{0xFFFF}}) {
    ExpectFailure(Op(code, "a", "b"), QXERR_BADPARAM);
  }
  ExpectFailure(qxOperateFileOpA(op_, QXFOP_COPY, nullptr, dir_.A("b").c_str(), 0), QXERR_BADPARAM);
  ExpectFailure(qxOperateFileOpA(op_, QXFOP_COPY, dir_.A("a").c_str(), nullptr, 0), QXERR_BADPARAM);
  // The W form on an A handle would read the names in the wrong width.
  const WString a = dir_.W("a");
  ExpectFailure(qxOperateFileOpW(op_, QXFOP_DELETE, a.c_str(), nullptr, 0), QXERR_BADHANDLE);
  EXPECT_FALSE(dir_.Exists("b"));
  EXPECT_TRUE(dir_.Exists("a"));
  EXPECT_EQ(RecordOf(op_).fileCountDone, 0);

  const std::uint32_t wrong = 0x41537871;  // another family's signature
  ExpectFailure(qxOperateFileOpA(reinterpret_cast<QXHFILEOP>(const_cast<std::uint32_t*>(&wrong)),
                                 QXFOP_DELETE, "x", nullptr, 0),
                QXERR_BADHANDLE);
  ExpectFailure(qxSetFileOpEntry(nullptr, 1, 0, 0, 0, 0, 0), QXERR_BADHANDLE);
  ExpectFailure(qxCloseFileOp(nullptr), QXERR_BADHANDLE);
}

// --- Collisions -----------------------------------------------------------

TEST_F(Engine, PolicyFailLeavesBothFiles) {
  Put("src", "new");
  Put("dst", "old");
  ExpectFailure(Op(QXFOP_MOVE, "src", "dst", QXFOF_FAIL), QXERR_EXISTS);
  EXPECT_EQ(dir_.Read("src"), "new");
  EXPECT_EQ(dir_.Read("dst"), "old");
  ExpectFailure(Op(QXFOP_COPY, "src", "dst", 6), QXERR_BADPARAM);
  ExpectFailure(Op(QXFOP_COPY, "src", "dst", 7), QXERR_BADPARAM);
}

TEST_F(Engine, PolicyOverwriteReplacesEvenReadOnly) {
  Put("src", "new");
  Put("dst", "old, longer");
  SetFileAttributesA(dir_.A("dst").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(Op(QXFOP_COPY, "src", "dst", QXFOF_OVERWRITE), 1);
  EXPECT_EQ(dir_.Read("dst"), "new");
}

TEST_F(Engine, PolicyOverwriteRefusesTheSourceItself) {
  Put("same", "keep me");
  ExpectFailure(Op(QXFOP_COPY, "same", "same", QXFOF_OVERWRITE), QXERR_BADPARAM);
  ExpectFailure(Op(QXFOP_MOVE, "same", "same", QXFOF_MOVEASIDE), QXERR_BADPARAM);
  EXPECT_EQ(dir_.Read("same"), "keep me");
  ASSERT_EQ(Op(QXFOP_COPY, "same", "same", QXFOF_NEWNAME), 1);
  EXPECT_EQ(dir_.Read("same(1)"), "keep me");
}

TEST_F(Engine, PolicyNewNameWritesBesideTheExistingFile) {
  Put("d\\a.txt", "old");
  Put("a.txt", "new");
  ASSERT_EQ(Op(QXFOP_COPY, "a.txt", "d\\a.txt", QXFOF_NEWNAME), 1);
  EXPECT_EQ(dir_.Read("d\\a.txt"), "old");
  EXPECT_EQ(dir_.Read("d\\a(1).txt"), "new");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET), dir_.A("d\\a(1).txt"));
  ASSERT_EQ(Op(QXFOP_COPY, "a.txt", "d\\a.txt", QXFOF_NEWNAME), 1);
  EXPECT_EQ(dir_.Read("d\\a(2).txt"), "new");
}

TEST_F(Engine, PolicyMoveAsideRenamesTheExistingFile) {
  Put("d\\a.txt", "old");
  Put("a.txt", "new");
  ASSERT_EQ(Op(QXFOP_MOVE, "a.txt", "d\\a.txt", QXFOF_MOVEASIDE), 1);
  EXPECT_EQ(dir_.Read("d\\a.txt"), "new");
  EXPECT_EQ(dir_.Read("d\\a(1).txt"), "old");
  EXPECT_FALSE(dir_.Exists("a.txt"));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET), dir_.A("d\\a.txt"));
}

TEST_F(Engine, TimeComparingPoliciesChooseByLastWrite) {
  struct Row {
    QXDWORD policy;
    std::int64_t sourceMinusExisting;  // in days
    bool incomingTakesName;
  };
  const Row rows[] = {
      {QXFOF_NEWERKEEPS, -1, false}, {QXFOF_NEWERKEEPS, 1, true},  {QXFOF_NEWERKEEPS, 0, true},
      {QXFOF_OLDERKEEPS, 1, false},  {QXFOF_OLDERKEEPS, -1, true}, {QXFOF_OLDERKEEPS, 0, true},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << "policy " << row.policy << " by " << row.sourceMinusExisting);
    std::string folder = "r";
    folder += std::to_string(n++);
    folder += '\\';
    Put(folder + "in.txt", "incoming");
    Put(folder + "x.txt", "existing");
    SetWriteTime(dir_.A(folder + "x.txt"), kJan2000);
    SetWriteTime(dir_.A(folder + "in.txt"), kJan2000 + row.sourceMinusExisting * kDay);
    ASSERT_EQ(Op(QXFOP_COPY, folder + "in.txt", folder + "x.txt", row.policy), 1);
    EXPECT_EQ(dir_.Read(folder + "x.txt"), row.incomingTakesName ? "incoming" : "existing");
    EXPECT_EQ(dir_.Read(folder + "x(1).txt"), row.incomingTakesName ? "existing" : "incoming");
  }
}

TEST_F(Engine, UniqueModeComesFromTheHighWord) {
  Put("a.txt", "new");
  Put("b.txt", "old");
  ASSERT_EQ(Op(QXFOP_COPY, "a.txt", "b.txt", QXFOF_NEWNAME | QXFOF_UNIQMODE(0x01)), 1);
  EXPECT_EQ(dir_.Read("b(1).txt"), "new");
  // Date part: the name differs from the plain numbered one.
  ASSERT_EQ(Op(QXFOP_COPY, "a.txt", "b.txt", QXFOF_NEWNAME | QXFOF_UNIQMODE(0x08)), 1);
  const std::string shown = ControlText(op_, IDC_FILEOP_TARGET);
  EXPECT_NE(shown.find(dir_.A("b_")), std::string::npos) << shown;
}

TEST_F(Engine, DestinationThatIsAFolderFailsAsAWrite) {
  Put("a", "data");
  ASSERT_TRUE(fs::create_directories(dir_.Fs("dst")));
  ExpectFailure(Op(QXFOP_COPY, "a", "dst", QXFOF_OVERWRITE), QXERR_WRITE);
  EXPECT_TRUE(fs::is_directory(dir_.Fs("dst")));
  EXPECT_EQ(dir_.Read("a"), "data");
}

TEST_F(Engine, DestinationHeldOpenIsNotDeleted) {
  Put("a", "new");
  Put("held", "old");
  HANDLE held =
      CreateFileA(dir_.A("held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const QXBOOL result = Op(QXFOP_COPY, "a", "held", QXFOF_OVERWRITE);
  const QXDWORD code = qxGetErrCode();
  CloseHandle(held);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(code, QXERR_DSTDELETE);
  EXPECT_EQ(dir_.Read("held"), "old");
  EXPECT_EQ(dir_.Read("a"), "new");
}

TEST_F(Engine, TargetHeldOpenFailsAsAWriteAndStays) {
  Put("a.txt", "new");
  Put("d.txt", "old");
  HANDLE held = INVALID_HANDLE_VALUE;
  {
    // The engine announces the unique name it will write; right then the
    // test takes that name, without sharing.
    DialogSpy spy(op_);
    spy.OnNewFile([&](int n) {
      if (n == 2) {
        held = CreateFileA(dir_.A("d(1).txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                           nullptr);
      }
    });
    ExpectFailure(Op(QXFOP_COPY, "a.txt", "d.txt", QXFOF_NEWNAME), QXERR_WRITE);
  }
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);
  EXPECT_TRUE(dir_.Exists("d(1).txt")) << "a target the engine did not create is not deleted";
  EXPECT_EQ(dir_.Read("d.txt"), "old");
  EXPECT_EQ(dir_.Read("a.txt"), "new");
  EXPECT_EQ(RecordOf(op_).fileCountDone, 0);
}

// --- Abort and flushing ---------------------------------------------------

TEST_F(Engine, AbortStopsTheCopyAndEveryLaterCall) {
  Put("big", std::string(4 << 20, 'a'));
  {
    DialogSpy spy(op_, /*abortAfter=*/300);
    ExpectFailure(Op(QXFOP_COPY, "big", "copy"), QXERR_ABORTED);
    EXPECT_LT(spy.Count(qx::fileop::QXFOM_FILEPROGRESS), 4096);
  }
  EXPECT_FALSE(dir_.Exists("copy"));
  EXPECT_EQ(dir_.Read("big").size(), 4u << 20);
  EXPECT_FALSE(ControlEnabled(op_, IDCANCEL));
  EXPECT_EQ(RecordOf(op_).fileCountDone, 0);

  Put("small", "s");
  ExpectFailure(Op(QXFOP_COPY, "small", "s2"), QXERR_ABORTED);
  EXPECT_FALSE(dir_.Exists("s2"));
  EXPECT_EQ(qxSetFileOpEntry(op_, 2, 0, 0, 0, 0, 0), 1) << "totals still work after Abort";
}

TEST_F(Engine, FlushesEveryMebibyteUnderItsOwnCaption) {
  Put("one", std::string(1 << 20, 'f'));
  Put("two", "2");
  DialogSpy spy(op_);
  ASSERT_EQ(Op(QXFOP_COPY, "one", "one.copy"), 1);
  std::vector<WPARAM> captions;
  for (const SeenMessage& m : spy.Seen())
    if (m.message == qx::fileop::QXFOM_CAPTION) captions.push_back(m.wParam);
  EXPECT_EQ(captions, (std::vector<WPARAM>{IDS_FILEOP_FLUSHING, QXFOP_COPY}));
  EXPECT_EQ(spy.CaptionTexts(),
            (std::vector<std::string>{"Copying...", "Cache flushing...", "Copying..."}));

  spy.Clear();
  ASSERT_EQ(Op(QXFOP_COPY, "two", "two.copy"), 1);
  EXPECT_TRUE(spy.CaptionTexts().empty()) << "the same operation keeps its caption";
  EXPECT_EQ(spy.Count(qx::fileop::QXFOM_NEWFILE), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Copying...");
}

}  // namespace
}  // namespace qxtest

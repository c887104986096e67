// The file operation engine on real files in a scratch folder, with the
// progress dialog up (Wine and Xvfb): results, error codes, what is left on
// disk, and what the dialog shows after each step.
#include "fileop/fileop_harness.h"

namespace qxtest {
namespace {

using namespace qx::fileop;

constexpr std::uint64_t kJan2000 = 125911584000000000;  // 2000-01-01 00:00 UTC
constexpr std::uint64_t kDay = 864000000000;

using Engine = FileOpTest;

TEST_F(Engine, CopyKeepsTheSourceAndShowsEveryLine) {
  Put("a.txt", std::string(5000, 'q'));
  SetWriteTicks("a.txt", kJan2000);
  SetFileAttributesA(dir_.A("a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(qxSetFileOpEntry(op_, 3, 0, 15000, 0, 0, 0), 1);
  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(Op(QXFOP_COPY, "a.txt", "new\\b.txt"), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the error code alone";
  EXPECT_EQ(dir_.Read("a.txt"), std::string(5000, 'q'));
  EXPECT_EQ(dir_.Read("new\\b.txt"), std::string(5000, 'q')) << "missing folders are made";
  EXPECT_EQ(WriteTicks("new\\b.txt"), kJan2000);
  EXPECT_TRUE(ReadOnly("new\\b.txt"));

  const std::pair<int, std::string> lines[] = {
      {IDC_FILEOP_CAPTION, "Copying..."},
      {IDC_FILEOP_SOURCE, dir_.A("a.txt")},
      {IDC_FILEOP_ARROW, "->"},
      {IDC_FILEOP_TARGET, dir_.A("new\\b.txt")},
      {IDC_FILEOP_FILE_SIZE, OfTotal(5000, 5000)},
      {IDC_FILEOP_FILE_PERCENT, "100 %"},
      {IDC_FILEOP_COUNT, OfTotal(1, 3)},
      {IDC_FILEOP_COUNT_PERCENT, "33 %"},
      {IDC_FILEOP_TOTAL, OfTotal(5000, 15000)},
      {IDC_FILEOP_TOTAL_PERCENT, "33 %"},
  };
  for (const auto& [id, text] : lines)
    EXPECT_EQ(ControlText(op_, id), text) << "control " << id;
  EXPECT_TRUE(ControlEnabled(op_, IDC_FILEOP_FILE_BAR));
  EXPECT_TRUE(ControlEnabled(op_, IDC_FILEOP_COUNT_BAR));

  // An empty file still gets its times; "0 / 0" and "0 %".
  Put("empty", "");
  SetWriteTicks("empty", kJan2000 + kDay);
  ASSERT_EQ(Op(QXFOP_COPY, "empty", "new\\empty"), 1);
  EXPECT_EQ(WriteTicks("new\\empty"), kJan2000 + kDay);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_SIZE), OfTotal(0, 0));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_PERCENT), "0 %");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), OfTotal(2, 3));
}

TEST_F(Engine, CountsWithoutTotalsAndTheCountingFlags) {
  char separator[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator);
  Put("a", "123");
  ASSERT_EQ(Op(QXFOP_COPY, "a", "b"), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), "1");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), "3");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT_PERCENT), "");
  EXPECT_FALSE(ControlEnabled(op_, IDC_FILEOP_TOTAL_BAR));

  ASSERT_EQ(qxSetFileOpEntry(op_, 5678, 1234, 0xFFFFFFFF, 0xFFFFFFFF, 50, 0), 1);
  if (std::string(separator) == ",") {
    EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), "1,234 / 5,678");
  }
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT_PERCENT), "21 %");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TOTAL), "50") << "an unknown total shows the done value";
  ASSERT_EQ(Op(QXFOP_COPY, "a", "c", QXFOF_UNCOUNT), 1);
  EXPECT_EQ(RecordOf(op_).fileCountDone, 1233);
  EXPECT_EQ(RecordOf(op_).totalBytesDone, 47);
  DialogSpy spy(op_);
  ASSERT_EQ(Op(QXFOP_COPY, "a", "d", QXFOF_NOCOUNT | QXFOF_UNCOUNT), 1);
  EXPECT_EQ(RecordOf(op_).fileCountDone, 1233);
  EXPECT_TRUE(spy.Seen(QXFOM_SHOWCOUNTS).empty());
}

TEST_F(Engine, MoveRenameDeleteAndDisplayOnlySteps) {
  Put("a", std::string(3000, 'm'));
  DialogSpy spy(op_);
  ASSERT_EQ(Op(QXFOP_MOVE, "a", "x\\a"), 1);
  EXPECT_FALSE(dir_.Exists("a"));
  EXPECT_EQ(dir_.Read("x\\a"), std::string(3000, 'm'));
  EXPECT_EQ(spy.Seen(QXFOM_FILEPROGRESS).size(), 1u) << "one volume: MoveFile, one report";
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Moving...");

  ASSERT_EQ(Op(QXFOP_RENAME, "x\\a", "x\\b"), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Renaming...");
  EXPECT_EQ(dir_.Read("x\\b"), std::string(3000, 'm'));

  SetFileAttributesA(dir_.A("x\\b").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(qxOperateFileOpA(op_, QXFOP_DELETE, dir_.A("x\\b").c_str(), nullptr, 0), 1);
  EXPECT_FALSE(dir_.Exists("x\\b"));
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Deleting...");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_ARROW), "");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET), "");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_FILE_SIZE), Grouped(3000)) << "the size alone";
  EXPECT_FALSE(ControlEnabled(op_, IDC_FILEOP_FILE_BAR));
  ExpectFailure(qxOperateFileOpA(op_, QXFOP_DELETE, dir_.A("x\\b").c_str(), nullptr, 0),
                QXERR_SRCOPEN);

  static const char caption[] = "Checking...";
  const auto code = reinterpret_cast<UINT_PTR>(caption);
  ASSERT_EQ(qxOperateFileOpA(op_, code, "Z:\\no\\such", nullptr, QXFOF_NOSOURCE), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Checking...");
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_COUNT), "4");
  ExpectFailure(qxOperateFileOpA(op_, code, "Z:\\no\\such", nullptr, 0), QXERR_SRCOPEN);
}

TEST_F(Engine, CollisionPolicies) {
  struct Row {
    QXDWORD policy;
    std::int64_t sourceAge;  // days the source is older than the existing file
    const char* atDestination;
    const char* atUniqueName;  // "" when none is made
    UINT_PTR operation = QXFOP_COPY;
  };
  const Row rows[] = {
      {QXFOF_OVERWRITE, 0, "in", ""},
      {QXFOF_NEWNAME, 0, "old", "in"},
      {QXFOF_MOVEASIDE, 0, "in", "old", QXFOP_MOVE},
      {QXFOF_NEWERKEEPS, 1, "old", "in"},
      {QXFOF_NEWERKEEPS, -1, "in", "old"},
      {QXFOF_NEWERKEEPS, 0, "in", "old"},
      {QXFOF_OLDERKEEPS, -1, "old", "in"},
      {QXFOF_OLDERKEEPS, 1, "in", "old"},
      {QXFOF_OLDERKEEPS, 0, "in", "old"},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "policy " << row.policy << ", age " << row.sourceAge);
    std::string d = "r";
    d += std::to_string(n++);
    Put(d + "\\in.txt", "in");
    Put(d + "\\x.txt", "old");
    SetFileAttributesA(dir_.A(d + "\\x.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetWriteTicks(d + "\\x.txt", kJan2000);
    SetWriteTicks(d + "\\in.txt", kJan2000 - row.sourceAge * kDay);
    ASSERT_EQ(Op(row.operation, d + "\\in.txt", d + "\\x.txt", row.policy), 1);
    EXPECT_EQ(dir_.Read(d + "\\x.txt"), row.atDestination);
    EXPECT_EQ(dir_.Read(d + "\\x(1).txt"), row.atUniqueName);
    EXPECT_EQ(dir_.Exists(d + "\\in.txt"), row.operation == QXFOP_COPY);
  }
  // The dialog's destination line follows a new name.
  ASSERT_EQ(Op(QXFOP_COPY, "r1\\in.txt", "r1\\x.txt", QXFOF_NEWNAME), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET), dir_.A("r1\\x(2).txt"));
  ExpectFailure(Op(QXFOP_COPY, "r1\\in.txt", "r1\\x.txt", QXFOF_FAIL), QXERR_EXISTS);
  ExpectFailure(Op(QXFOP_COPY, "r1\\in.txt", "r1\\x.txt", 6), QXERR_BADPARAM);
  // The unique-name mode comes from the high word: 0x08 inserts the date.
  ASSERT_EQ(Op(QXFOP_COPY, "r1\\in.txt", "r1\\x.txt", QXFOF_NEWNAME | QXFOF_UNIQMODE(0x08)), 1);
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_TARGET).rfind(dir_.A("r1\\x_"), 0), 0u);
  // A file onto itself: overwriting or moving it aside would lose it.
  ExpectFailure(Op(QXFOP_COPY, "r1\\in.txt", "r1\\in.txt", QXFOF_OVERWRITE), QXERR_BADPARAM);
  ExpectFailure(Op(QXFOP_MOVE, "r1\\in.txt", "r1\\in.txt", QXFOF_OLDERKEEPS), QXERR_BADPARAM);
  EXPECT_EQ(dir_.Read("r1\\in.txt"), "in");
}

TEST_F(Engine, FailuresLeaveFilesAndCountsAlone) {
  Put("a", "new");
  Put("held", "old");
  SetFileAttributesA(dir_.A("held").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(fs::create_directories(dir_.Fs("folder")));
  for (UINT_PTR code : {UINT_PTR{0}, UINT_PTR{5}, UINT_PTR{0xFFFF}})
    ExpectFailure(Op(code, "a", "b"), QXERR_BADPARAM);
  ExpectFailure(qxOperateFileOpA(op_, QXFOP_COPY, nullptr, "x", 0), QXERR_BADPARAM);
  ExpectFailure(qxOperateFileOpA(op_, QXFOP_COPY, dir_.A("a").c_str(), nullptr, 0), QXERR_BADPARAM);
  const WString wide = dir_.W("a");  // a W call on an A handle would misread the names
  ExpectFailure(qxOperateFileOpW(op_, QXFOP_DELETE, wide.c_str(), nullptr, 0), QXERR_BADHANDLE);
  const std::uint32_t converter = 0x41537871;
  auto* wrong = reinterpret_cast<QXHFILEOP>(const_cast<std::uint32_t*>(&converter));
  ExpectFailure(qxOperateFileOpA(wrong, QXFOP_DELETE, "x", nullptr, 0), QXERR_BADHANDLE);
  ExpectFailure(qxSetFileOpEntry(nullptr, 1, 0, 0, 0, 0, 0), QXERR_BADHANDLE);
  ExpectFailure(qxCloseFileOp(nullptr), QXERR_BADHANDLE);

  // A folder under the destination name does not open as a file.
  ExpectFailure(Op(QXFOP_COPY, "a", "folder", QXFOF_OVERWRITE), QXERR_WRITE);
  EXPECT_TRUE(fs::is_directory(dir_.Fs("folder")));

  HANDLE held =
      CreateFileA(dir_.A("held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ExpectFailure(Op(QXFOP_COPY, "a", "held", QXFOF_OVERWRITE), QXERR_DSTDELETE);
  CloseHandle(held);
  EXPECT_TRUE(ReadOnly("held")) << "its attributes are given back";

  // The unique name is taken, without sharing, right as the engine shows it.
  held = INVALID_HANDLE_VALUE;
  {
    DialogSpy spy(op_);
    spy.OnNewFile([&](int n) {
      if (n == 2) {
        held = CreateFileA(dir_.A("held(1)").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                           nullptr);
      }
    });
    ExpectFailure(Op(QXFOP_MOVE, "a", "held", QXFOF_NEWNAME), QXERR_WRITE);
  }
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);
  EXPECT_TRUE(dir_.Exists("held(1)")) << "a target the engine did not make stays";
  EXPECT_EQ(dir_.Read("held"), "old");
  EXPECT_EQ(dir_.Read("a"), "new");
  EXPECT_FALSE(dir_.Exists("b"));
  EXPECT_EQ(RecordOf(op_).fileCountDone, 0);
}

TEST_F(Engine, AbortStopsTheCopyAndEveryLaterCall) {
  Put("big", std::string(4 << 20, 'a'));
  {
    DialogSpy spy(op_, /*abortAfter=*/300);
    ExpectFailure(Op(QXFOP_COPY, "big", "other\\copy"), QXERR_ABORTED);
    EXPECT_LT(spy.Seen(QXFOM_FILEPROGRESS).size(), 4096u);
  }
  EXPECT_FALSE(dir_.Exists("other\\copy")) << "no truncated target stays";
  EXPECT_EQ(dir_.Read("big").size(), 4u << 20);
  EXPECT_FALSE(ControlEnabled(op_, IDCANCEL));
  EXPECT_TRUE(IsWindow(DialogOf(op_))) << "Abort does not close the dialog";
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
  using Seen = std::vector<std::pair<UINT, std::string>>;
  EXPECT_EQ(spy.Seen(QXFOM_CAPTION), (Seen{{IDS_FILEOP_FLUSHING, ""}, {QXFOP_COPY, ""}}));
  EXPECT_EQ(spy.Seen(WM_SETTEXT),
            (Seen{{0, "Copying..."}, {0, "Cache flushing..."}, {0, "Copying..."}}));
  spy.Clear();
  ASSERT_EQ(Op(QXFOP_COPY, "two", "two.copy"), 1);
  EXPECT_TRUE(spy.Seen(WM_SETTEXT).empty()) << "the same operation keeps its caption";
  EXPECT_EQ(ControlText(op_, IDC_FILEOP_CAPTION), "Copying...");
}

}  // namespace
}  // namespace qxtest

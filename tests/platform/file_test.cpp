// The POSIX platform layer's file calls keep their Win32 contract: results,
// last-error codes, separators and UTF-16 names, and the test fault switch.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fault.h"
#include "platform/win32_api.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using qx::platform::FailNthIo;
using qx::platform::IoFault;
using qx::platform::IoOp;

class PlatformFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qx-platform-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    qx::platform::ResetIoFaults();
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }
  // The Windows spelling of a scratch path: backslashes throughout.
  std::string WinPath(const std::string& name) const {
    std::string path = (dir_ / name).string();
    for (char& c : path)
      c = c == '/' ? '\\' : c;
    return path;
  }
  HANDLE Create(const std::string& name, DWORD access, DWORD disposition) {
    return CreateFileA(WinPath(name).c_str(), access, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  fs::path dir_;
};

TEST_F(PlatformFile, WritesAndReadsBackThroughBackslashPaths) {
  HANDLE file = Create("data.bin", GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_EQ(fs::file_size(dir_ / "data.bin"), 5u);

  file = Create("data.bin", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[8] = {};
  DWORD read = 99;
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(read, 5u);
  EXPECT_STREQ(buffer, "hello");
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(read, 0u) << "end of file is success with zero bytes";
  CloseHandle(file);
}

TEST_F(PlatformFile, OpenFailuresReportWin32Codes) {
  EXPECT_EQ(Create("missing", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Create("no\\such\\dir", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  CloseHandle(Create("taken", GENERIC_WRITE, CREATE_NEW));
  EXPECT_EQ(Create("taken", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  HANDLE again = Create("taken", GENERIC_WRITE, CREATE_ALWAYS);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << "success, with the file said to exist";
  CloseHandle(again);

  fs::create_directory(dir_ / "folder");
  EXPECT_EQ(Create("folder", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFileA(WinPath("folder").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(PlatformFile, ReadOnlyFilesRefuseWritesAndDeletion) {
  HANDLE file = CreateFileA(WinPath("ro").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(Create("ro", GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFileA(WinPath("ro").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  HANDLE reader = Create("ro", GENERIC_READ, OPEN_EXISTING);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(reader);
}

TEST_F(PlatformFile, WideNamesBecomeUtf8) {
  // "\u8868" is U+8868, and a U+1F600 surrogate pair.
  std::u16string name = qxtest::Widen(WinPath("")) + u"\u8868\\\U0001F600.txt";
  fs::create_directory(dir_ / "\xE8\xA1\xA8");
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(fs::exists(dir_ / "\xE8\xA1\xA8" / "\xF0\x9F\x98\x80.txt"));
  EXPECT_TRUE(DeleteFileW(name.c_str()));

  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(CreateFileW(lone, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
}

TEST_F(PlatformFile, ShiftJisTrailBackslashIsNotASeparator) {
  QX_REQUIRE_CP932();
  // 0x95 0x5C is one character; only the real separators turn into slashes.
  const std::string name = WinPath("") +
                           "a\x95\x5C"
                           "b";
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(fs::exists(dir_ / "a\x95\x5C"
                                "b"));
}

TEST_F(PlatformFile, FaultSwitchFailsTheNthReadOrWrite) {
  HANDLE file = Create("f", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  FailNthIo(IoOp::kWrite, 2);
  EXPECT_TRUE(WriteFile(file, "abcd", 4, &done, nullptr));
  EXPECT_FALSE(WriteFile(file, "efgh", 4, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
  EXPECT_TRUE(WriteFile(file, "ijkl", 4, &done, nullptr)) << "the fault fires once";

  FailNthIo(IoOp::kWrite, 1, IoFault::kShort);
  EXPECT_TRUE(WriteFile(file, "mnop", 4, &done, nullptr));
  EXPECT_EQ(done, 2u);

  ASSERT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
  char buffer[16] = {};
  FailNthIo(IoOp::kRead, 1);
  EXPECT_FALSE(ReadFile(file, buffer, 4, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_READ_FAULT);
  EXPECT_EQ(done, 0u);
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(std::string(buffer, done), "abcdijklmn");
  CloseHandle(file);
}

TEST_F(PlatformFile, SixtyFourBitSizesAndSeeks) {
  HANDLE file = Create("big", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // 4 GiB + 3 bytes, sparse: seek past the end and write.
  LONG high = 1;
  ASSERT_EQ(SetFilePointer(file, 0, &high, FILE_BEGIN), 0u);
  EXPECT_EQ(high, 1);
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(file, "xyz", 3, &done, nullptr));
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(file, &sizeHigh), 3u);
  EXPECT_EQ(sizeHigh, 1u);

  EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), INVALID_SET_FILE_POINTER)
      << "without a high part the low word of the new position is returned";
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "... and 0xFFFFFFFF is a real position here";
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  CloseHandle(file);
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace

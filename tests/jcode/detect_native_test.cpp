// The computed character class table against the published run table,
// entry by entry; detection on texts that end right before an unmapped
// page, where a scan that reads ahead by blocks must stop at the page.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "qxdll32.h"

#include "jcode/char_class.h"

namespace {

struct ClassRun {
  unsigned first, last;
  std::uint16_t entry;
};

const ClassRun kRuns[] = {
    {0x00, 0x00, 0x0000}, {0x01, 0x08, 0x0001}, {0x09, 0x0D, 0x0003}, {0x0E, 0x19, 0x0001},
    {0x1A, 0x1A, 0x0005}, {0x1B, 0x1B, 0x0009}, {0x1C, 0x1F, 0x0001}, {0x20, 0x20, 0x0012},
    {0x21, 0x2F, 0x0210}, {0x30, 0x39, 0x0330}, {0x3A, 0x3F, 0x0210}, {0x40, 0x40, 0x0A10},
    {0x41, 0x46, 0x0B50}, {0x47, 0x5A, 0x0A50}, {0x5B, 0x60, 0x0A10}, {0x61, 0x66, 0x0B90},
    {0x67, 0x7A, 0x0A90}, {0x7B, 0x7E, 0x0A10}, {0x7F, 0x80, 0x0001}, {0x81, 0x8D, 0x0C00},
    {0x8E, 0x8E, 0x1C00}, {0x8F, 0x9F, 0x0C00}, {0xA0, 0xA0, 0x0800}, {0xA1, 0xDF, 0x7800},
    {0xE0, 0xFC, 0x3C00}, {0xFD, 0xFE, 0x3000}, {0xFF, 0xFF, 0x0001},
};

TEST(CharClass, MatchesTheRunTable) {
  unsigned next = 0;
  for (const ClassRun& run : kRuns) {
    ASSERT_EQ(run.first, next) << "runs cover every byte once";
    for (unsigned c = run.first; c <= run.last; ++c)
      EXPECT_EQ(qx::jcode::kCharClass[c], run.entry) << std::hex << c;
    next = run.last + 1;
  }
  EXPECT_EQ(next, 256u);
}

TEST(JudgeJpnCodeType, StopsAtTheTerminatorBeforeAnUnmappedPage) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  void* map = ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(map, MAP_FAILED);
  auto* bytes = static_cast<char*>(map);
  ASSERT_EQ(::mprotect(bytes + page, page, PROT_NONE), 0);
  for (std::size_t length = 0; length < 100; ++length) {
    char* text = bytes + page - 1 - length;
    std::memset(text, 'a', length);
    text[length] = '\0';
    EXPECT_EQ(qxJudgeJpnCodeType(text), QXJCODE_SJIS) << length;
  }
  ::munmap(map, 2 * page);
}

}  // namespace

// Names reach the file system whole through the POSIX layer: the A bytes as
// they are (0x95 0x5C, U+8868 in Shift_JIS, keeps its trail byte 0x5C) and
// the W text as UTF-8, surrogate pairs included.
#include "support/qxtest.h"

namespace qxtest {
namespace {

TEST(PlatformNames, FoldersGetTheirWholeNames) {
  ASSERT_TRUE(Cp932());  // this program runs on code page 932 only
  ScratchDir dir;
  const std::u16string name = u"\u8868\U0001F600",
                       wide = dir.P<QXWCHAR>() + u"\\" + name + u"\\" + name + u"\\f";
  EXPECT_QXOK(qxMakeDirectoriesW(wide.c_str()), 1);
  EXPECT_QXOK(qxMakeDirectoriesA((dir.A() + "\\\x95\x5C\\\x95\x5C\\f").c_str()), 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Fs("") / name / name) &&
              std::filesystem::is_directory(dir.Fs("") / "\x95\x5C" / "\x95\x5C"));
}

}  // namespace
}  // namespace qxtest

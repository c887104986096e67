// File naming helpers against real files in a scratch folder, every row
// through the A and the W form.
#include <cstring>
#include <tuple>

#include "fileop/times.h"

namespace qxtest {
namespace {

// Row paths are below a scratch folder ("=" first: as they stand), with '@'
// for 0x95 0x5C in Shift_JIS (U+8868), whose trail byte reads as a
// backslash, and "#n" padding the path to n units; null for no path.
template <class C>
Str<C> Expand(Str<C> out, const char* text) {
  for (const char* c = text; *c != 0; ++c) {
    char* end = nullptr;
    if (*c == '#') out.resize(std::strtoul(c + 1, &end, 10), C('n')), c = end - 1;
    if (end == nullptr) out += *c == '@' ? S<C>(Both{"\x95\x5C", u"\u8868"}) : Str<C>(1, C(*c));
  }
  return out;
}

template <class Ch>
struct Naming : ::testing::Test {
  // An A row with '@' needs code page 932.
  static bool Runs(const char* r) { return sizeof(Ch) > 1 || Cp932() || !strchr(r ? r : "", '@'); }
  Arg<Ch> P(const char* rel, bool bare = false) const {
    if (rel == nullptr) return nullptr;
    const std::string head = bare || *rel == '=' ? "" : dir.A() + "\\";
    rel += *rel == '=';
    return Both{Expand<char>(head, rel), Expand<char16_t>({head.begin(), head.end()}, rel)};
  }
  ScratchDir dir;
};
TYPED_TEST_SUITE(Naming, Forms, FormName);

TYPED_TEST(Naming, UniquePathTakesTheFirstFreeName) {
  using Ch = TypeParam;
  // Local times: CTest runs this program nine hours east of UTC.
  const QXFILETIME times[] = {FileTime(CalendarTicks(1999, 12, 31, 4, 5, 9)),
                              FileTime(CalendarTicks(2000, 2, 28, 22, 0, 1)),
                              FileTime(CalendarTicks(2100, 2, 28, 15)), FileTime(1ull << 63)};
  this->dir.Write("own");
  ASSERT_EQ(Form<Ch>::SetFileTime(this->P("own"), times), 1);
  // {path, time (-1: the file's own; 3: no calendar time), mode, the name
  // given, the code}; each name given is then made, so later rows find it
  // taken. 0x0C never gives the date-only name; 998 units leave room for
  // the longest suffix.
  const std::tuple<const char*, int, QXDWORD, const char*, QXDWORD> rows[] = {
      {"r.txt", 0, 0x00, "r(1).txt", 0},
      {"r.txt", 0, 0x01, "r(2).txt", 0},
      {"r.txt", 0, 0x08, "r_99c31.txt", 0},
      {"r.txt", 0, 0x10, "r_99c31(1).txt", 0},
      {"r.txt", 0, 0x0A, "r_99c31_130509.txt", 0},
      {"r.txt", 0, 0x0A, "r_99c31_130509(1).txt", 0},
      {"a.b.c", 0, 0x0C, "a.b_99c31_130509.c", 0},
      {"x.y\\file.", 1, 0x02, "x.y\\file_070001.", 0},
      {"f", 1, 0x19, "f_00229(1)", 0},
      {"f", 2, 0x0B, "f_00301_000000(1)", 0},
      {"own", -1, 0x08, "own_99c31", 0},
      {"@\\@.txt", 0, 0, "@\\@(1).txt", 0},
      {"#998", 0, ~0u, "#998_99c31_130509(1)", 0},
      {"#999", 0, 0, nullptr, QXERR_BADPARAM},
      {"missing", -1, 0, nullptr, QXERR_SRCOPEN},
      {"f", 3, 0, nullptr, QXERR_BADPARAM},
      {nullptr, 0, 0, nullptr, QXERR_BADPARAM}};
  for (const auto& [rel, time, mode, expected, code] : rows) {
    if (!this->Runs(rel)) continue;
    const Str<Ch> want = expected ? Str<Ch>(this->P(expected)) + Ch(0) : Str<Ch>();
    Str<Ch> out(1100, Ch(0x7F));  // written up to the terminator, no further
    EXPECT_QXFAIL(
        Form<Ch>::MakeUniqPath(out.data(), this->P(rel), time < 0 ? nullptr : times + time, mode),
        QXBOOL{expected != nullptr}, code);
    EXPECT_EQ(out, want + Str<Ch>(1100 - want.size(), Ch(0x7F))) << rel << " mode " << mode;
    if (expected) this->dir.Write(expected);
  }
  EXPECT_QXFAIL(Form<Ch>::MakeUniqPath(nullptr, this->P("x"), times, 0), 0, QXERR_BADPARAM);
}

// Renames ('r', the second path a bare new name) and folder chains ('d',
// the second path the deepest folder that must be there after).
TYPED_TEST(Naming, RenamesAndFolderChains) {
  for (const char* rel : {"a", "b", "t\\a", "t\\qxdll32.tmp", "s\\f", "f", "file"})
    this->dir.Write(rel);
  // "s\f" takes a name longer than its folder part, "f" one with 0x95 0x5C
  // and then back; "t" holds the temporary name; a move into "no" fails
  // second and is undone; "x\" is a short folder part. A doubled separator
  // is a top (no "d" is made); "file" is a file where a folder must go.
  const std::tuple<char, const char*, const char*, QXDWORD> rows[] = {
      {'r', "s\\f", "name-longer-than-its-folder", 0},
      {'r', "f", "@", 0},
      {'r', "@", "g", 0},
      {'r', nullptr, "c", QXERR_BADPARAM},
      {'r', "a", nullptr, QXERR_BADPARAM},
      {'r', "=a", "c", QXERR_BADPARAM},
      {'r', "a", "#1100", QXERR_BADPARAM},
      {'r', "#1024", "c", QXERR_BADPARAM},
      {'r', "#1023", "c", QXERR_RENAME},
      {'r', "=x\\f", "c", QXERR_RENAME},
      {'r', "a", "b", QXERR_EXISTS},
      {'r', "missing", "c", QXERR_RENAME},
      {'r', "t\\a", "c", QXERR_RENAME},
      {'r', "a", "no\\c", QXERR_RENAME},
      {'d', "p\\q\\r\\f", "p\\q\\r", 0},
      {'d', "x/y\\z/", "x\\y\\z", 0},
      {'d', "d\\\\f", "", 0},
      {'d', "=Z:\\f", "", 0},
      {'d', "=\\f", "", 0},
      {'d', nullptr, "", QXERR_BADPARAM},
      {'d', "=f", "", QXERR_BADPARAM},
      {'d', "#1021\\f", "", QXERR_MKDIR},
      {'d', "#1022\\f", "", QXERR_BADPARAM},
      {'d', "file\\sub\\f", "", QXERR_MKDIR}};
  for (const auto& [what, rel, other, code] : rows) {
    if (!this->Runs(rel) || !this->Runs(other)) continue;
    using F = Form<TypeParam>;
    const auto call = [&] {
      return what == 'r' ? F::RenameFile(this->P(rel), this->P(other, true))
                         : F::MakeDirectories(this->P(rel));
    };
    if (code == 0) EXPECT_QXOK(call(), 1);  // success leaves the code alone
    if (code != 0) EXPECT_QXFAIL(call(), 0, code);
    EXPECT_TRUE(what == 'r' || code || std::filesystem::is_directory(this->dir.Fs(other))) << rel;
  }
  std::string there;
  for (const char* rel :
       {"a", "b", "t\\a", "t\\qxdll32.tmp", "s\\name-longer-than-its-folder", "s\\f", "c",
        "qxdll32.tmp", "s\\qxdll32.tmp", "d", "p\\q\\r\\f", "g", "f"})
    there += std::filesystem::exists(this->dir.Fs(rel)) ? '+' : '-';
  EXPECT_EQ(there, this->Runs("@") ? "+++++------+-" : "+++++-------+");
}

#if !defined(_WIN32)
// Natively names reach the file system whole: the A bytes as they are (0x95
// 0x5C keeps its trail byte) and the W text as UTF-8, surrogate pairs too.
TEST(NamingNative, FoldersGetTheirWholeNames) {
  ScratchDir dir;
  const std::u16string name = u"\u8868\U0001F600",
                       wide = S<QXWCHAR>(dir.A()) + u"\\" + name + u"\\" + name + u"\\f";
  EXPECT_QXOK(qxMakeDirectoriesW(wide.c_str()), 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Fs("") / name / name));
  if (!Cp932()) return;  // Shift_JIS bytes
  EXPECT_QXOK(qxMakeDirectoriesA((dir.A() + "\\\x95\x5C\\\x95\x5C\\f").c_str()), 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Fs("") / "\x95\x5C" / "\x95\x5C"));
}
#endif

}  // namespace
}  // namespace qxtest

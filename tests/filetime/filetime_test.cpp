// File-time utilities: FAT clamping at its exact bounds, rounding and tick
// arithmetic across the 32-bit halves and round 2^64, stamping real files.
#include <tuple>

#include "fileop/times.h"

namespace qxtest {
namespace {

TEST(FileTime, ClampsMovesAndRounds) {
  const std::uint64_t low = CalendarTicks(1980, 1, 1, 12),
                      high = CalendarTicks(2107, 12, 31, 11, 59, 58);
  // {time, result, time after}; 0 is no time at all.
  const std::tuple<std::uint64_t, int, std::uint64_t> rows[] = {
      {1, -1, low},    {low - 1, -1, low},  {low, 0, low},
      {high, 0, high}, {high + 1, 1, high}, {0, 0, 0}};
  for (const auto& [in, result, out] : rows) {
    QXFILETIME time = FileTime(in);
    EXPECT_QXOK(qxControlFileTimeAtFat(&time), result);
    EXPECT_EQ(Ticks(time), out) << in;
  }
  EXPECT_QXFAIL(qxControlFileTimeAtFat(nullptr), 0, QXERR_BADPARAM);

  // Against plain 64-bit arithmetic: add, subtract (both wrapping at 2^64)
  // and round down to a multiple of the unit.
  const std::uint64_t minute = CalendarTicks(2001, 3, 5, 10, 30);
  const std::tuple<std::uint64_t, QXDWORD> steps[] = {{minute + 139999999, 20000000},
                                                      {minute + 120000000, 20000000},
                                                      {0x100000005, 0x10},
                                                      {0x1FFFFFFFF, 0xFFFFFFFF},
                                                      {1, 0xFFFFFFFF},
                                                      {~0ull, 0xFFFFFFFF}};
  for (const auto& [in, unit] : steps) {
    QXFILETIME sum = FileTime(in), difference = sum, rounded = sum;
    EXPECT_QXOK(qxAddTimeToFileTime(&sum, unit) + qxSubTimeToFileTime(&difference, unit) +
                    qxRegulateFileTime(&rounded, unit),
                3);
    EXPECT_EQ(std::tuple(Ticks(sum), Ticks(difference), Ticks(rounded)),
              std::tuple(in + unit, in - unit, in - in % unit))
        << in << ", " << unit;
  }
  QXFILETIME zero{}, some = FileTime(minute);  // no time, no record, no unit: refused
  for (QXFILETIME* time : {&zero, static_cast<QXFILETIME*>(nullptr)}) {
    EXPECT_QXFAIL(qxRegulateFileTime(time, 2), 0, QXERR_BADPARAM);
    EXPECT_QXFAIL(qxAddTimeToFileTime(time, 1), 0, QXERR_BADPARAM);
    EXPECT_QXFAIL(qxSubTimeToFileTime(time, 1), 0, QXERR_BADPARAM);
  }
  EXPECT_QXFAIL(qxRegulateFileTime(&some, 0), 0, QXERR_BADPARAM);
  EXPECT_EQ(Ticks(zero) + Ticks(some), minute);
}

template <class Ch>
class FileTimeStamp : public ::testing::Test {};
TYPED_TEST_SUITE(FileTimeStamp, Forms, FormName);

TYPED_TEST(FileTimeStamp, SetsTheLastWriteTimeOrFails) {
  using F = Form<TypeParam>;
  ScratchDir dir;
  const auto at = [&](const char* rel) { return Arg<TypeParam>(dir.A(rel)); };
  dir.Write("a");
  const QXFILETIME time = FileTime(CalendarTicks(2001, 3, 5, 13, 5, 8) + 1234567), zero{};
  EXPECT_QXOK(F::SetFileTime(at("a"), &time), 1);
  // The file system's own time, in whole seconds where MinGW's clock keeps no more.
  const std::int64_t unit = std::is_same_v<QXWCHAR, char16_t> ? 1 : kSecond;
  const auto written =
      std::chrono::file_clock::to_sys(std::filesystem::last_write_time(dir.Fs("a")));
  EXPECT_EQ(std::chrono::duration_cast<Ticks100ns>(written.time_since_epoch()).count() / unit,
            (Ticks(time) - CalendarTicks(1970, 1, 1)) / unit);
  EXPECT_QXFAIL(F::SetFileTime(at("missing"), &time), 0, QXERR_OPEN);
  EXPECT_QXFAIL(F::SetFileTime(at("a"), &zero), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::SetFileTime(at("a"), nullptr), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::SetFileTime(nullptr, &time), 0, QXERR_BADPARAM);
}

}  // namespace
}  // namespace qxtest

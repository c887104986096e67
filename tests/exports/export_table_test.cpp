// The loaded DLL's export table, through GetProcAddress by name and by
// ordinal: every built export at its ordinal, nothing at ordinal 59, and no
// export of a family that has not landed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "exports/export_table.h"

namespace {

using qxtest::kExportTable;
using qxtest::kNotYetBuilt;

bool NotYetBuilt(const char* name) {
  for (const char* pending : kNotYetBuilt) {
    if (std::strcmp(pending, name) == 0) return true;
  }
  return false;
}

// This program calls no export directly, so it loads the DLL itself.
HMODULE Library() {
  return LoadLibraryA("qxdll32.dll");
}

FARPROC ByOrdinal(unsigned ordinal) {
  return GetProcAddress(Library(), MAKEINTRESOURCEA(ordinal));
}

TEST(ExportTable, TableHas82NamesAtOrdinals2To84Without59) {
  ASSERT_EQ(std::size(kExportTable), 82u);
  unsigned expected = 2;
  for (const auto& entry : kExportTable) {
    if (expected == 59) ++expected;
    EXPECT_EQ(entry.ordinal, expected++) << entry.name;
  }
}

TEST(ExportTable, EachBuiltNameSitsAtItsOrdinal) {
  ASSERT_NE(Library(), nullptr);
  for (const auto& entry : kExportTable) {
    const FARPROC byName = GetProcAddress(Library(), entry.name);
    const FARPROC byOrdinal = ByOrdinal(entry.ordinal);
    if (NotYetBuilt(entry.name)) {
      EXPECT_EQ(byName, nullptr) << entry.name << " is built: drop it from kNotYetBuilt";
      EXPECT_EQ(byOrdinal, nullptr) << entry.name;
    } else {
      EXPECT_NE(byName, nullptr) << entry.name;
      EXPECT_EQ(byName, byOrdinal) << entry.name;
    }
  }
}

TEST(ExportTable, NothingOutsideTheTable) {
  EXPECT_EQ(ByOrdinal(59), nullptr);
  EXPECT_EQ(ByOrdinal(1), nullptr);
  EXPECT_EQ(ByOrdinal(85), nullptr);
  EXPECT_EQ(GetProcAddress(Library(), "DllMain"), nullptr);
  EXPECT_EQ(GetProcAddress(Library(), "qxGetVersion@0"), nullptr) << "names are undecorated";
}

TEST(ExportTable, NotYetBuiltListNamesOnlyTableEntries) {
  for (const char* pending : kNotYetBuilt) {
    bool found = false;
    for (const auto& entry : kExportTable)
      found = found || std::strcmp(entry.name, pending) == 0;
    EXPECT_TRUE(found) << pending;
  }
}

}  // namespace

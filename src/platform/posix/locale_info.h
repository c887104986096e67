// The user's numeric conventions from the LC_NUMERIC locale (newlocale on
// the environment's locale names; the process locale is never changed).
#pragma once

#include <string>

namespace qx::platform {

struct NumericLocale {
  std::string thousands;  // UTF-8
  std::string decimal;    // UTF-8
  std::string grouping;   // Win32 form: "3;0", "3;2;0", "0"
};

NumericLocale UserNumericLocale();

// Locale text in the ANSI code page, for the A calls: ASCII as it is,
// spaces and apostrophes as their ASCII look-alikes, Latin-1 letters on
// code page 1252, anything else '?'.
std::string CodePageText(const std::string& utf8);

// glibc's grouping bytes ("\3\3", "\3\2", "\3\177") in the Win32 form,
// where a trailing ";0" means that the last size repeats.
std::string Win32Grouping(const char* posixGrouping);

}  // namespace qx::platform

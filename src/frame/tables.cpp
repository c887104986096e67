#include "frame/tables.h"

#include <cstdint>

namespace qx {
namespace {

// The one-character form of CharLowerA / CharUpperA: the character travels
// in the low word of the pointer argument and comes back the same way.
using CaseCall = LPSTR(WINAPI*)(LPSTR);

unsigned char ConvertOne(CaseCall convert, unsigned c) {
  const LPSTR result = convert(reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(c)));
  return static_cast<unsigned char>(reinterpret_cast<std::uintptr_t>(result) & 0xFF);
}

}  // namespace

void BuildCodePageTables() noexcept {
  for (unsigned c = 0; c < 32; ++c) {
    g_dbcsLeadTable[c] = 0;
    g_caseFlipTable[c] = static_cast<unsigned char>(c);
  }
  for (unsigned c = 32; c < 256; ++c) {
    const bool lead = (IsDBCSLeadByte(static_cast<BYTE>(c)) & 0xFF) != 0;
    g_dbcsLeadTable[c] = lead ? 1 : 0;
    if (lead) {
      g_caseFlipTable[c] = static_cast<unsigned char>(c);
      continue;
    }
    unsigned char flipped = ConvertOne(&CharLowerA, c);
    if (flipped == c) flipped = ConvertOne(&CharUpperA, c);
    g_caseFlipTable[c] = flipped;
  }
}

}  // namespace qx

// Strings are built by appending only: GCC 12 at -O3 warns (-Wrestrict)
// on "literal" + std::string temporaries.
#include "search/node_dump.h"

#include <cstdio>
#include <vector>

namespace qxtest {
namespace {

using qx::search::SaaNode;

std::string Unit(std::uint32_t u) {
  char buffer[16];
  if (u > 0x20 && u < 0x7F && u != '\\' && u != '[' && u != ']' && u != '-' && u != '^') {
    buffer[0] = static_cast<char>(u);
    buffer[1] = 0;
  } else if (u < 0x100) {
    std::snprintf(buffer, sizeof buffer, "\\x%02X", u);
  } else {
    std::snprintf(buffer, sizeof buffer, "\\u%04X", u);
  }
  return buffer;
}

std::string Hex(std::uint32_t code) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04X", code);
  return buffer;
}

// Accepted values from 1 up as runs ("a", "a-c"), joined by `separator`.
template <class Accepts>
std::string Runs(std::uint32_t count, Accepts accepts, std::string (*show)(std::uint32_t),
                 const char* separator) {
  std::string out;
  for (std::uint32_t u = 1; u < count; ++u) {
    if (!accepts(u)) continue;
    std::uint32_t last = u;
    while (last + 1 < count && accepts(last + 1))
      ++last;
    if (!out.empty()) out += separator;
    out += show(u);
    if (last > u + 1 || (last > u && separator[0] != 0)) out += '-';
    if (last > u) out += show(last);
    u = last;
  }
  return out;
}

// A set: its members, or "^" and the rest when it holds more than half.
template <class Accepts>
std::string Set(std::uint32_t count, Accepts accepts, std::string (*show)(std::uint32_t),
                const char* separator, const char* brackets) {
  std::uint32_t members = 0;
  for (std::uint32_t u = 1; u < count; ++u)
    members += accepts(u) ? 1 : 0;
  std::string out(1, brackets[0]);
  if (members > count / 2) {
    out += '^';
    out += Runs(
        count, [&](std::uint32_t u) { return !accepts(u); }, show, separator);
  } else {
    out += Runs(count, accepts, show, separator);
  }
  out += brackets[1];
  return out;
}

std::string Position(const SaaNode& node, unsigned index) {
  const std::uint32_t count = node.form == qx::search::Form::kAnsi ? 256 : 65536;
  const std::uint32_t bit = 1u << index;
  auto accepts = [&](std::uint32_t u) { return (node.Masks()[u] & bit) != 0; };
  std::uint32_t only = 0;
  std::uint32_t members = 0;
  for (std::uint32_t u = 1; u < count; ++u) {
    if (accepts(u)) {
      only = u;
      ++members;
    }
  }
  return members == 1 ? Unit(only) : Set(count, accepts, Unit, "", "[]");
}

std::string CodeClass(const SaaNode& node) {
  return Set(
      65536, [&](std::uint32_t code) { return node.CodeBits()[code] != 0; }, Hex, " ", "{}");
}

}  // namespace

std::string DumpConverter(const SaaNode* root) {
  std::vector<const SaaNode*> nodes;
  for (const SaaNode* n = root; n != nullptr; n = n->chain)
    nodes.push_back(n);
  auto link = [&](std::string& out, const char* label, const SaaNode* target) {
    if (target == nullptr) return;
    out += label;
    out += '#';
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i] == target) out += std::to_string(i);
  };
  std::string out;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const SaaNode& n = *nodes[i];
    out += '#';
    out += std::to_string(i);
    out += n.Has(qx::search::SN_ANCHORED) ? " anchored" : " search";
    if (n.Has(qx::search::SN_OPTIONAL)) out += " optional";
    if (n.Has(qx::search::SN_FROMSTART)) out += " fromstart";
    if (n.Has(qx::search::SN_ENDANCHOR)) out += " endanchor";
    if (n.Has(qx::search::SN_TOEND)) out += " toend";
    if (n.skipCount != 0) {
      out += " skip=";
      out += std::to_string(n.skipCount);
    }
    if (n.byteTable != 0) {
      out += ' ';
      out += CodeClass(n);
    } else {
      for (unsigned p = 0; p < n.positionCount; ++p) {
        out += ' ';
        out += Position(n, p);
      }
    }
    link(out, " next=", n.next);
    link(out, " alt=", n.alternative);
    out += '\n';
  }
  return out;
}

}  // namespace qxtest

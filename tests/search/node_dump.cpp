#include "search/node_dump.h"

#include <cstdio>
#include <vector>

namespace qxtest {
namespace {

using qx::search::Form;
using qx::search::SaaNode;

std::string Unit(std::uint32_t u, Form) {
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

// Members as runs: "a", "a-c", joined without separators.
template <class Accepts>
std::string Runs(std::uint32_t count, Accepts accepts, std::string (*show)(std::uint32_t, Form),
                 Form form) {
  std::string out;
  for (std::uint32_t u = 1; u < count; ++u) {
    if (!accepts(u)) continue;
    std::uint32_t last = u;
    while (last + 1 < count && accepts(last + 1))
      ++last;
    out += show(u, form);
    if (last > u) out += (last > u + 1 ? "-" : "") + show(last, form);
    u = last;
  }
  return out;
}

std::string Position(const SaaNode& node, unsigned index) {
  const std::uint32_t count = node.form == Form::kAnsi ? 256 : 65536;
  const std::uint32_t bit = 1u << index;
  auto accepts = [&](std::uint32_t u) { return (node.Masks()[u] & bit) != 0; };
  std::vector<std::uint32_t> members;
  for (std::uint32_t u = 1; u < count; ++u)
    if (accepts(u)) members.push_back(u);
  if (members.size() == 1) return Unit(members[0], node.form);
  if (members.size() > count / 2)
    return "[^" +
           Runs(
               count, [&](std::uint32_t u) { return !accepts(u); }, Unit, node.form) +
           "]";
  return "[" + Runs(count, accepts, Unit, node.form) + "]";
}

std::string Hex(std::uint32_t code, Form) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04X", code);
  return buffer;
}

std::string CodeClass(const SaaNode& node) {
  auto accepts = [&](std::uint32_t code) { return node.CodeBits()[code] != 0; };
  std::size_t total = 0;
  for (std::uint32_t code = 0; code < 65536; ++code)
    total += accepts(code) ? 1 : 0;
  if (total > 32768)
    return "{^" +
           Runs(
               65536, [&](std::uint32_t c) { return !accepts(c); }, Hex, node.form) +
           "}";
  std::string runs;
  for (std::uint32_t code = 1; code < 65536; ++code) {
    if (!accepts(code)) continue;
    std::uint32_t last = code;
    while (last + 1 < 65536 && accepts(last + 1))
      ++last;
    if (!runs.empty()) runs += ' ';
    runs += Hex(code, node.form);
    if (last > code) runs += "-" + Hex(last, node.form);
    code = last;
  }
  return "{" + runs + "}";
}

}  // namespace

std::string DumpConverter(const SaaNode* root) {
  std::vector<const SaaNode*> nodes;
  for (const SaaNode* n = root; n != nullptr; n = n->chain)
    nodes.push_back(n);
  auto name = [&](const SaaNode* target) {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i] == target) return "#" + std::to_string(i);
    return std::string("#?");
  };
  std::string out;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const SaaNode& n = *nodes[i];
    out += "#" + std::to_string(i) + (n.Has(qx::search::SN_ANCHORED) ? " anchored" : " search");
    if (n.Has(qx::search::SN_OPTIONAL)) out += " optional";
    if (n.Has(qx::search::SN_FROMSTART)) out += " fromstart";
    if (n.Has(qx::search::SN_ENDANCHOR)) out += " endanchor";
    if (n.Has(qx::search::SN_TOEND)) out += " toend";
    if (n.skipCount != 0) out += " skip=" + std::to_string(n.skipCount);
    if (n.byteTable != 0) {
      out += " " + CodeClass(n);
    } else {
      for (unsigned p = 0; p < n.positionCount; ++p)
        out += " " + Position(n, p);
    }
    if (n.next != nullptr) out += " next=" + name(n.next);
    if (n.alternative != nullptr) out += " alt=" + name(n.alternative);
    out += "\n";
  }
  return out;
}

}  // namespace qxtest

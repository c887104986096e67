// A plain reference for the converter scan: each step of the algorithm as
// written, recursing for every node visit (repetitions included) and with
// no skipping ahead. Tests and the fuzzer compare the library's scan with
// it on short texts, where its recursion stays shallow.
#pragma once

#include <cstddef>
#include <vector>

#include "search/saa_node.h"
#include "search/search_char.h"

namespace qxtest {

template <class Ch>
class ReferenceScan {
  using Node = qx::search::SaaNode;
  using C = qx::search::SearchChar<Ch>;
  static constexpr bool kAnsi = C::kForm == qx::search::Form::kAnsi;

 public:
  const Ch* Run(Node& root, const Ch* text) {
    root.matchLength = 0;
    return Scan(root, text);
  }

 private:
  static std::size_t Width(const Ch* p) {
    return kAnsi && C::IsLead(C::Unit(p[0])) && p[1] != 0 ? 2 : 1;
  }
  static const Ch* End(const Ch* p) {
    while (*p != 0)
      ++p;
    return p;
  }
  static std::uint32_t Step(std::uint32_t state, std::uint32_t mask) {
    return ((state << 1) | 1) & mask;
  }
  static std::uint32_t Code(const Ch* p, std::size_t width) {
    return width == 2 ? (C::Unit(p[0]) << 8) | C::Unit(p[1]) : C::Unit(p[0]) << 8;
  }

  const Ch* Fail(Node& node, const Ch* s) {
    if (node.alternative != nullptr) {
      node.alternative->matchLength = 0;
      const Ch* r = Scan(*node.alternative, s);
      node.matchLength = node.alternative->matchLength;
      return r;
    }
    return node.Has(qx::search::SN_OPTIONAL) ? s : nullptr;
  }

  const Ch* Scan(Node& node, const Ch* s) {
    using namespace qx::search;
    const Ch* t = s;
    for (std::uint32_t i = 0; i < node.skipCount; ++i) {
      if (*t == 0) return nullptr;
      t += Width(t);
    }
    const auto skipped = static_cast<std::uint32_t>(t - s);
    if (node.positionCount == 0) {
      if (node.next != nullptr) {
        node.next->matchLength = node.matchLength;
        const Ch* r = Scan(*node.next, t);
        if (r == nullptr) return nullptr;
        node.matchLength = node.next->matchLength + skipped;
        return r - skipped;
      }
      if (node.Has(SN_ENDANCHOR)) {
        if (node.Has(SN_TOEND)) {
          t = End(t);
        } else if (!node.Has(SN_ANCHORED)) {
          std::vector<const Ch*> starts;
          for (const Ch* p = s; *p != 0; p += Width(p))
            starts.push_back(p);
          starts.push_back(End(s));
          const Ch* start = starts[starts.size() - 1 - node.skipCount];
          node.matchLength += static_cast<std::uint32_t>(End(s) - start);
          return start;
        } else if (*t != 0) {
          return nullptr;
        }
      }
      node.matchLength += static_cast<std::uint32_t>(t - s);
      return s;
    }
    if (node.Has(SN_ANCHORED)) {
      std::uint32_t state = 0;
      const Ch* u = t;
      if (node.byteTable != 0) {
        if (*u != 0) {
          const std::size_t w = Width(u);
          state = node.CodeBits()[Code(u, w)] & 1;
          u += w;
        }
      } else {
        for (std::uint32_t i = 0; i < node.positionCount && *u != 0; ++i, ++u)
          state = Step(state, node.Masks()[C::Unit(*u)]);
      }
      if ((state & node.finalBit) == 0) return Fail(node, s);
      if (node.next != nullptr) {
        node.next->matchLength = node.matchLength;
        if (Scan(*node.next, u) == nullptr) return nullptr;
        node.matchLength = node.next->matchLength;
      } else if (node.Has(SN_ENDANCHOR)) {
        if (node.Has(SN_TOEND)) {
          u = End(u);
        } else if (*u != 0) {
          return nullptr;
        }
      }
      node.matchLength += static_cast<std::uint32_t>(u - s);
      return s;
    }
    std::uint32_t state = 0;
    std::size_t matchWidth = node.positionCount;
    const Ch* p = t;
    const Ch* u = nullptr;
    for (;;) {
      if (*p == 0) return Fail(node, s);
      if (node.byteTable != 0) {
        matchWidth = Width(p);
        state = node.CodeBits()[Code(p, matchWidth)] & 1;
        p += matchWidth;
      } else {
        const std::uint32_t c = C::Unit(*p++);
        state = Step(state, node.Masks()[c]);
        if (kAnsi && C::IsLead(c) && *p != 0) state = Step(state, node.Masks()[C::Unit(*p++)]);
      }
      if ((state & node.finalBit) == 0) continue;
      u = p;
      if (node.next == nullptr) {
        if (node.Has(SN_ENDANCHOR)) {
          if (node.Has(SN_TOEND)) {
            u = End(u);
          } else if (*u != 0) {
            return nullptr;
          }
        }
        break;
      }
      node.next->matchLength = node.matchLength;
      if (Scan(*node.next, u) != nullptr) {
        node.matchLength = node.next->matchLength;
        break;
      }
    }
    if (node.Has(SN_FROMSTART)) {
      node.matchLength += static_cast<std::uint32_t>(u - s);
      return s;
    }
    const std::size_t width = matchWidth + skipped;
    node.matchLength += static_cast<std::uint32_t>(width);
    return u - width;
  }
};

}  // namespace qxtest

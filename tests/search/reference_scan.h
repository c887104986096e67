// A plain reference for the converter scan: each node kind's steps as
// written, with every end place tried in turn, each position's mask tested
// directly, no state carried from one place to the next and no skipping
// ahead. It recurses for every node visit (repetitions included), so the
// differential test and the fuzzer run it on short texts only.
#pragma once

#include <cstddef>
#include <vector>

#include "search/saa_node.h"
#include "search/search_char.h"

namespace qxtest {

template <class Ch>
struct ReferenceScan {
  using Node = qx::search::SaaNode;
  using C = qx::search::SearchChar<Ch>;

  const Ch* Run(Node& root, const Ch* text) { return root.matchLength = 0, Scan(root, text); }

  static std::size_t Width(const Ch* p) {
    return sizeof(Ch) == 1 && C::IsLead(C::Unit(p[0])) && p[1] != 0 ? 2 : 1;
  }
  static const Ch* End(const Ch* p) { return *p == 0 ? p : End(p + 1); }
  // Whether the positions accept the `width` units at p (a double-byte
  // class node: the one character there).
  static bool Accepts(const Node& node, const Ch* p, std::size_t width) {
    if (node.byteTable != 0)
      return *p != 0 && node.CodeBits()[C::Unit(p[0]) << 8 | (width == 2 ? C::Unit(p[1]) : 0)] & 1;
    std::uint32_t i = 0;
    while (i < width && p[i] != 0 && (node.Masks()[C::Unit(p[i])] >> i & 1) != 0)
      ++i;
    return i == width;
  }

  // The skip-count characters before `to` begin at the skip-count-th
  // character start before it, characters counted from `from`.
  static const Ch* Before(const Ch* from, const Ch* to, const Node& node) {
    std::vector<const Ch*> starts;
    for (const Ch* p = from; p < to; p += Width(p))
      starts.push_back(p);
    return node.skipCount == 0 ? to : starts[starts.size() - node.skipCount];
  }

  const Ch* Fail(Node& node, const Ch* s) {
    if (node.alternative == nullptr) return node.Has(qx::search::SN_OPTIONAL) ? s : nullptr;
    node.alternative->matchLength = 0;
    const Ch* r = Scan(*node.alternative, s);
    node.matchLength = node.alternative->matchLength;
    return r;
  }

  // What must follow a match that ends at u: the next node, or the end
  // anchor (which moves u to the end of the text for a final '.*').
  bool Rest(Node& node, const Ch*& u) {
    using namespace qx::search;
    if (node.next == nullptr) {
      if (node.Has(SN_ENDANCHOR) && node.Has(SN_TOEND)) u = End(u);
      return !node.Has(SN_ENDANCHOR) || *u == 0;
    }
    node.next->matchLength = node.matchLength;
    if (Scan(*node.next, u) == nullptr) return false;
    node.matchLength = node.next->matchLength;
    return true;
  }

  const Ch* Scan(Node& node, const Ch* s) {
    using namespace qx::search;
    const Ch* t = s;
    for (std::uint32_t i = 0; i < node.skipCount; ++i, t += Width(t))
      if (*t == 0) return nullptr;
    if (node.positionCount == 0 && node.next != nullptr) {
      node.next->matchLength = node.matchLength;
      const Ch* r = Scan(*node.next, t);
      if (r == nullptr) return nullptr;
      node.matchLength =
          node.next->matchLength + static_cast<std::uint32_t>(r - Before(s, r, node));
      return Before(s, r, node);
    }
    if (node.positionCount == 0 && node.Has(SN_ENDANCHOR) && !node.Has(SN_TOEND | SN_ANCHORED)) {
      std::vector<const Ch*> starts = {s};  // the last skip-count characters
      for (const Ch* p = s; *p != 0; p += Width(p))
        starts.push_back(p + Width(p));
      const Ch* start = starts[starts.size() - 1 - node.skipCount];
      node.matchLength += static_cast<std::uint32_t>(End(s) - start);
      return start;
    }
    const Ch* u = t;
    std::size_t width = node.byteTable != 0 ? Width(t) : node.positionCount;
    if (node.positionCount == 0 || node.Has(SN_ANCHORED)) {
      if (node.positionCount != 0 && !Accepts(node, t, width)) return Fail(node, s);
      if (node.positionCount != 0) u = t + width;
      if (!Rest(node, u)) return nullptr;
      node.matchLength += static_cast<std::uint32_t>(u - s);
      return s;
    }
    for (const Ch* q = t;; q = u) {
      if (*q == 0) return Fail(node, s);
      u = q + Width(q);
      width = node.byteTable != 0 ? Width(q) : node.positionCount;
      if (static_cast<std::size_t>(u - t) < width || !Accepts(node, u - width, width)) continue;
      if (Rest(node, u)) break;
      if (node.next == nullptr) return nullptr;
    }
    const Ch* start = node.Has(SN_FROMSTART) ? s : Before(s, u - width, node);
    node.matchLength += static_cast<std::uint32_t>(u - start);
    return start;
  }
};

}  // namespace qxtest

// The small pattern matcher behind qxGrepA/W: matches straight from the
// pattern text, no converter and no allocation. '?' is any character, '?*'
// and '?+' are runs that backtrack (shortest first); a postfix '*' or '+' on
// a character, escaped character or set takes all it can and gives nothing
// back. The A form compares single bytes (no DBCS knowledge, no folding),
// with set ranges ordered as signed bytes; W compares code units.
//
// Backtracking: only the innermost run open so far is ever widened. Every
// other element matches in one way, and where it ends never moves back when
// its start moves on, so a rest of the pattern that fails after every width
// of the innermost run fails after any wider earlier run too, and from any
// later start. Match therefore keeps one run, no stack, and gives up on the
// whole text once that run has reached the terminator: at most a pass over
// the rest of the pattern per text character per start.
#pragma once

#include <cstddef>

#include "platform/win32_api.h"

namespace qx::search {

template <class Ch>
class PatternMatcher {
 public:
  PatternMatcher(const Ch* pattern) noexcept : pattern_(pattern), end_(pattern) {
    while (*end_ != 0)
      ++end_;
  }

  // The first place in `text` where the pattern matches, or null.
  const Ch* Find(const Ch* text) const noexcept {
    if (*pattern_ == Ch('^')) return Match(text, pattern_ + 1) == kMatched ? text : nullptr;
    for (const Ch* s = text; *s != 0; ++s) {
      const Outcome outcome = Match(s, pattern_);
      if (outcome == kMatched) return s;
      if (outcome == kNowhere) return nullptr;
    }
    return nullptr;
  }

 private:
  // Range order: signed bytes in A, unsigned code units in W.
  static int Order(Ch c) noexcept {
    if constexpr (sizeof(Ch) == 1) {
      return static_cast<signed char>(c);
    } else {
      return static_cast<int>(c);
    }
  }

  // A set's members lie in [begin, close); a '-' right before the close is
  // a member of its own, so no range reaches past the set.
  static bool InSet(Ch c, const Ch* begin, const Ch* close) noexcept {
    if (c == 0) return false;
    bool negated = false;
    if (begin < close && *begin == Ch('^')) {
      negated = true;
      ++begin;
    }
    bool found = false;
    for (const Ch* m = begin; m < close && !found; ++m) {
      if (m + 2 < close && m[1] == Ch('-')) {
        found = Order(m[0]) <= Order(c) && Order(c) <= Order(m[2]);
        m += 2;
      } else {
        found = *m == c;
      }
    }
    return found != negated;
  }

  // One element: what it accepts, where it ends in the pattern.
  struct Element {
    const Ch* next;   // pattern after the element (before any postfix)
    const Ch* begin;  // set members, for '['
    const Ch* close;  // the set's ']'
    Ch literal;       // the character, when not a set
    bool ok;          // false: unterminated set or trailing backslash
  };

  Element Read(const Ch* p) const noexcept {
    if (*p == Ch('[')) {
      const Ch* members = p + 1;
      const Ch* close = members;
      if (close < end_ && *close == Ch('^')) ++close;
      while (close < end_ && *close != Ch(']'))
        ++close;
      if (close >= end_) return {end_, nullptr, nullptr, 0, false};
      return {close + 1, members, close, 0, true};
    }
    if (*p == Ch('\\')) return {p + 2, nullptr, nullptr, p[1], p[1] != 0};
    return {p + 1, nullptr, nullptr, *p, true};
  }

  static bool Accepts(const Element& e, Ch c) noexcept {
    return e.begin != nullptr ? InSet(c, e.begin, e.close) : (c != 0 && c == e.literal);
  }

  enum Outcome {
    kMatched,
    kFailed,   // no match from this start
    kNowhere,  // a run reached the terminator: no match from any later start
  };

  Outcome Match(const Ch* s, const Ch* p) const noexcept {
    const Ch* runText = nullptr;  // where the innermost run's width ends now
    const Ch* runRest = nullptr;  // the pattern after it
    // Widens the innermost run by one character and matches on from there.
    const auto backtrack = [&]() noexcept {
      if (runRest == nullptr) return false;
      if (*runText == 0) return false;
      s = ++runText;
      p = runRest;
      return true;
    };
    for (;;) {
      bool failed = false;
      if (*p == 0) return kMatched;
      if (*p == Ch('$')) {
        if (*s == 0) return kMatched;
        failed = true;
      } else if (*p == Ch('?') && (p[1] == Ch('*') || p[1] == Ch('+'))) {
        if (p[1] == Ch('+') && *s == 0) {
          failed = true;
        } else {
          if (p[1] == Ch('+')) ++s;
          runText = s;
          runRest = p + 2;
          p = runRest;
          continue;
        }
      } else if (*p == Ch('?')) {
        if (*s == 0) {
          failed = true;
        } else {
          ++s;
          ++p;
          continue;
        }
      } else {
        const Element e = Read(p);
        if (!e.ok) return runRest == nullptr ? kFailed : kNowhere;
        p = e.next;
        if (*p == Ch('*')) {
          ++p;
        } else if (!Accepts(e, *s)) {
          failed = true;
        } else {
          ++s;
          if (*p == Ch('+'))
            ++p;
          else
            continue;
        }
        if (!failed) {
          while (Accepts(e, *s))
            ++s;
          continue;
        }
      }
      if (!backtrack()) return runRest == nullptr ? kFailed : kNowhere;
    }
  }

  const Ch* pattern_;
  const Ch* end_;
};

}  // namespace qx::search

// The compiler builds one node at a time. A node's build reads the pattern
// until the node is complete and then says how the rest continues: from
// which text position, with which flags and repeat start, and whether the
// new node becomes this node's next, its alternative, or both. Every link
// points at that new node or at the node itself, so the loop below replaces
// the build's recursion and needs no stack however long the pattern is.
#include "search/compiler.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "qxdll32.h"
#include "search/search_char.h"
#include "search/skip_choice.h"

namespace qx::search {
namespace {

constexpr std::size_t kNoRepeat = static_cast<std::size_t>(-1);

// The scanner nests one call per node of the chain, some 160 bytes of stack
// each; a converter of at most this many nodes (a literal of 65536
// characters, or 2048 optional elements) scans in about 320 KiB. Longer
// search strings are refused when the converter is built, so no scan can
// run out of stack.
constexpr std::size_t kMaxNodes = 2048;

enum class Link { kNone, kNext, kNextAndAlternative, kAlternative };

// How the rest of the pattern continues after a finished node.
struct Continuation {
  Link link = Link::kNone;
  std::size_t from = 0;
  std::uint32_t flags = 0;
  std::size_t repeat = kNoRepeat;  // start of the element before a '+'
};

// Where a class lies: members in [begin, end), the pattern goes on at
// `after`. The end is the first ']' (trail bytes skipped) or the text end.
struct ClassShape {
  bool negated = false;
  bool hasLead = false;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t after = 0;
};

// One class member: a unit (or double-byte class code) and where it ends.
struct Member {
  bool ok;
  std::uint32_t value;
  std::size_t next;
};

template <class Ch>
class NodeBuilder {
  using C = SearchChar<Ch>;
  static constexpr bool kAnsi = C::kForm == Form::kAnsi;

 public:
  NodeBuilder(const Ch* text, std::size_t length, SaaNode& node) noexcept
      : text_(text), length_(length), node_(node), mode_(node.flags & kModeMask) {}

  // What the build learned of the positions, for the skip-ahead choice.
  const PositionUnits& Units() const noexcept { return units_; }

  // Both return false when a mask table cannot be allocated.
  bool Literal(std::size_t p, Continuation& out) noexcept;
  bool Pattern(std::size_t p, std::size_t repeat, Continuation& out) noexcept;

 private:
  enum class Step { kRead, kDone };

  std::uint32_t At(std::size_t i) const noexcept { return i < length_ ? C::Unit(text_[i]) : 0; }
  bool NoCase() const noexcept { return (mode_ & kModeNoCase) != 0; }
  bool StartsDoubleByte(std::size_t i) const noexcept {
    return kAnsi && i + 1 < length_ && C::IsLead(At(i));
  }
  // A node holds 32 positions, and an A node never splits a double-byte
  // character: with 31 positions it closes before one.
  bool IsFull(std::size_t next, bool trailPending) const noexcept {
    return node_.positionCount == kMaxPositions ||
           (node_.positionCount == kMaxPositions - 1 && !trailPending && StartsDoubleByte(next));
  }
  bool AddPosition(std::uint32_t unit, bool fold) noexcept;
  Step AfterPosition(std::size_t p, bool trailPending, std::size_t repeat,
                     Continuation& out) const noexcept;
  Step Dot(std::size_t start, std::size_t& p, std::size_t repeat, Continuation& out) noexcept;
  ClassShape ReadClassShape(std::size_t p) const noexcept;
  Member ReadMember(std::size_t q, std::size_t end, bool codes) const noexcept;
  template <class Visit>
  void ForEachMember(const ClassShape& shape, bool codes, Visit visit) const noexcept;
  bool AddClassPosition(const ClassShape& shape) noexcept;
  // An optional node's element ends at its postfix ('?', '*' or '+', whose
  // repetitions loop on the node); the pattern goes on at p.
  void EndOptional(std::uint32_t postfix, std::size_t p, std::size_t repeat,
                   Continuation& out) noexcept {
    if (postfix != '?') node_.next = &node_;
    if (p < length_) {
      out = {postfix == '?' ? Link::kNextAndAlternative : Link::kAlternative, p,
             mode_ | SN_ANCHORED, postfix == '+' ? kNoRepeat : repeat};
    }
  }
  bool MakeCodeClass(const ClassShape& shape) noexcept;

  // The units each position accepts, while there are at most two.
  // The units each position accepts, while there are at most two.
  void Remember(std::uint32_t unit, std::uint32_t other) noexcept {
    const std::uint32_t i = node_.positionCount;
    units_.few[i][0] = unit;
    units_.few[i][1] = other;
    units_.count[i] = other == unit ? 1 : 2;
  }

  const Ch* text_;
  std::size_t length_;
  SaaNode& node_;
  std::uint32_t mode_;
  PositionUnits units_;
};

template <class Ch>
bool NodeBuilder<Ch>::AddPosition(std::uint32_t unit, bool fold) noexcept {
  if (node_.maskTable == nullptr && !AddMaskTable(node_, C::kEntries, sizeof(std::uint32_t)))
    return false;
  const std::uint32_t bit = 1u << node_.positionCount;
  const std::uint32_t other = fold && NoCase() ? C::OtherCase(unit) : unit;
  node_.Masks()[unit] |= bit;
  node_.Masks()[other] |= bit;
  Remember(unit, other);
  ++node_.positionCount;
  node_.finalBit = bit;
  return true;
}

template <class Ch>
bool NodeBuilder<Ch>::Literal(std::size_t p, Continuation& out) noexcept {
  bool trail = false;
  while (p < length_) {
    const std::uint32_t unit = At(p);
    const bool lead = !trail && StartsDoubleByte(p);
    if (!AddPosition(unit, !trail && !lead)) return false;
    ++p;
    trail = lead;
    if (p < length_ && IsFull(p, trail)) {
      out = {Link::kNext, p, node_.flags | SN_ANCHORED, kNoRepeat};
      return true;
    }
  }
  return true;
}

template <class Ch>
typename NodeBuilder<Ch>::Step NodeBuilder<Ch>::AfterPosition(std::size_t p, bool trailPending,
                                                              std::size_t repeat,
                                                              Continuation& out) const noexcept {
  if (p >= length_) return Step::kDone;
  if (IsFull(p, trailPending)) {
    out = {Link::kNext, p, mode_ | SN_ANCHORED, repeat};
    return Step::kDone;
  }
  return Step::kRead;
}

// '.', '.?', '.*' and '.+' at `start`; `p` is just past the '.'.
template <class Ch>
typename NodeBuilder<Ch>::Step NodeBuilder<Ch>::Dot(std::size_t start, std::size_t& p,
                                                    std::size_t repeat,
                                                    Continuation& out) noexcept {
  const bool hasPositions = node_.positionCount > 0;
  const std::uint32_t d = At(p);
  if (d == '?') {
    ++p;
    if (hasPositions) {
      out = {Link::kNext, start, mode_ | SN_ANCHORED, repeat};
      return Step::kDone;
    }
    ++node_.skipCount;
    out = {Link::kNextAndAlternative, p, mode_ | (node_.flags & SN_ANCHORED), repeat};
    return Step::kDone;
  }
  if (d == '*' || d == '+') {
    ++p;
    if (hasPositions) {  // the run starts a searching node of its own
      out = {Link::kNext, start, mode_, repeat};
      return Step::kDone;
    }
    if (d == '+') ++node_.skipCount;
    node_.flags = (node_.flags & ~SN_ANCHORED) | SN_FROMSTART;
    if (p >= length_ || At(p) == '$') {
      node_.flags |= SN_ENDANCHOR | SN_TOEND;
      return Step::kDone;
    }
    return Step::kRead;
  }
  if (hasPositions) {
    out = {Link::kNext, start, mode_ | SN_ANCHORED, repeat};
    return Step::kDone;
  }
  ++node_.skipCount;
  return p >= length_ ? Step::kDone : Step::kRead;
}

template <class Ch>
ClassShape NodeBuilder<Ch>::ReadClassShape(std::size_t p) const noexcept {
  ClassShape shape;
  if (At(p) == '^') {
    shape.negated = true;
    ++p;
  }
  shape.begin = p;
  while (p < length_ && At(p) != ']') {
    if (StartsDoubleByte(p)) {
      shape.hasLead = true;
      p += 2;
    } else {
      ++p;
    }
  }
  shape.end = p;
  shape.after = p < length_ ? p + 1 : length_;
  return shape;
}

// Reads one member at q, no further than `end`. With `codes` (A double-byte
// class) a double-byte character is lead * 256 + trail and a single-byte
// one b * 256. An escape of value 0, or a backslash with nothing after it
// inside the class, ends the members.
template <class Ch>
Member NodeBuilder<Ch>::ReadMember(std::size_t q, std::size_t end, bool codes) const noexcept {
  const unsigned shift = codes ? 8 : 0;
  const std::uint32_t unit = At(q);
  if (unit == '\\') {
    const Escape escape = DecodeEscape(text_, q + 1, end);
    if (escape.value == 0) return {false, 0, end};
    if (kAnsi && escape.raw && C::IsLead(escape.value) && escape.end < end)
      return {true, (escape.value << 8) | At(escape.end), escape.end + 1};
    return {true, escape.value << shift, escape.end};
  }
  if (kAnsi && C::IsLead(unit) && q + 1 < end) return {true, (unit << 8) | At(q + 1), q + 2};
  return {true, unit << shift, q + 1};
}

// Calls visit(low, high) for each member and range, in order; a range's
// ends are swapped when written high to low.
template <class Ch>
template <class Visit>
void NodeBuilder<Ch>::ForEachMember(const ClassShape& shape, bool codes,
                                    Visit visit) const noexcept {
  std::size_t q = shape.begin;
  while (q < shape.end) {
    const Member low = ReadMember(q, shape.end, codes);
    if (!low.ok) return;
    q = low.next;
    if (q + 1 < shape.end && At(q) == '-') {
      const Member high = ReadMember(q + 1, shape.end, codes);
      if (high.ok) {
        q = high.next;
        visit(low.value < high.value ? low.value : high.value,
              low.value < high.value ? high.value : low.value);
        continue;
      }
    }
    visit(low.value, low.value);
  }
}

template <class Ch>
bool NodeBuilder<Ch>::AddClassPosition(const ClassShape& shape) noexcept {
  if (node_.maskTable == nullptr && !AddMaskTable(node_, C::kEntries, sizeof(std::uint32_t)))
    return false;
  std::uint32_t* masks = node_.Masks();
  const std::uint32_t bit = 1u << node_.positionCount;
  if (shape.negated) {
    for (std::size_t i = 0; i < C::kEntries; ++i)
      masks[i] |= bit;
  }
  bool& beyondAscii = units_.beyondAscii[node_.positionCount];
  beyondAscii = shape.negated;
  auto apply = [&](std::uint32_t unit) {
    beyondAscii = beyondAscii || unit >= kAsciiEntries;
    if (shape.negated) {
      masks[unit] &= ~bit;
    } else {
      masks[unit] |= bit;
    }
  };
  units_.count[node_.positionCount] = PositionUnits::kMany;
  ForEachMember(shape, false, [&](std::uint32_t low, std::uint32_t high) {
    for (std::uint32_t unit = low;; ++unit) {
      apply(unit);
      if (NoCase()) apply(C::OtherCase(unit));
      if (unit == high) break;
    }
  });
  ++node_.positionCount;
  node_.finalBit = bit;
  return true;
}

// An A class holding a double-byte character: one position over character
// codes. A range walks every trail value under a lead byte and otherwise
// steps from one single-byte character to the next.
template <class Ch>
bool NodeBuilder<Ch>::MakeCodeClass(const ClassShape& shape) noexcept {
  if (!AddMaskTable(node_, kCodeEntries, 1)) return false;
  node_.byteTable = 1;
  node_.positionCount = 1;
  node_.finalBit = 1;
  std::uint8_t* bits = node_.CodeBits();
  const std::uint8_t member = shape.negated ? 0 : 1;
  if (shape.negated) std::memset(bits, 1, kCodeEntries);
  ForEachMember(shape, true, [&](std::uint32_t low, std::uint32_t high) {
    for (std::uint32_t code = low; code <= high;) {
      bits[code] = member;
      const std::uint32_t lead = code >> 8;
      if (C::IsLead(lead)) {
        ++code;
        continue;
      }
      if (NoCase() && (code & 0xFF) == 0) bits[C::OtherCase(lead) << 8] = member;
      code += 256;
    }
  });
  return true;
}

template <class Ch>
bool NodeBuilder<Ch>::Pattern(std::size_t p, std::size_t repeat, Continuation& out) noexcept {
  const bool optional = node_.Has(SN_OPTIONAL);
  bool trail = false;        // the next unit is the trail byte of a lead just added
  bool elementRead = false;  // an optional node's own element is behind us
  while (p < length_) {
    const std::size_t start = p;
    std::uint32_t c = At(p++);
    if (trail) {
      trail = false;
      if (!AddPosition(c, false)) return false;
      if (AfterPosition(p, false, repeat, out) == Step::kDone) return true;
      continue;
    }
    if (c == '$') {
      node_.flags |= SN_ENDANCHOR;
      return true;
    }
    if (c == '.') {
      if (Dot(start, p, repeat, out) == Step::kDone) return true;
      continue;
    }
    // The postfix of an optional node's element; before the element has
    // been read, '?', '*' and '+' are the element itself.
    if (optional && elementRead && (c == '?' || c == '*' || c == '+')) {
      EndOptional(c, p, repeat, out);
      return true;
    }
    // 'X+' is X followed by a node for 'X*'. A '+' with no element before
    // it is an ordinary character.
    if (!optional && c == '+' && repeat != kNoRepeat) {
      out = {Link::kNext, repeat, mode_ | SN_ANCHORED | SN_OPTIONAL, kNoRepeat};
      return true;
    }
    if (c == '[') {
      const ClassShape shape = ReadClassShape(p);
      const std::uint32_t d = At(shape.after);
      if (!optional && (d == '?' || d == '*')) {
        out = {Link::kNext, start, mode_ | SN_ANCHORED | SN_OPTIONAL, repeat};
        return true;
      }
      repeat = d == '+' ? start : kNoRepeat;
      elementRead = true;
      p = shape.after;
      if (kAnsi && shape.hasLead) {
        if (node_.positionCount > 0) {
          out = {Link::kNext, start, mode_ | SN_ANCHORED, repeat};
          return true;
        }
        if (!MakeCodeClass(shape)) return false;
        if (p >= length_) return true;
        if (d == '+' && !optional) {
          out = {Link::kNext, repeat, mode_ | SN_ANCHORED | SN_OPTIONAL, kNoRepeat};
          return true;
        }
        if (optional && (d == '?' || d == '*' || d == '+')) {
          EndOptional(d, p + 1, repeat, out);
          return true;
        }
        out = {Link::kNext, p, mode_ | SN_ANCHORED, repeat};
        return true;
      }
      if (!AddClassPosition(shape)) return false;
      if (AfterPosition(p, false, repeat, out) == Step::kDone) return true;
      continue;
    }
    bool lead = false;
    if (c == '\\') {
      const Escape escape = DecodeEscape(text_, p, length_);
      if (escape.value == 0) return true;
      c = escape.value;
      p = escape.end;
      // An escaped character stands for one whole character; a code that
      // happens to be a lead byte is not paired with what follows.
      lead = kAnsi && escape.raw && C::IsLead(c) && p < length_;
    } else {
      lead = kAnsi && C::IsLead(c) && p < length_;
    }
    const std::uint32_t d = At(lead ? p + 1 : p);
    if (!optional && (d == '?' || d == '*')) {
      out = {Link::kNext, start, mode_ | SN_ANCHORED | SN_OPTIONAL, repeat};
      return true;
    }
    repeat = d == '+' ? start : kNoRepeat;
    elementRead = true;
    if (!AddPosition(c, !lead)) return false;
    trail = lead;
    if (AfterPosition(p, trail, repeat, out) == Step::kDone) return true;
  }
  return true;
}

}  // namespace

template <class Ch>
SaaNode* Compile(const Ch* text, std::uint32_t flags, std::uint32_t& error) noexcept {
  const std::uint32_t mode = flags & kModeMask;
  const std::size_t length = std::char_traits<Ch>::length(text);
  Continuation pending{Link::kNext, 0, mode, kNoRepeat};
  if ((mode & kModePattern) != 0 && length > 0 && text[0] == Ch('^')) {
    pending.from = 1;
    pending.flags |= SN_ANCHORED;
  }
  if (pending.from >= length) {
    error = QXERR_BADPARAM;
    return nullptr;
  }
  unique_chain root;
  SaaNode* previous = nullptr;
  for (std::size_t count = 1;; ++count) {
    if (count > kMaxNodes) {
      error = QXERR_BADPARAM;
      return nullptr;
    }
    SaaNode* node = NewNode(SearchChar<Ch>::kForm, pending.flags);
    if (node == nullptr) {
      error = QXERR_NOMEMORY;
      return nullptr;
    }
    if (previous == nullptr) {
      root.reset(node);
    } else {
      previous->chain = node;
      if (pending.link != Link::kAlternative) previous->next = node;
      if (pending.link != Link::kNext) previous->alternative = node;
    }
    NodeBuilder<Ch> builder(text, length, *node);
    Continuation out;
    const bool built = (mode & kModePattern) != 0
                           ? builder.Pattern(pending.from, pending.repeat, out)
                           : builder.Literal(pending.from, out);
    if (!built || !ChooseSkipAhead<Ch>(*node, builder.Units())) {
      error = QXERR_NOMEMORY;
      return nullptr;
    }
    if (out.link == Link::kNone) return root.release();
    previous = node;
    pending = out;
  }
}

template SaaNode* Compile<char>(const char*, std::uint32_t, std::uint32_t&) noexcept;
template SaaNode* Compile<WCHAR>(const WCHAR*, std::uint32_t, std::uint32_t&) noexcept;

}  // namespace qx::search

// The converter's node record. A converter is a chain of nodes, root first;
// each node runs a shift-and mask table of at most 32 positions and hands the
// place after its match to `next`, or its own start to `alternative` when it
// fails. The compiler only ever links a node to itself (a repetition loop) or
// to the node it built next (`chain`), so the graph is the chain list plus
// self-loops: a walk from the root visits each node at most once per level,
// and nesting is bounded by the number of nodes.
#pragma once

#include <cstdint>

#include "frame/signatures.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"
#include "qxdll32.h"

namespace qx::search {

// Low two bits of the creation flags: the reading of the search string.
inline constexpr std::uint32_t kModeNoCase = QXSAA_NOCASE;
inline constexpr std::uint32_t kModePattern = QXSAA_PATTERN;
inline constexpr std::uint32_t kModeMask = kModeNoCase | kModePattern;

// Node flags (bits 27 to 31).
inline constexpr std::uint32_t SN_OPTIONAL = 0x08000000;   // fails as an empty match
inline constexpr std::uint32_t SN_TOEND = 0x10000000;      // match runs to the text end
inline constexpr std::uint32_t SN_ENDANCHOR = 0x20000000;  // match must end at the text end
inline constexpr std::uint32_t SN_FROMSTART = 0x40000000;  // match starts where the scan began
inline constexpr std::uint32_t SN_ANCHORED = 0x80000000;   // positions match at the start only

// Which scan function a converter belongs to.
enum class Form : std::uint32_t { kAnsi = 1, kWide = 2 };

// Mask table sizes: A bytes, A double-byte class codes, W code units.
inline constexpr std::size_t kByteEntries = 256;
inline constexpr std::size_t kCodeEntries = 65536;
inline constexpr std::uint32_t kAsciiEntries = 128;  // a W rare set: ASCII units
inline constexpr std::uint32_t kMaxPositions = 32;
inline constexpr std::uint32_t kRareSet = 3;

// How a searching node skips ahead, used only to skip text quickly: every
// match has, at position `rareOffset`, one of `rareCount` (1 or 2) units,
// or with kRareSet an ASCII unit whose entry in `rareSet` (A: 256 entries,
// W: 128) is 1 (entry 0, the NUL, is 1 as well, to stop there). With
// kRareSet, rareUnits holds the lowest and highest member other than the
// NUL (both 0 when there is none). A second narrow position before
// rareOffset is tested at each candidate before the mask tables are run;
// checkCount 0 when there is none.
struct SkipAhead {
  std::uint32_t rareOffset;
  std::uint32_t rareCount;
  std::uint32_t rareUnits[2];
  std::uint8_t* rareSet;
  std::uint32_t checkOffset;
  std::uint32_t checkCount;
  std::uint32_t checkUnits[2];
};

struct SaaNode {
  std::uint32_t magic;          // kSigConverter
  std::uint32_t byteTable;      // 1: A double-byte class node (65536 one-byte entries)
  std::uint32_t skipCount;      // leading any-character positions
  std::uint32_t positionCount;  // mask positions, 0 to 32
  std::uint32_t finalBit;       // mask bit of the last position
  std::uint32_t flags;          // creation mode (bits 0-1) and SN_ flags
  std::uint32_t matchLength;    // written by scans: bytes (A) or code units (W)
  SaaNode* chain;               // the node this node's build created; owns
  SaaNode* next;                // must match right after this node; none, self or chain
  SaaNode* alternative;         // tried at this node's start when it fails; none or chain
  void* maskTable;              // absent while positionCount is 0
  Form form;                    // the form that built the converter
  SkipAhead skip;               // chosen by skip_choice.cpp; all 0 when the node cannot skip

  bool Has(std::uint32_t flag) const noexcept { return (flags & flag) != 0; }
  std::uint32_t* Masks() const noexcept { return static_cast<std::uint32_t*>(maskTable); }
  std::uint8_t* CodeBits() const noexcept { return static_cast<std::uint8_t*>(maskTable); }
};

// A zero-filled node with the signature and `flags`; null when memory runs out.
SaaNode* NewNode(Form form, std::uint32_t flags) noexcept;

// Gives `node` a zero-filled table of `entries` entries of `width` bytes.
bool AddMaskTable(SaaNode& node, std::size_t entries, std::size_t width) noexcept;

// Frees the chain from `root`; stops at a node without the signature and
// reports whether the whole chain was released.
bool FreeChain(SaaNode* root) noexcept;

struct ChainTraits {
  using type = SaaNode*;
  static type Invalid() noexcept { return nullptr; }
  static void Close(type root) noexcept { FreeChain(root); }
};

// A converter chain, freed on every path out of a scope.
using unique_chain = unique_handle<ChainTraits>;

}  // namespace qx::search

#include "search/saa_node.h"

#include <cstdlib>

namespace qx::search {

SaaNode* NewNode(Form form, std::uint32_t flags) noexcept {
  auto* node = static_cast<SaaNode*>(std::calloc(1, sizeof(SaaNode)));
  if (node == nullptr) return nullptr;
  node->magic = kSigConverter;
  node->flags = flags;
  node->form = form;
  return node;
}

bool AddMaskTable(SaaNode& node, std::size_t entries, std::size_t width) noexcept {
  node.maskTable = std::calloc(entries, width);
  return node.maskTable != nullptr;
}

bool FreeChain(SaaNode* root) noexcept {
  for (SaaNode* node = root; node != nullptr;) {
    if (node->magic != kSigConverter) return false;
    SaaNode* following = node->chain;
    node->magic = 0;  // a stale copy of the handle no longer looks alive
    std::free(node->maskTable);
    std::free(node->skip.rareSet);
    std::free(node);
    node = following;
  }
  return true;
}

}  // namespace qx::search

#include "batch/BlockResult.h"

namespace kestrum {

CompactHand Compact(const Hand& hand) {
  CompactHand compact{};
  for (int k = 0; k < kHandSize; ++k) compact[k] = static_cast<std::uint8_t>(hand[k]);
  return compact;
}

Hand Expand(const CompactHand& hand) {
  Hand expanded{};
  for (int k = 0; k < kHandSize; ++k) expanded[k] = hand[k];
  return expanded;
}

}  // namespace kestrum

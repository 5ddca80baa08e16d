#pragma once
// The three steps that open every game: shuffle the wall, deal the dealer's
// fourteen tiles from its front, sort them.

#include <array>
#include <utility>

#include "engine/Tiles.h"

namespace kestrum {

inline constexpr int kMinExchanges = 10000;
inline constexpr int kExchangeSpread = 1000;  // 10000..10999 exchanges

// A random-transposition shuffle with a random number of steps. It is a
// template over the source so that the hot loop has no virtual call per
// random number; any type with int Next() in 0..32767 serves (the tests use
// sources that always give 0 or 32767). The wall is never reset first: each
// game shuffles the order the previous one left.
//
// The wall may hold its codes in any integer type (the window and the batch
// both keep Wall; the tests also shuffle byte walls). A source may offer
// shortcuts for the exchanges, provided they give exactly the values of its
// Next() reduced modulo 136, in the same order:
//   ForEachPositionPair(n, f)  f(a, b) for n exchanges in a row;
//   NextPair()                 the next two values of Next(), unreduced.
template <class Code, class Source>
void ShuffleWall(std::array<Code, kWallSize>& wall, Source& source) {
  const unsigned exchanges =
      static_cast<unsigned>(source.Next()) % kExchangeSpread + kMinExchanges;
  if constexpr (requires { source.ForEachPositionPair(0u, [](unsigned, unsigned) {}); }) {
    source.ForEachPositionPair(exchanges, [&wall](unsigned a, unsigned b) { std::swap(wall[a], wall[b]); });
    return;
  }
  for (unsigned i = 0; i < exchanges; ++i) {
    unsigned a;
    unsigned b;
    if constexpr (requires { source.NextPair(); }) {
      const auto pair = source.NextPair();
      a = static_cast<unsigned>(pair.first) % kWallSize;
      b = static_cast<unsigned>(pair.second) % kWallSize;
    } else {
      a = static_cast<unsigned>(source.Next()) % kWallSize;
      b = static_cast<unsigned>(source.Next()) % kWallSize;
    }
    std::swap(wall[a], wall[b]);
  }
}

template <class Code>
void DealHand(const std::array<Code, kWallSize>& wall, Hand& hand) {
  for (int k = 0; k < kHandSize; ++k) hand[k] = wall[k];
}

// An exchange sort over fourteen entries; for so few it beats std::sort and
// leaves the same ascending order.
inline void SortHand(Hand& hand) {
  for (int i = 0; i < kHandSize - 1; ++i)
    for (int j = i + 1; j < kHandSize; ++j)
      if (hand[i] > hand[j]) std::swap(hand[i], hand[j]);
}

}  // namespace kestrum

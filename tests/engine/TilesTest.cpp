#include <gtest/gtest.h>

#include <map>

#include "engine/CompleteHand.h"
#include "engine/RandomSource.h"
#include "engine/WallOps.h"

namespace kestrum {
namespace {

TEST(RandomSource, PairIsTheNextTwoValues) {
  RandomSource one(12345);
  RandomSource two(12345);
  for (int i = 0; i < 1000; ++i) {
    const int a = one.Next();
    const int b = one.Next();
    const auto pair = two.NextPair();
    ASSERT_EQ(a, pair.first);
    ASSERT_EQ(b, pair.second);
    ASSERT_GE(a, 0);
    ASSERT_LE(a, RandomSource::kMax);
  }
}

}  // namespace
}  // namespace kestrum

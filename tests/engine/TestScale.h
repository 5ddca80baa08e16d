#pragma once
// Builds with sanitizers or without optimisation run the long statistical
// and exhaustive tests on a sample, so that the suite stays quick there too.

namespace kestrum::testing {

#if defined(KESTRUM_SLOW_BUILD)
inline constexpr bool kSlowBuild = true;
#else
inline constexpr bool kSlowBuild = false;
#endif

}  // namespace kestrum::testing

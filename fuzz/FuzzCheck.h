#pragma once
// A broken invariant ends the fuzz target with abort(), so that libFuzzer
// keeps the input that broke it, and says which invariant it was.

#include <cstdio>
#include <cstdlib>

namespace kestrum::fuzz {

inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

}  // namespace kestrum::fuzz

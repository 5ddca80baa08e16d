// Finds a second of the calendar clock that, as the window's seed, deals a
// heavenly hand within a few hundred games, so that an end-to-end test can
// start the real program with its clock pinned to that second and see one.
//
//   tenhou_second FIRST_SECOND MIN_GAMES MAX_GAMES
//
// Tries FIRST_SECOND, FIRST_SECOND + 1, ... and prints the first hit as
//   SECOND GAMES NAMES CODES
// where NAMES is the dealt hand's 28 bytes of tile names in hexadecimal and
// CODES its fourteen tile codes, separated by commas.
// The window seeds its source with the start-up second and shuffles once
// while it is built; each game then shuffles, deals and sorts. This replays
// exactly that with the engine's own functions.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/CompleteHand.h"
#include "engine/RandomSource.h"
#include "engine/Tiles.h"
#include "engine/WallOps.h"

namespace {

constexpr long long kSecondsTried = 200000;

// The game (1, 2, ...) of the first heavenly hand of this seed, or 0 when
// none comes within maxGames.
long long FirstTenhouGame(long long second, long long maxGames, kestrum::Hand& hand) {
  kestrum::RandomSource random(static_cast<std::uint64_t>(second));
  kestrum::Wall wall;
  kestrum::FillWall(wall);
  kestrum::ShuffleWall(wall, random);
  bool pairTaken = false;
  for (long long game = 1; game <= maxGames; ++game) {
    kestrum::ShuffleWall(wall, random);
    kestrum::DealHand(wall, hand);
    kestrum::SortHand(hand);
    if (kestrum::IsCompleteHand(hand, pairTaken)) return game;
  }
  return 0;
}

std::string Codes(const kestrum::Hand& hand) {
  std::string codes;
  for (kestrum::TileCode code : hand) codes += (codes.empty() ? "" : ",") + std::to_string(code);
  return codes;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (unsigned char byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: tenhou_second FIRST_SECOND MIN_GAMES MAX_GAMES\n");
    return 2;
  }
  const long long first = std::atoll(argv[1]);
  const long long minGames = std::atoll(argv[2]);
  const long long maxGames = std::atoll(argv[3]);
  kestrum::Hand hand{};
  for (long long second = first; second < first + kSecondsTried; ++second) {
    const long long game = FirstTenhouGame(second, maxGames, hand);
    if (game != 0 && game >= minGames) {
      std::printf("%lld %lld %s %s\n", second, game, Hex(kestrum::HandText(hand)).c_str(), Codes(hand).c_str());
      return 0;
    }
  }
  std::fprintf(stderr, "no heavenly hand within %lld games for %lld seconds from %lld\n", maxGames, kSecondsTried, first);
  return 1;
}

#include "engine/Tiles.h"

#include <string>

namespace kestrum {

const TileNameTable& TileNames() {
  static constexpr TileNameTable kNames = {
      "00", "1m", "2m", "3m", "4m", "5m", "6m", "7m", "8m", "9m",  //
      "1p", "2p", "3p", "4p", "5p", "6p", "7p", "8p", "9p",        //
      "1s", "2s", "3s", "4s", "5s", "6s", "7s", "8s", "9s",        //
      "\x93\x8C",  // 東
      "\x93\xEC",  // 南
      "\x90\xBC",  // 西
      "\x96\x6B",  // 北
      "\x94\x92",  // 白
      "\x94\xAD",  // 発
      "\x92\x86",  // 中
  };
  return kNames;
}

std::string HandText(const Hand& hand) {
  std::string text;
  text.reserve(2 * kHandSize);
  for (TileCode code : hand) text += TileNames()[code];
  return text;
}

}  // namespace kestrum

#include "engine/StatusText.h"

namespace kestrum {

std::string StatusText(bool tenhou, const Hand& hand, const TileNameTable& names, Count64 sinceCnt) {
  std::string text;
  text.reserve(32 + 20);
  text += tenhou ? '1' : '0';
  text += '*';
  for (TileCode code : hand) text += names[code];
  text += '+';
  text += std::to_string(sinceCnt);
  return text;
}

}  // namespace kestrum

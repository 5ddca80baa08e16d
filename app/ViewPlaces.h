#pragma once
// Where the view keeps what outlives a game: the status block's name and the
// log file. The program always uses the defaults; the tests point them at
// places of their own so that they never touch a real user's block or log.

#include <filesystem>
#include <string>

#include "platform/SharedStatusBlock.h"

struct ViewPlaces {
  std::string statusBlockName = kestrum::kStatusBlockName;
  std::filesystem::path logFile = "tenholog.txt";
};

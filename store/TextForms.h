#pragma once
// The decimal texts in which the settings and records are stored. Reading
// follows the old runtime conversions byte for byte: leading white space,
// one optional sign, then digits up to the first other byte, with no
// overflow check (the value wraps), so that every text a user may have put
// into the store loads as it always has.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Tiles.h"

namespace kestrum {

Count64 ParseCount64(std::string_view text);
std::int32_t ParseNumber32(std::string_view text);
// On only when the text reads as the number 1.
bool ParseFlag(std::string_view text);

std::string CountText(Count64 value);
std::string NumberText(std::int32_t value);
std::string FlagText(bool on);

}  // namespace kestrum

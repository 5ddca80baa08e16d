#pragma once
// Texts from the log file are Shift_JIS bytes exactly as they were read; a
// file edited by hand may hold any bytes at all.

#include <string_view>

class QString;

namespace kestrum {

// Decodes each character on its own, so a damaged byte spoils only itself:
// bytes that do not form a Shift_JIS character, and a lead byte cut off at
// the end of the text, each become U+FFFD.
QString FromShiftJis(std::string_view bytes);

}  // namespace kestrum

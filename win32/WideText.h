#pragma once
// Text for the wide Win32 calls: the program's literals are UTF-8, the log
// and the status block Shift_JIS (code page 932).

#include <string>
#include <string_view>

namespace kestrum::win32 {

std::wstring WideFromUtf8(std::string_view text);
// Bytes that are no Shift_JIS come out as the system's replacement, never
// as lost neighbours.
std::wstring WideFromShiftJis(std::string_view bytes);

}  // namespace kestrum::win32

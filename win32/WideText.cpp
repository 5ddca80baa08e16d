#include "win32/WideText.h"

#include <windows.h>

namespace kestrum::win32 {

namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) { return Widen(CP_UTF8, text); }

std::wstring WideFromShiftJis(std::string_view bytes) { return Widen(932, bytes); }

}  // namespace kestrum::win32

// A second Windows program beside a running kestrum.exe, for the tests under
// Wine: it reads what other programs may read and reports it on stdout.
//
//   kestrum_probe status   the status block "KESTRUM SOFT": its text up to
//                          the zero byte in hex, then all 512 bytes in hex
//   kestrum_probe view     the view's client area on the screen: X Y W H
//   kestrum_probe frame    the main frame's style and extended style in hex
//   kestrum_probe frames   how many main frames exist
//   kestrum_probe endsession  tells the main frame that Windows is ending the
//                          session, as a log-off does
//   kestrum_probe dialog   the open dialog of the program: its caption, then
//                          one line per control: id, class, visible, text
//                          (UTF-8; for a trackbar its position and range),
//                          place in the dialog: X Y W H
//
// Exit code 1 when what was asked for is not there.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

void PrintHex(const unsigned char* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) std::printf("%02x", bytes[i]);
  std::printf("\n");
}

int Status() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "KESTRUM SOFT");
  if (mapping == nullptr) return 1;
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 512);
  if (view == nullptr) return 1;
  const auto* bytes = static_cast<const unsigned char*>(view);
  PrintHex(bytes, strnlen(reinterpret_cast<const char*>(bytes), 512));
  PrintHex(bytes, 512);
  UnmapViewOfFile(view);
  CloseHandle(mapping);
  return 0;
}

HWND Frame() { return FindWindowW(L"KestrumFrame", nullptr); }

int View() {
  HWND view = FindWindowExW(Frame(), nullptr, L"KestrumView", nullptr);
  if (view == nullptr) return 1;
  RECT client{};
  GetClientRect(view, &client);
  POINT origin{0, 0};
  ClientToScreen(view, &origin);
  std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
  return 0;
}

int FrameStyle() {
  HWND frame = Frame();
  if (frame == nullptr) return 1;
  HWND view = FindWindowExW(frame, nullptr, L"KestrumView", nullptr);
  std::printf("%08lx %08lx %08lx\n", static_cast<unsigned long>(GetWindowLongW(frame, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongW(frame, GWL_EXSTYLE)),
              static_cast<unsigned long>(view ? GetWindowLongW(view, GWL_EXSTYLE) : 0));
  return 0;
}

BOOL CALLBACK CountFrame(HWND window, LPARAM count) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wcscmp(name, L"KestrumFrame") == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int Frames() {
  int count = 0;
  EnumWindows(&CountFrame, reinterpret_cast<LPARAM>(&count));
  std::printf("%d\n", count);
  return 0;
}

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(std::strlen(bytes.c_str()));
  return bytes;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wcscmp(name, L"#32770") == 0 && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == Frame()) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  wchar_t text[256] = {};
  GetWindowTextW(control, text, 256);
  std::printf("%d\t%s\t%d\t%s", GetDlgCtrlID(control), Utf8(name).c_str(), IsWindowVisible(control) ? 1 : 0,
              Utf8(text).c_str());
  if (_wcsicmp(name, L"msctls_trackbar32") == 0) {
    std::printf("%ld %ld..%ld", static_cast<long>(SendMessageW(control, TBM_GETPOS, 0, 0)),
                static_cast<long>(SendMessageW(control, TBM_GETRANGEMIN, 0, 0)),
                static_cast<long>(SendMessageW(control, TBM_GETRANGEMAX, 0, 0)));
  } else if (_wcsicmp(name, L"Button") == 0 && (GetWindowLongW(control, GWL_STYLE) & 0xF) == BS_AUTOCHECKBOX) {
    std::printf("%s", SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? " [x]" : " [ ]");
  }
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  std::printf("\t%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return TRUE;
}

int Dialog() {
  HWND dialog = nullptr;
  EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return 1;
  wchar_t caption[256] = {};
  GetWindowTextW(dialog, caption, 256);
  RECT client{};
  GetClientRect(dialog, &client);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  std::printf("%s\t%ld %ld %ld %ld\n", Utf8(caption).c_str(), origin.x, origin.y, client.right, client.bottom);
  EnumChildWindows(dialog, &PrintControl, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  if (std::strcmp(argv[1], "status") == 0) return Status();
  if (std::strcmp(argv[1], "view") == 0) return View();
  if (std::strcmp(argv[1], "frame") == 0) return FrameStyle();
  if (std::strcmp(argv[1], "frames") == 0) return Frames();
  if (std::strcmp(argv[1], "dialog") == 0) return Dialog();
  if (std::strcmp(argv[1], "endsession") == 0) {
    HWND frame = Frame();
    if (frame == nullptr) return 1;
    SendMessageW(frame, WM_QUERYENDSESSION, 0, 0);
    SendMessageW(frame, WM_ENDSESSION, TRUE, 0);
    return 0;
  }
  return 2;
}

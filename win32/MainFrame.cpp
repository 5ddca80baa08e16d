#include "win32/MainFrame.h"

#include <string>

#include "ui/ViewLayout.h"
#include "win32/Dialogs.h"
#include "win32/KestrumView.h"
#include "win32/resource.h"

namespace kestrum::win32 {

namespace {

// The document string's first field is the main window's first title.
std::wstring InitialTitle(HINSTANCE instance) {
  wchar_t text[128] = {};
  LoadStringW(instance, IDR_MAINFRAME, text, static_cast<int>(std::size(text)));
  std::wstring title(text);
  const std::size_t end = title.find(L'\n');
  return end == std::wstring::npos ? title : title.substr(0, end);
}

}  // namespace

bool MainFrame::Register(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowObjectProcedure<MainFrame>;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINFRAME);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

// Sized for the view's 280 x 42 inside the edges, the menu and the caption;
// the view's first paint corrects what the metrics did not foresee.
MainFrame* MainFrame::Create(HINSTANCE instance) {
  const int width = 2 * (GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXDLGFRAME)) + ui::kViewWidth;
  const int height = 2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYDLGFRAME)) +
                     GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) + ui::kViewHeight;
  HWND window = CreateWindowExW(0, kClassName, InitialTitle(instance).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                width, height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  auto* frame = reinterpret_cast<MainFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (frame == nullptr || frame->view_ == nullptr) {
    DestroyWindow(window);
    return nullptr;
  }
  return frame;
}

MainFrame* MainFrame::Make(const CREATESTRUCTW& creation, HWND window) {
  return new MainFrame(creation.hInstance, window);
}

LRESULT MainFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      view_ = KestrumView::Create(instance_, window_);
      return view_ == nullptr ? -1 : 0;
    case WM_SIZE:
      if (view_ != nullptr && wParam != SIZE_MINIMIZED) {
        MoveWindow(view_->Window(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      }
      return 0;
    case WM_ACTIVATE:
      // Any change of activation first counts as a loss; the window is
      // active again only when it is activated while not minimised.
      if (view_ != nullptr) {
        view_->OnActivateView(false);
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) view_->OnActivateView(true);
      }
      break;
    case WM_INITMENUPOPUP:
      EnableCommands(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_ENDSESSION:
      // Windows ends the process after this message without destroying its
      // windows; destroying them here saves the settings and records as an
      // Exit would, instead of losing the games since the last save.
      if (wParam != FALSE) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      view_ = nullptr;  // the view window goes with the frame
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainFrame::EnableCommands(HMENU menu) {
  if (view_ == nullptr) return;
  const auto state = [](bool enabled) { return static_cast<UINT>(MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)); };
  EnableMenuItem(menu, ID_START, state(view_->OnUpdateStart()));
  EnableMenuItem(menu, ID_TENHOU_RECORD, state(view_->OnUpdateTenhouRecord()));
}

void MainFrame::OnCommand(int id) {
  if (view_ != nullptr && view_->OnCommand(id)) return;
  switch (id) {
    case ID_APP_ABOUT:
      RunAboutDialog(instance_, window_);
      break;
    case ID_APP_EXIT:
      PostMessageW(window_, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace kestrum::win32

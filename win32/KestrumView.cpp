#include "win32/KestrumView.h"

#include "store/TenhouLogTable.h"
#include "win32/Dialogs.h"
#include "win32/WindowSystem.h"
#include "win32/resource.h"

namespace kestrum::win32 {

bool KestrumView::Register(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // Redrawn whole when its size changes; the ground is the window colour.
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = &WindowObjectProcedure<KestrumView>;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

KestrumView* KestrumView::Create(HINSTANCE instance, HWND frame) {
  RECT client{};
  GetClientRect(frame, &client);
  HWND window = CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                client.bottom, frame, nullptr, instance, frame);
  if (window == nullptr) return nullptr;
  return reinterpret_cast<KestrumView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The run is built last: its construction reaches every port and the host.
KestrumView::KestrumView(HINSTANCE instance, HWND window, HWND frame)
    : instance_(instance),
      window_(window),
      frame_(frame),
      tenhouLog_(TheTenhouLogTable()),
      store_(profile_),
      host_(RealWindowSystem(), window, frame, LoadTenhouWave(instance)),
      run_(std::make_unique<SimulationRun>(RunPorts{host_, statusBlock_, tenhouLog_, store_})) {}

// The run goes first: its destruction closes the block and saves through the
// ports, which must still be there.
KestrumView::~KestrumView() {
  for (UINT_PTR id = TIMER_GAME; id <= TIMER_TITLE; ++id) KillTimer(window_, id);
  run_.reset();
  if (tileBitmap_ != nullptr) DeleteObject(tileBitmap_);
  if (digitBitmap_ != nullptr) DeleteObject(digitBitmap_);
}

KestrumView* KestrumView::Make(const CREATESTRUCTW& creation, HWND window) {
  return new KestrumView(creation.hInstance, window, static_cast<HWND>(creation.lpCreateParams));
}

LRESULT KestrumView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam >= TIMER_GAME && wParam <= TIMER_TITLE) {
        run_->OnTimer(static_cast<int>(wParam));
        return 0;
      }
      break;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture is composed with its ground and copied whole
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

bool KestrumView::OnUpdateTenhouRecord() const { return TheTenhouLogTable().entryCount != 0; }

bool KestrumView::OnCommand(int id) {
  switch (id) {
    case ID_START:
      OnStart();
      return true;
    case ID_SETTINGS:
      OnSettings();
      return true;
    case ID_RECORD:
      OnRecord();
      return true;
    case ID_TENHOU_RECORD:
      OnTenhouRecord();
      return true;
    case ID_HOMEPAGE:
      OpenHomePage();
      return true;
    default:
      return false;
  }
}

// A command that is not available now does nothing, also when its key
// arrives before the menu could be greyed.
void KestrumView::OnStart() {
  if (OnUpdateStart()) run_->StartRun();
}

void KestrumView::OnSettings() {
  if (const auto accepted = RunSettingsDialog(instance_, frame_, SettingsOf(run_->State()))) {
    run_->AcceptSettings(*accepted);
  }
}

void KestrumView::OnRecord() {
  if (RunRecordDialog(instance_, frame_, run_->State())) run_->ClearRecords();
}

void KestrumView::OnTenhouRecord() {
  if (OnUpdateTenhouRecord()) RunTenhouRecordDialog(instance_, frame_, TheTenhouLogTable());
}

// The frame is made for a view of 280 x 42 inside the system's edges; the
// first paint measures what the view really got and corrects the frame by
// the difference, so that the client area is the picture's size whatever
// the metrics of menu and edges.
void KestrumView::FitFrameToPicture() {
  RECT client{};
  GetClientRect(window_, &client);
  RECT frame{};
  GetWindowRect(frame_, &frame);
  const int width = frame.right - frame.left + ui::kViewWidth - client.right;
  const int height = frame.bottom - frame.top + ui::kViewHeight - client.bottom;
  SetWindowPos(frame_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void KestrumView::OnPaint() {
  if (firstPaint_) {
    firstPaint_ = false;
    FitFrameToPicture();
    tileBitmap_ = LoadBitmapW(instance_, MAKEINTRESOURCEW(IDB_TILES));
    digitBitmap_ = LoadBitmapW(instance_, MAKEINTRESOURCEW(IDB_DIGITS));
  }
  PAINTSTRUCT paint{};
  HDC target = BeginPaint(window_, &paint);
  DrawPicture(target);
  EndPaint(window_, &paint);
}

// Composed off screen on the window colour and shown with one copy, so that
// a hundred repaints a second never show a half-drawn picture.
void KestrumView::DrawPicture(HDC target) {
  const SimulationState& state = run_->State();
  const ui::ViewLayout layout({state.hand, state.sinceCnt, state.lastWasTenhou, state.tileWidth, state.tileHeight});
  HDC picture = CreateCompatibleDC(target);
  HBITMAP canvas = CreateCompatibleBitmap(target, ui::kViewWidth, ui::kViewHeight);
  HGDIOBJ canvasBefore = SelectObject(picture, canvas);
  const RECT whole{0, 0, ui::kViewWidth, ui::kViewHeight};
  FillRect(picture, &whole, GetSysColorBrush(COLOR_WINDOW));
  HDC sheet = CreateCompatibleDC(target);
  HGDIOBJ sheetBefore = SelectObject(sheet, tileBitmap_);
  int selected = ui::kTileSheet;
  for (const ui::LayoutBlock& block : layout.Blocks()) {
    if (block.sheet != selected) {
      SelectObject(sheet, block.sheet == ui::kTileSheet ? tileBitmap_ : digitBitmap_);
      selected = block.sheet;
    }
    BitBlt(picture, block.targetX, block.targetY, block.width, block.height, sheet, block.sourceX, block.sourceY,
           SRCCOPY);
  }
  SelectObject(sheet, sheetBefore);
  DeleteDC(sheet);
  BitBlt(target, 0, 0, ui::kViewWidth, ui::kViewHeight, picture, 0, 0, SRCCOPY);
  SelectObject(picture, canvasBefore);
  DeleteObject(canvas);
  DeleteDC(picture);
}

}  // namespace kestrum::win32

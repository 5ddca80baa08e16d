#include "win32/Dialogs.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "store/TenhouLogTable.h"
#include "ui/HandCells.h"
#include "ui/LogBrowser.h"
#include "ui/RecordFigures.h"
#include "ui/SettingsForm.h"
#include "win32/HomePageText.h"
#include "win32/WideText.h"
#include "win32/resource.h"

namespace kestrum::win32 {

namespace {

template <class State>
State* StateOf(HWND dialog) {
  return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

template <class State>
State* KeepState(HWND dialog, LPARAM lParam) {
  SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  return reinterpret_cast<State*>(lParam);
}

void SetText(HWND dialog, int id, const std::string& utf8) {
  SetDlgItemTextW(dialog, id, WideFromUtf8(utf8).c_str());
}

void ApplyRange(HWND slider, const ui::SliderRange& range) {
  SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(range.minimum, range.maximum));
  SendMessageW(slider, TBM_SETTICFREQ, static_cast<WPARAM>(range.tickFrequency), 0);
  SendMessageW(slider, TBM_SETPAGESIZE, 0, range.pageStep);
  SendMessageW(slider, TBM_SETLINESIZE, 0, range.lineStep);
}

int SliderPosition(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

bool Ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Tick(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// Pixels a control's text takes in the control's font, with room for a
// button's edges where it is one.
int TextWidth(HWND control, int padding) {
  wchar_t text[512] = {};
  const int length = GetWindowTextW(control, text, static_cast<int>(std::size(text)));
  HDC dc = GetDC(control);
  HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text, length, &size);
  SelectObject(dc, before);
  ReleaseDC(control, dc);
  return size.cx + padding;
}

RECT RectInDialog(HWND dialog, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The template's widths hold the texts in the font it was made for; in a
// wider one (or with a longer home-page address, or a count of 19 digits) a
// text would be cut. Such a control grows to its text: a left-aligned one
// rightwards up to rightLimit; a right-aligned one leftwards down to
// leftLimit first, then rightwards up to rightLimit.
void WidenToText(HWND dialog, int id, int padding, int leftLimit, int rightLimit, bool rightAligned) {
  HWND control = GetDlgItem(dialog, id);
  const RECT rect = RectInDialog(dialog, control);
  const int needed = TextWidth(control, padding);
  if (needed <= rect.right - rect.left) return;
  int left = rect.left;
  int right = rect.right;
  if (rightAligned) left = std::max(leftLimit, right - needed);
  right = std::max(right, std::min(rightLimit, left + needed));
  SetWindowPos(control, nullptr, left, rect.top, right - left, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int DialogUnitsX(HWND dialog, int units) {
  RECT rect{0, 0, units, 0};
  MapDialogRect(dialog, &rect);
  return rect.right;
}

// --- settings -------------------------------------------------------------

struct SettingsDialog {
  ui::SettingsForm form;
  Settings result{};
};

void FillSettings(HWND dialog, const ui::SettingsForm& form) {
  HWND speed = GetDlgItem(dialog, IDC_SPEED);
  ApplyRange(speed, ui::kSpeedSlider);
  SendMessageW(speed, TBM_SETPOS, TRUE, form.SpeedPosition());
  HWND interval = GetDlgItem(dialog, IDC_INTERVAL);
  ApplyRange(interval, ui::kIntervalSlider);
  SendMessageW(interval, TBM_SETPOS, TRUE, form.IntervalPosition());
  SetText(dialog, IDC_INTERVAL_VALUE, form.IntervalLabel());
  const ui::SettingsForm::Boxes boxes = form.InitialBoxes();
  Tick(dialog, IDC_CONTINUE, boxes.continueRun);
  Tick(dialog, IDC_LOGFILE, boxes.logFile);
  Tick(dialog, IDC_SOUND, boxes.sound);
  Tick(dialog, IDC_AUTOSTART, boxes.autoStart);
  Tick(dialog, IDC_ACCUMULATION, boxes.accumulation);
}

INT_PTR CALLBACK SettingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FillSettings(dialog, KeepState<SettingsDialog>(dialog, lParam)->form);
      return TRUE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_INTERVAL)) {
        SettingsDialog* state = StateOf<SettingsDialog>(dialog);
        state->form.IntervalMoved(SliderPosition(dialog, IDC_INTERVAL));
        SetText(dialog, IDC_INTERVAL_VALUE, state->form.IntervalLabel());
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        SettingsDialog* state = StateOf<SettingsDialog>(dialog);
        state->result = state->form.Accepted(
            SliderPosition(dialog, IDC_SPEED),
            {Ticked(dialog, IDC_CONTINUE), Ticked(dialog, IDC_LOGFILE), Ticked(dialog, IDC_SOUND),
             Ticked(dialog, IDC_AUTOSTART), Ticked(dialog, IDC_ACCUMULATION)});
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// --- records --------------------------------------------------------------

struct RecordDialog {
  ui::RecordTexts figures;
  ui::RecordForm form;
};

constexpr std::array<int, ui::kRecordRows> kFigureIds = {IDC_TOTAL, IDC_TENHO, IDC_PROBABILITY, IDC_SHORTEST,
                                                         IDC_LONGEST};

void ShowFigures(HWND dialog, const ui::RecordTexts& texts) {
  for (std::size_t row = 0; row < texts.size(); ++row) SetText(dialog, kFigureIds[row], texts[row]);
}

// A figure may take the gap after its caption (which ends at 42 units)
// and, if need be, part of the gap before its unit (at 128 units).
void FitFigures(HWND dialog) {
  for (int id : kFigureIds) {
    WidenToText(dialog, id, 0, DialogUnitsX(dialog, 42) + 1, DialogUnitsX(dialog, 128) - 2, true);
  }
}

INT_PTR CALLBACK RecordProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ShowFigures(dialog, KeepState<RecordDialog>(dialog, lParam)->figures);
      FitFigures(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CLEAR:
          ShowFigures(dialog, StateOf<RecordDialog>(dialog)->form.Clear());
          return TRUE;
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// --- heavenly-hand record -------------------------------------------------

struct TenhouRecordDialog {
  explicit TenhouRecordDialog(const TenhouLogTable& table) : browser(table) {}
  ui::LogBrowser browser;
};

constexpr std::array<int, ui::kLogFieldCount> kLogFieldIds = {
    IDC_LOG_NUMBER, IDC_LOG_START,    IDC_LOG_END,      IDC_LOG_RUN,     IDC_LOG_TOTAL,
    IDC_LOG_TENHO,  IDC_LOG_PROBABILITY, IDC_LOG_SHORTEST, IDC_LOG_LONGEST, IDC_LOG_HAND};

void ShowEntry(HWND dialog, const ui::LogBrowser& browser) {
  const ui::LogEntryTexts texts = browser.Texts();
  for (std::size_t field = 0; field < texts.size(); ++field) {
    const std::wstring text = WideFromShiftJis(texts[field].value) + WideFromShiftJis(texts[field].unit);
    SetDlgItemTextW(dialog, kLogFieldIds[field], text.c_str());
  }
}

// Where the hand stands: (23, 220) in the layout's own font, whose base
// units are 6 x 12 on the system it was made for; centred in the group box
// and as far down in proportion where the font's units are larger, so that
// the hand never covers the last text row.
POINT HandOrigin(HWND dialog) {
  RECT group{7, 7, 7 + 173, 12};
  MapDialogRect(dialog, &group);
  RECT unit{0, 0, 4, 8};
  MapDialogRect(dialog, &unit);
  const ui::HandOrigin origin = ui::TenhouHandOrigin(group.left, group.right, unit.bottom);
  return {origin.x, origin.y};
}

void DrawHand(HWND dialog, HDC target, const ui::LogBrowser& browser) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  HBITMAP tiles = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_TILES));
  if (tiles == nullptr) return;
  HDC sheet = CreateCompatibleDC(target);
  HGDIOBJ before = SelectObject(sheet, tiles);
  const POINT origin = HandOrigin(dialog);
  const std::array<ui::TileCell, kHandSize> cells = ui::HandCells(browser.HandText());
  for (int i = 0; i < kHandSize; ++i) {
    const ui::TileCell& cell = cells[static_cast<std::size_t>(i)];
    BitBlt(target, origin.x + ui::kHandTileWidth * i, origin.y, ui::kHandTileWidth, ui::kHandTileHeight, sheet,
           cell.column * ui::kHandTileWidth, cell.row * ui::kHandTileHeight, SRCCOPY);
  }
  SelectObject(sheet, before);
  DeleteDC(sheet);
  DeleteObject(tiles);
}

INT_PTR CALLBACK TenhouRecordProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const ui::LogBrowser& browser = KeepState<TenhouRecordDialog>(dialog, lParam)->browser;
      if (browser.HasEntry()) {
        HWND slider = GetDlgItem(dialog, IDC_LOG_SLIDER);
        ApplyRange(slider, {0, browser.SliderMaximum(), 1, 1, 1});
        SendMessageW(slider, TBM_SETPOS, TRUE, 0);
        ShowEntry(dialog, browser);
      }
      return TRUE;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_LOG_SLIDER)) {
        ui::LogBrowser& browser = StateOf<TenhouRecordDialog>(dialog)->browser;
        if (browser.SliderMoved(SliderPosition(dialog, IDC_LOG_SLIDER))) {
          ShowEntry(dialog, browser);
          HDC target = GetDC(dialog);
          DrawHand(dialog, target, browser);
          ReleaseDC(dialog, target);
        }
      }
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC target = BeginPaint(dialog, &paint);
      const ui::LogBrowser& browser = StateOf<TenhouRecordDialog>(dialog)->browser;
      if (browser.HasEntry()) DrawHand(dialog, target, browser);
      EndPaint(dialog, &paint);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// --- about ----------------------------------------------------------------

// The mail line and the address button grow to their texts, up to the
// dialog's right margin of 7 units.
void FitAddressLines(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  const int limit = client.right - DialogUnitsX(dialog, 7);
  WidenToText(dialog, IDC_HOMEPAGE_BUTTON, 4 * GetSystemMetrics(SM_CXEDGE) + DialogUnitsX(dialog, 4), 0, limit, false);
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[16] = {};
    GetWindowTextW(child, text, static_cast<int>(std::size(text)));
    if (std::wstring_view(text).starts_with(L"E-Mail")) {
      const RECT rect = RectInDialog(dialog, child);
      const int width = std::min(TextWidth(child, 0), limit - static_cast<int>(rect.left));
      if (width > rect.right - rect.left) {
        SetWindowPos(child, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
  }
}

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      FitAddressLines(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_HOMEPAGE_BUTTON:
          OpenHomePage();  // the box stays open
          return TRUE;
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<Settings> RunSettingsDialog(HINSTANCE instance, HWND owner, const Settings& initial) {
  SettingsDialog state{ui::SettingsForm(initial), initial};
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, &SettingsProcedure,
                                         reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return state.result;
}

bool RunRecordDialog(HINSTANCE instance, HWND owner, const SimulationState& state) {
  RecordDialog dialog{ui::RecordFiguresOf(state), {}};
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_RECORD), owner, &RecordProcedure,
                                         reinterpret_cast<LPARAM>(&dialog));
  return dialog.form.ClearsRecords(result == IDOK);
}

void RunTenhouRecordDialog(HINSTANCE instance, HWND owner, const TenhouLogTable& table) {
  TenhouRecordDialog dialog(table);
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TENHOU_RECORD), owner, &TenhouRecordProcedure,
                  reinterpret_cast<LPARAM>(&dialog));
}

void RunAboutDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, &AboutProcedure, 0);
}

void OpenHomePage() {
  ShellExecuteW(nullptr, nullptr, WideFromUtf8(KESTRUM_HOMEPAGE_ADDRESS).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace kestrum::win32

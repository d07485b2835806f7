#include "viewer/win32/log_view_window.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/ansi_text_win32.h"
#include "platform/win32/dpi_win32.h"
#include "resources/logview_resource.h"
#include "storage/JvLogFile.h"
#include "storage/file_util.h"
#include "viewer/csv.h"
#include "viewer/print_layout.h"
#include "viewer/win32/gdi_report.h"

namespace dormivo::viewer {
namespace {

constexpr uint32_t kDesignDpi = 96;
constexpr const char* kColumns[] = {"Date-Time", "Event", "Command / Description"};
constexpr char kCaptionSuffix[] = " - Dormivo log viewer";
constexpr char kMessageCaption[] = "Dormivo log viewer";
constexpr UINT_PTR kPollTimer = 1;

int Scale(int value, uint32_t dpi) {
  return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The system's message font, at `dpi` (the system gives it at the system DPI).
HFONT CreateMessageFont(uint32_t dpi) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTA font{};
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
    font.lfHeight =
        MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(platform::SystemDpi()));
  } else {
    font.lfHeight = -Scale(11, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "Tahoma", LF_FACESIZE);
  }
  return CreateFontIndirectA(&font);
}

void CopyText(std::string_view text, char* buffer, int size) {
  if (!buffer || size <= 0)
    return;
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace

LogViewWindow::LogViewWindow(HINSTANCE instance, platform::FileSystem& files,
                             platform::ClockLocale& clock, std::string logPath)
    : instance_(instance), files_(files), clock_(clock), model_(files, clock, std::move(logPath)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  accelerators_ = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDA_LOGVIEW));
}

LogViewWindow::~LogViewWindow() {
  if (window_)
    DestroyWindow(window_);
  if (font_)
    DeleteObject(font_);
}

uint32_t LogViewWindow::Dpi() const {
  return platform::WindowDpi(window_);
}

bool LogViewWindow::Create(int showCommand) {
  const HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_LOGVIEW));
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = icon;
  windowClass.hIconSm = icon;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);

  const std::string caption = model_.Path() + kCaptionSuffix;
  window_ = CreateWindowExA(0, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            CW_USEDEFAULT, CW_USEDEFAULT, kDesignWidth, kDesignHeight, nullptr,
                            nullptr, instance_, this);
  if (!window_)
    return false;
  CreateChildren();
  ApplyDpi(Dpi());
  // The first size, for the DPI of the monitor the window starts on, within its work area.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor))
    work = monitor.rcWork;
  const int width = std::min(Scale(kDesignWidth, dpi_), static_cast<int>(work.right - work.left));
  const int height = std::min(Scale(kDesignHeight, dpi_), static_cast<int>(work.bottom - work.top));
  RECT bounds{};
  GetWindowRect(window_, &bounds);
  const int left = std::clamp(static_cast<int>(bounds.left), static_cast<int>(work.left),
                              static_cast<int>(work.right) - width);
  const int top = std::clamp(static_cast<int>(bounds.top), static_cast<int>(work.top),
                             static_cast<int>(work.bottom) - height);
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  model_.Reload();
  ShowRows();
  SetTimer(window_, kPollTimer, kPollMs, nullptr);
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  return true;
}

int LogViewWindow::Run() {
  MSG msg;
  while (true) {
    const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
    if (result == 0)
      return static_cast<int>(msg.wParam);
    if (result == -1)
      return 1;
    if (accelerators_ && TranslateAcceleratorA(window_, accelerators_, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void LogViewWindow::CreateChildren() {
  toolbar_ = CreateWindowExA(
      0, TOOLBARCLASSNAMEA, nullptr,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0,
      window_, reinterpret_cast<HMENU>(IDC_TOOLBAR), instance_, nullptr);
  SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(toolbar_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);

  status_ =
      CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                      0, window_, reinterpret_cast<HMENU>(IDC_STATUS), instance_, nullptr);

  list_ =
      CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr,
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                          LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                      0, 0, 0, 0, window_, reinterpret_cast<HMENU>(IDC_LIST), instance_, nullptr);
  ListView_SetExtendedListViewStyle(list_,
                                    LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(kColumns[i]);
    column.cx = kColumnWidths[i];
    column.iSubItem = i;
    SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
  SetFocus(list_);
}

void LogViewWindow::ApplyDpi(uint32_t dpi) {
  dpi_ = dpi;
  HFONT font = CreateMessageFont(dpi);
  for (HWND child : {toolbar_, list_, status_})
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_)
    DeleteObject(font_);
  font_ = font;

  // The toolbar's buttons: the system's Save and Print images, large from 150 % on, and their
  // names beside them.
  while (SendMessageA(toolbar_, TB_BUTTONCOUNT, 0, 0) > 0)
    SendMessageA(toolbar_, TB_DELETEBUTTON, 0, 0);
  const bool large = dpi >= 144;
  const int image = large ? 24 : 16;
  SendMessageA(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(image, image));
  TBADDBITMAP standard{HINST_COMMCTRL,
                       static_cast<UINT_PTR>(large ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR)};
  const auto first = static_cast<int>(
      SendMessageA(toolbar_, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard)));
  TBBUTTON buttons[2] = {};
  const char* names[2] = {"Save", "Print"};
  const int images[2] = {STD_FILESAVE, STD_PRINT};
  const int commands[2] = {IDM_SAVE, IDM_PRINT};
  for (int i = 0; i < 2; ++i) {
    buttons[i].iBitmap = first + images[i];
    buttons[i].idCommand = commands[i];
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    buttons[i].iString = reinterpret_cast<INT_PTR>(names[i]);
  }
  SendMessageA(toolbar_, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
  SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);

  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
    SendMessageA(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), Scale(kColumnWidths[i], dpi));
  Layout();
  ShowStatus();
}

void LogViewWindow::Layout() {
  if (!window_ || !list_)
    return;
  SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
  SendMessageA(status_, WM_SIZE, 0, 0);
  RECT client{};
  GetClientRect(window_, &client);
  RECT bar{};
  GetWindowRect(toolbar_, &bar);
  RECT status{};
  GetWindowRect(status_, &status);
  const int top = bar.bottom - bar.top;
  const int bottom = client.bottom - (status.bottom - status.top);
  SetWindowPos(list_, nullptr, 0, top, client.right, std::max(0, bottom - top),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void LogViewWindow::ShowRows() {
  const int count = model_.RowCount();
  SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
  if (count > 0)
    SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
  InvalidateRect(list_, nullptr, FALSE);
  ShowStatus();
}

void LogViewWindow::ShowStatus() {
  const std::string entries = model_.EntryText();
  const std::string time = model_.FileTimeText();
  // The first part as wide as its text (the count, or what keeps the log from being read).
  int width = Scale(160, dpi_);
  if (HDC dc = GetDC(status_)) {
    HGDIOBJ previous = SelectObject(dc, font_);
    SIZE extent{};
    if (GetTextExtentPoint32A(dc, entries.c_str(), static_cast<int>(entries.size()), &extent))
      width = std::max(width, static_cast<int>(extent.cx) + Scale(16, dpi_));
    SelectObject(dc, previous);
    ReleaseDC(status_, dc);
  }
  const int parts[2] = {width, -1};
  SendMessageA(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(entries.c_str()));
  SendMessageA(status_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(time.c_str()));
}

void LogViewWindow::OnGetDispInfo(NMLVDISPINFOA* info) {
  LVITEMA& item = info->item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= model_.RowCount())
    return;
  const LogRow row = model_.Row(item.iItem);
  switch (item.iSubItem) {
    case 0:
      CopyText(row.time, item.pszText, item.cchTextMax);
      break;
    case 1:
      CopyText(row.event, item.pszText, item.cchTextMax);
      break;
    case 2:
      CopyText(row.description, item.pszText, item.cchTextMax);
      break;
    default:
      CopyText({}, item.pszText, item.cchTextMax);
      break;
  }
}

void LogViewWindow::Save() {
  char path[MAX_PATH] = "Log.csv";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrDefExt = "csv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog))
    return;
  // The rows shown are the ones saved.
  const WriteResult result = WriteCsvFile(files_, path, model_.Records());
  if (!result.ok)
    ShowError(result.message);
}

void LogViewWindow::Print() {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  // The window says itself when there is no printer (PD_NOWARNING keeps the dialog from saying
  // it too).
  dialog.Flags =
      PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOWARNING;
  if (!PrintDlgA(&dialog)) {
    const DWORD error = CommDlgExtendedError();
    if (error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES)
      ShowError("There is no printer to print the log on.");
    else if (error != 0)
      ShowError("The print dialog failed (error " + std::to_string(error) + ").");
    return;
  }
  HDC printer = dialog.hDC;
  if (printer) {
    platform::Win32AnsiText ansi;
    const GdiReport report(printer);
    platform::SystemTime now;
    clock_.GetLocalTime(&now);
    const TJvLogRecordList& records = model_.Records();
    const PrintLayout layout(records, PrintHeading{model_.Path(), LogTimeText(now, clock_)},
                             report.Setup(records, PrintableArea(printer)), report.Measurer(),
                             ansi);
    DWORD error = 0;
    if (!PrintDocument(printer, model_.Path(), layout, report, &error) &&
        error != ERROR_CANCELLED) {
      ShowError("Cannot print \"" + model_.Path() + "\". " + SysErrorMessage(files_, error));
    }
    DeleteDC(printer);
  }
  if (dialog.hDevMode)
    GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames)
    GlobalFree(dialog.hDevNames);
}

void LogViewWindow::ShowError(const std::string& text) {
  MessageBoxA(window_, text.c_str(), kMessageCaption, MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK LogViewWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    reinterpret_cast<LogViewWindow*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<LogViewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self)
    return DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's window code; an unexpected failure is shown.
    self->ShowError("The log viewer met an unexpected error.");
    return 0;
  }
}

LRESULT LogViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      if (list_)
        SetFocus(list_);
      return 0;
    case WM_TIMER:
      if (wParam == kPollTimer && model_.CheckForChange())
        ShowRows();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDM_SAVE:
          Save();
          return 0;
        case IDM_PRINT:
          Print();
          return 0;
        case IDM_RELOAD:
          model_.Reload();
          ShowRows();
          return 0;
        default:
          break;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == list_ && header->code == LVN_GETDISPINFOA) {
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
        return 0;
      }
      break;
    }
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI, or the setting changed: laid out anew at the
      // system's suggested place and size.
      ApplyDpi(HIWORD(wParam));
      if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_DESTROY:
      KillTimer(window_, kPollTimer);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND window = window_;
      window_ = nullptr;
      return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace dormivo::viewer

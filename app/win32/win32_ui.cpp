#include "app/win32/win32_ui.h"

#include <commctrl.h>

#include "app/form_design.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/system_library.h"

namespace dormivo::win32app {
namespace {

HWND Hwnd(platform::WindowHandle handle) {
  return reinterpret_cast<HWND>(handle);
}

platform::WindowHandle Handle(HWND window) {
  return reinterpret_cast<platform::WindowHandle>(window);
}

// The control ids that are buttons, with the event each delivers.
bool ButtonEvent(int id, platform::FormEvent* event) {
  switch (id) {
    case IDC_BTNACTIVATE:
      *event = platform::FormEvent::ActivateClick;
      return true;
    case IDC_BTNDELAY:
      *event = platform::FormEvent::DelayClick;
      return true;
    case IDC_BTNCANCEL:
      *event = platform::FormEvent::CancelClick;
      return true;
    default:
      return false;
  }
}

// The event a WM_TIMER of the form delivers.
platform::FormEvent TimerEventOf(UINT_PTR id) {
  switch (id) {
    case design::kTimerEventId:
      return platform::FormEvent::TimerEvent;
    case design::kTimerButtonsId:
      return platform::FormEvent::TimerButtons;
    default:
      return platform::FormEvent::TimerTer;
  }
}

// The form's controls in their creation order, which is their tab order.
struct FormControl {
  const design::Control& design;
  const char* className;
  DWORD style;
};
const FormControl kFormControls[] = {
    {design::kLbAppName, "Static", WS_DISABLED | SS_LEFT},
    {design::kLbNotifier, "Static", SS_LEFT},
    {design::kProgressM, PROGRESS_CLASSA, 0},
    {design::kBtnActivate, "Button", WS_TABSTOP | BS_PUSHBUTTON},
    {design::kBtnDelay, "Button", WS_TABSTOP | BS_PUSHBUTTON},
    {design::kBtnCancel, "Button", WS_TABSTOP | BS_PUSHBUTTON},
};

HFONT CreateDesignFont(int32_t height, int weight) {
  return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, design::kFontName);
}

Win32Ui* Owner(HWND window) {
  return reinterpret_cast<Win32Ui*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Attach(HWND window, LPARAM lParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

}  // namespace

Win32Ui::Win32Ui(HINSTANCE instance) : instance_(instance) {
  QueryPerformanceFrequency(&frequency_);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The per-monitor DPI calls exist from Windows 10 on; user32 is loaded already.
  if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
    getDpiForWindow_ = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
  }
  frameBrush_ = CreateSolidBrush(design::kFrameColour);
  const HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_NOTIFIER));

  const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  const std::pair<const char*, WNDPROC> classes[] = {{design::kApplicationClass, ApplicationProc},
                                                     {design::kFormClass, FormProc}};
  for (const auto& [name, procedure] : classes) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = arrow;
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
  }
}

Win32Ui::~Win32Ui() {
  if (font_)
    DeleteObject(font_);
  if (notifierFont_)
    DeleteObject(notifierFont_);
  if (frameBrush_)
    DeleteObject(frameBrush_);
}

uint64_t Win32Ui::NowMs() const {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  const auto ticks = static_cast<uint64_t>(counter.QuadPart);
  const auto perSecond = static_cast<uint64_t>(frequency_.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

// --- platform::Ui

bool Win32Ui::ShowWindow(platform::WindowHandle window, int32_t showCommand) {
  HWND hwnd = Hwnd(window);
  if (hwnd == form_ && showCommand != SW_HIDE && !::IsWindowVisible(hwnd)) {
    POINT cursor{};
    GetCursorPos(&cursor);
    HMONITOR monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
    CentreOn(monitor, MonitorDpi(monitor));
  }
  const bool result = ::ShowWindow(hwnd, showCommand) != FALSE;
  if (hwnd == form_ && showCommand == SW_HIDE)
    focus_ = nullptr;  // each warning starts with no control focused
  return result;
}

bool Win32Ui::IsWindowVisible(platform::WindowHandle window) {
  return ::IsWindowVisible(Hwnd(window)) != FALSE;
}

bool Win32Ui::GetWindowRect(platform::WindowHandle window, platform::Rect* rect) {
  RECT r;
  if (!::GetWindowRect(Hwnd(window), &r))
    return false;
  *rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

bool Win32Ui::SetWindowTextA(platform::WindowHandle window, const std::string& text) {
  return ::SetWindowTextA(Hwnd(window), text.c_str()) != FALSE;
}

intptr_t Win32Ui::SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
  return ::SendMessageA(Hwnd(window), message, wParam, lParam);
}

bool Win32Ui::EnableWindow(platform::WindowHandle window, bool enable) {
  return ::EnableWindow(Hwnd(window), enable ? TRUE : FALSE) != FALSE;
}

bool Win32Ui::ClipCursor(const platform::Rect* rect) {
  if (!rect)
    return ::ClipCursor(nullptr) != FALSE;
  const RECT r{rect->left, rect->top, rect->right, rect->bottom};
  return ::ClipCursor(&r) != FALSE;
}

uintptr_t Win32Ui::SetTimer(platform::WindowHandle window, uintptr_t id, uint32_t elapse) {
  const uint32_t delay = schedules_[id].Start(NowMs(), elapse);
  return ::SetTimer(Hwnd(window), id, delay, nullptr);
}

bool Win32Ui::KillTimer(platform::WindowHandle window, uintptr_t id) {
  schedules_.erase(id);
  return ::KillTimer(Hwnd(window), id) != FALSE;
}

bool Win32Ui::PlaySoundA(const char* sound, platform::Handle module, uint32_t flags) {
  // The sound library is loaded (from the system folder) with the first sound, not at start:
  // most runs play none. A request to stop before any sound was played has nothing to stop.
  if (!playSound_) {
    if (!sound)
      return true;
    playSound_ = platform::SystemProc<PlaySoundFunction>("winmm.dll", "PlaySoundA");
    if (!playSound_)
      return false;
  }
  return playSound_(sound, reinterpret_cast<HMODULE>(module), flags) != FALSE;
}

int32_t Win32Ui::MessageBoxA(platform::WindowHandle owner, const std::string& text,
                             const std::string& caption, uint32_t type) {
  return ::MessageBoxA(Hwnd(owner), text.c_str(), caption.c_str(), type);
}

void Win32Ui::PostQuitMessage(int32_t exitCode) {
  ::PostQuitMessage(exitCode);
}

void Win32Ui::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the message loop, which ends on it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

// --- platform::WindowFactory

platform::WindowHandle Win32Ui::CreateApplicationWindow(const std::string& title,
                                                        platform::EventSink& sink) {
  sink_ = &sink;
  // A window of no size in the middle of the screen: when visible it is only the taskbar button.
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  application_ =
      CreateWindowExA(0, design::kApplicationClass, title.c_str(),
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                      0, 0, nullptr, nullptr, instance_, this);
  return Handle(application_);
}

platform::FormWindows Win32Ui::CreateFormWindows(platform::WindowHandle application) {
  // Created hidden at the design's size; laid out for its monitor's DPI and centred below.
  form_ =
      CreateWindowExA(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, design::kFormClass, design::kFormCaption,
                      WS_POPUP | WS_CLIPCHILDREN, 0, 0, design::kClientWidth, design::kClientHeight,
                      Hwnd(application), nullptr, instance_, this);
  // Children in their tab order: the labels and the bar take no focus, the buttons follow. Each
  // is a standard control whose window text is its caption, which is also the name a screen
  // reader gives it (a button's without the "&" of its mnemonic).
  for (const FormControl& control : kFormControls) {
    const design::Control& c = control.design;
    CreateWindowExA(0, control.className, c.caption, WS_CHILD | WS_VISIBLE | control.style,
                    design::kFrameWidth + c.left, design::kFrameWidth + c.top, c.width, c.height,
                    form_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
  }
  lbNotifier_ = GetDlgItem(form_, IDC_LBNOTIFIER);
  HWND progress = GetDlgItem(form_, IDC_PROGRESSM);
  ::SendMessageA(progress, PBM_SETRANGE32, 0, design::kProgressDesignMax);
  ::SendMessageA(progress, PBM_SETSTEP, 1, 0);
  ApplyLayout(WindowDpi(form_));
  CentreOn(MonitorFromWindow(form_, MONITOR_DEFAULTTOPRIMARY), layout_.dpi);

  platform::FormWindows windows;
  windows.form = Handle(form_);
  windows.lbAppName = Handle(GetDlgItem(form_, IDC_LBAPPNAME));
  windows.lbNotifier = Handle(lbNotifier_);
  windows.progressM = Handle(progress);
  windows.btnActivate = Handle(GetDlgItem(form_, IDC_BTNACTIVATE));
  windows.btnDelay = Handle(GetDlgItem(form_, IDC_BTNDELAY));
  windows.btnCancel = Handle(GetDlgItem(form_, IDC_BTNCANCEL));
  return windows;
}

void Win32Ui::ApplyLayout(uint32_t dpi) {
  layout_ = LayoutForDpi(dpi);
  HFONT font = CreateDesignFont(layout_.fontHeight, FW_NORMAL);
  HFONT notifierFont = CreateDesignFont(layout_.notifierFontHeight, FW_BOLD);
  const BOOL redraw = ::IsWindowVisible(form_);
  for (const FormControl& control : kFormControls) {
    HWND child = GetDlgItem(form_, control.design.id);
    ::SendMessageA(child, WM_SETFONT,
                   reinterpret_cast<WPARAM>(child == lbNotifier_ ? notifierFont : font), redraw);
    platform::Rect r = layout_.Bounds(control.design);
    if (control.design.id == IDC_LBAPPNAME) {
      // lbAppName sizes itself to its caption, as an auto-sizing label does.
      if (HDC dc = GetDC(form_)) {
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE extent;
        if (GetTextExtentPoint32A(dc, control.design.caption, lstrlenA(control.design.caption),
                                  &extent)) {
          r.right = r.left + extent.cx;
          r.bottom = r.top + extent.cy;
        }
        SelectObject(dc, previous);
        ReleaseDC(form_, dc);
      }
    }
    SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The controls hold the new fonts now; the old ones can go.
  if (font_)
    DeleteObject(font_);
  if (notifierFont_)
    DeleteObject(notifierFont_);
  font_ = font;
  notifierFont_ = notifierFont;
  SetWindowPos(form_, nullptr, 0, 0, layout_.clientWidth, layout_.clientHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (redraw)
    InvalidateRect(form_, nullptr, TRUE);
}

void Win32Ui::CentreOn(HMONITOR monitor, uint32_t dpi) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info))
    info.rcWork = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const platform::Rect work{info.rcWork.left, info.rcWork.top, info.rcWork.right,
                            info.rcWork.bottom};
  if (dpi != layout_.dpi)
    ApplyLayout(dpi);
  for (int pass = 0; pass < 2; ++pass) {
    const platform::Rect r = CentredIn(work, layout_.clientWidth, layout_.clientHeight);
    placing_ = true;
    SetWindowPos(form_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE);
    placing_ = false;
    // Where the system reports the window's own DPI, it has the last word: a monitor that
    // reported another DPI than the window now gets (a process the system keeps at one DPI)
    // lays the form out once more.
    const uint32_t actual = getDpiForWindow_ ? getDpiForWindow_(form_) : 0;
    if (actual == 0 || actual == layout_.dpi)
      break;
    ApplyLayout(actual);
  }
}

void Win32Ui::OnDpiChanged(uint32_t dpi, const RECT* suggested) {
  RECT before{};
  ::GetWindowRect(form_, &before);
  if (dpi != layout_.dpi)
    ApplyLayout(dpi);
  if (placing_ || !suggested)
    return;  // CentreOn puts the form where it belongs
  // The suggested top-left corner, with the size the layout gives (the suggested size, up to
  // rounding).
  SetWindowPos(form_, nullptr, suggested->left, suggested->top, layout_.clientWidth,
               layout_.clientHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT clip{};
  if (::IsWindowVisible(form_) && GetClipCursor(&clip) && EqualRect(&clip, &before)) {
    RECT after{};
    ::GetWindowRect(form_, &after);
    ::ClipCursor(&after);
  }
}

uint32_t Win32Ui::SystemDpi() {
  return platform::SystemDpi();
}

uint32_t Win32Ui::WindowDpi(HWND window) const {
  return platform::WindowDpi(window);
}

uint32_t Win32Ui::MonitorDpi(HMONITOR monitor) {
  // shcore (Windows 8.1 on) is loaded from the system folder when the form first shows.
  if (!shcoreLooked_) {
    getDpiForMonitor_ =
        platform::SystemProc<GetDpiForMonitorFunction>("shcore.dll", "GetDpiForMonitor");
    shcoreLooked_ = true;
  }
  UINT x = 0;
  UINT y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (getDpiForMonitor_ && SUCCEEDED(getDpiForMonitor_(monitor, kEffectiveDpi, &x, &y)) && y > 0)
    return y;
  return SystemDpi();
}

void Win32Ui::DestroyWindow(platform::WindowHandle window) {
  HWND hwnd = Hwnd(window);
  if (hwnd == form_)
    form_ = nullptr;
  if (hwnd == application_)
    application_ = nullptr;
  ::DestroyWindow(hwnd);
}

bool Win32Ui::KeyHeldBack(const MSG& msg) const {
  return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && form_ &&
         (msg.hwnd == form_ || IsChild(form_, msg.hwnd)) && NowMs() < keysFrom_;
}

void Win32Ui::Dispatch(MSG& msg) {
  if (KeyHeldBack(msg))
    return;
  if (form_ && ::IsWindowVisible(form_) && IsDialogMessageA(form_, &msg))
    return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

int32_t Win32Ui::RunMessageLoop() {
  MSG msg;
  while (true) {
    const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
    if (result == 0)
      return static_cast<int32_t>(msg.wParam);
    if (result == -1)
      return -1;
    Dispatch(msg);
  }
}

// --- Window procedures

void Win32Ui::Deliver(platform::FormEvent event) {
  if (!sink_)
    return;
  try {
    sink_->Dispatch(event);
  } catch (...) {
    // The executor reports its own errors; nothing may unwind through the system's code.
  }
}

void Win32Ui::OnTimer(HWND window, UINT_PTR id) {
  auto schedule = schedules_.find(id);
  if (schedule == schedules_.end())
    return;  // a message that was already queued when the timer was stopped
  // Plan the next tick from this tick's due time, so that late handling does not add up.
  const uint32_t delay = schedule->second.Fired(NowMs());
  ::SetTimer(window, id, delay < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : delay, nullptr);
  Deliver(TimerEventOf(id));
}

void Win32Ui::PaintFrame(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, frameBrush_);
  RECT panel = client;
  InflateRect(&panel, -layout_.frameWidth, -layout_.frameWidth);
  FillRect(dc, &panel, GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK Win32Ui::ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    Attach(window, lParam);
  Win32Ui* self = Owner(window);
  return self ? self->HandleApplication(window, message, wParam, lParam)
              : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Ui::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    Attach(window, lParam);
  Win32Ui* self = Owner(window);
  return self ? self->HandleForm(window, message, wParam, lParam)
              : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Win32Ui::HandleApplication(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      // Minimise and restore would hide or move the warning; they are taken here and do
      // nothing. Every other system command (monitor power, screen saver, ...) is the system's.
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
        case SC_RESTORE:
          return 0;
        default:
          return DefWindowProcA(window, message, wParam, lParam);
      }
    case WM_CLOSE:
      return 0;  // the countdown ends only through its buttons, the watchdog or the session
    case WM_SETFOCUS:
      // The taskbar button was chosen: the form takes the activation (and the focus).
      if (form_ && ::IsWindowVisible(form_))
        SetFocus(focus_ ? focus_ : form_);
      return 0;
    case WM_ENDSESSION:
      if (wParam)
        Deliver(platform::FormEvent::EndSession);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT Win32Ui::HandleForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      OnTimer(window, wParam);
      return 0;
    case WM_COMMAND: {
      platform::FormEvent event;
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0 && ButtonEvent(LOWORD(wParam), &event))
        Deliver(event);
      return 0;
    }
    case WM_ERASEBKGND:
      PaintFrame(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      if (reinterpret_cast<HWND>(lParam) == lbNotifier_)
        SetTextColor(dc, RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focused = GetFocus();
        if (focused && IsChild(window, focused))
          focus_ = focused;
      } else {
        // Turned to by a click, the form takes keys at once. Activated any other way (the
        // system passing the activation on when the window in use closes, Alt+Tab, the taskbar
        // button) it holds keys back for a moment: they were most likely typed for the program
        // that was in use.
        keysFrom_ = LOWORD(wParam) == WA_CLICKACTIVE ? 0 : NowMs() + kKeyGuardMs;
        // Never a button first: the form itself takes the focus, so that Enter and Space press
        // nothing; Tab leads to the buttons and their mnemonics press them.
        SetFocus(focus_ ? focus_ : window);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      // The click that brings the warning forward also goes to the control under it: one click
      // presses a button. A click meant for the program that was in use, landing where the
      // warning has just appeared, finds the buttons still disabled (their first second).
      return MA_ACTIVATE;
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace dormivo::win32app

// Notifier.exe end to end under Wine, driven as the scheduler and a person would: this program
// stands in for the scheduler (it writes Settings.dat into a throwaway application folder, starts
// a copy of the executable there with a command line and waits for its exit code), reads the
// real window back, presses its buttons and checks Log.dat. Only actions that are harmless under
// Wine are used: 5 (monitor off), 6 (lock), 7 (screen saver) and 9 (none).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/form_design.h"
#include "app/form_layout.h"
#include "resources/resource.h"
#include "tests/wine/wine_support.h"

namespace dormivo {
namespace {

using winetest::FindTopLevel;
using winetest::Press;
using winetest::ScratchFolder;
using winetest::SystemText;
using winetest::WaitFor;
using winetest::WindowText;

// Collects the text of a static control with text (the message of a message box).
BOOL CALLBACK FindStaticText(HWND child, LPARAM param) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  const std::string text = WindowText(child);
  if (std::string(name) == "Static" && !text.empty())
    *reinterpret_cast<std::string*>(param) = text;
  return TRUE;
}

// The host's path for a Windows path (Wine's wine_get_unix_file_name).
std::string UnixPath(const std::string& windowsPath) {
  using UnixFileName = char*(CDECL*)(const WCHAR*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName)
    return {};
  std::wstring wide(windowsPath.size() + 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(),
                      static_cast<int>(wide.size()));
  char* name = unixFileName(wide.c_str());
  if (!name)
    return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// The calls Wine's relay trace records for a program started with WINEDEBUG=+relay: the power
// and session calls of the actions, and the recycle-bin step.
constexpr char kRelayInclude[] =
    "user32.LockWorkStation;user32.ExitWindowsEx;kernel32.SetSystemPowerState;"
    "shell32.SHEmptyRecycleBinA";

// A copy of Notifier.exe in its own application folder, started as the scheduler starts it.
class Notifier {
 public:
  explicit Notifier(const std::string& settings) {
    if (!settings.empty())
      folder_.WriteFile("Settings.dat", settings);
    exe_ = folder_.Path() + "Notifier.exe";
    copied_ = CopyFileA((winetest::ProgramFolder() + "Notifier.exe").c_str(), exe_.c_str(), FALSE);
  }
  ~Notifier() {
    for (const std::string& run : runs_) {
      if (!Running(run))
        continue;
      // Cancel it, or let the watchdog of the short countdowns used here end it.
      HWND form = Form();
      DWORD_PTR result = 0;
      if (form && WaitForButtons(5000)) {
        SendMessageTimeoutA(GetDlgItem(form, IDC_BTNCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 2000,
                            &result);
      }
      Wait(15000, run);
    }
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 10000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    ClipCursor(nullptr);
  }
  Notifier(const Notifier&) = delete;
  Notifier& operator=(const Notifier&) = delete;

  const ScratchFolder& Folder() const { return folder_; }

  // Starts the copy with the arguments; true once its form exists (hidden).
  bool Start(const std::string& arguments) {
    if (!copied_)
      return false;
    std::string command = "\"" + exe_ + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.Path().c_str(), &startup, &process_)) {
      return false;
    }
    started_ = GetTickCount();
    // Wine may report the process idle before its windows exist; the form's window is created
    // right before the countdown starts.
    WaitForInputIdle(process_.hProcess, 20000);
    for (int i = 0; i < 2000 && !Form(); ++i) {
      if (!Running())
        return false;
      Sleep(10);
    }
    return Form() != nullptr;
  }
  DWORD Started() const { return started_; }

  // Starts the copy through the host's shell with Wine's relay trace of the power and session
  // calls (kRelayInclude), so that a test sees whether the action was performed. The process is
  // then no child of this one: it is found by its window class, and its exit code is the one the
  // shell writes into the folder. Several traced runs of the one copy at a time (each with its
  // own `run` name for its trace and exit code) write the one Log.dat beside it.
  bool StartTraced(const std::string& arguments, const std::string& run = "") {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Debug", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    RegSetValueExA(key, "RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(kRelayInclude),
                   sizeof kRelayInclude);
    RegCloseKey(key);
    const std::string folder = UnixPath(folder_.Path());
    if (!copied_ || folder.empty())
      return false;
    std::string escaped;  // double quotes inside the shell's quoted script
    for (char c : arguments) {
      if (c == '"')
        escaped += '\\';
      escaped += c;
    }
    DeleteFileA((folder_.Path() + "code" + run + ".txt").c_str());
    std::string command = "Z:\\bin\\sh -c \"cd '" + folder +
                          "' && WINEDEBUG=+relay wine ./Notifier.exe " + escaped + " 2>relay" +
                          run + ".txt; echo $? >code" + run + ".tmp; mv code" + run + ".tmp code" +
                          run + ".txt\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION shell{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &shell)) {
      return false;
    }
    CloseHandle(shell.hProcess);
    CloseHandle(shell.hThread);
    traced_ = true;
    if (std::find(runs_.begin(), runs_.end(), run) == runs_.end())
      runs_.push_back(run);
    started_ = GetTickCount();
    return true;
  }
  // How often the traced run called a function of kRelayInclude, e.g. "user32.LockWorkStation".
  int TracedCalls(const std::string& function, const std::string& run = "") const {
    const std::string trace = folder_.ReadFile("relay" + run + ".txt");
    const std::string call = "Call " + function + "(";
    int count = 0;
    for (size_t at = trace.find(call); at != std::string::npos; at = trace.find(call, at + 1))
      ++count;
    return count;
  }

  // The exit code, or STILL_ACTIVE when the process has not ended within `ms`.
  DWORD Wait(DWORD ms, const std::string& run = "") {
    if (traced_) {
      const DWORD from = GetTickCount();
      while (Running(run)) {
        if (GetTickCount() - from >= ms)
          return STILL_ACTIVE;
        Sleep(20);
      }
      return static_cast<DWORD>(std::stoul("0" + folder_.ReadFile("code" + run + ".txt")));
    }
    if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0)
      return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  bool Running(const std::string& run = "") {
    if (traced_) {
      return GetFileAttributesA((folder_.Path() + "code" + run + ".txt").c_str()) ==
             INVALID_FILE_ATTRIBUTES;
    }
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }

  // The process's top-level window of the class, or nullptr.
  HWND TopLevel(const char* className, const char* title = nullptr) const {
    return FindTopLevel(traced_ ? 0 : process_.dwProcessId, className, title);
  }
  HWND Form() const { return TopLevel(design::kFormClass); }
  HWND Application() const { return TopLevel(design::kApplicationClass); }

  // Waits until the form's visibility is `visible`; the milliseconds it took, or -1.
  long WaitForForm(bool visible, DWORD timeoutMs) {
    const DWORD from = GetTickCount();
    while (GetTickCount() - from < timeoutMs) {
      HWND form = Form();
      if (form && (IsWindowVisible(form) != FALSE) == visible)
        return static_cast<long>(GetTickCount() - from);
      if (!Running())
        return -1;
      Sleep(10);
    }
    return -1;
  }

  std::string Label() const { return WindowText(GetDlgItem(Form(), IDC_LBNOTIFIER)); }
  LRESULT BarPosition() const {
    return SendMessageA(GetDlgItem(Form(), IDC_PROGRESSM), PBM_GETPOS, 0, 0);
  }
  // Whether the three buttons of the form are enabled (they are not in the first second after
  // the warning appears).
  bool ButtonsEnabled() const {
    HWND form = Form();
    if (!form)
      return false;
    for (int id : {IDC_BTNACTIVATE, IDC_BTNDELAY, IDC_BTNCANCEL}) {
      if (!IsWindowEnabled(GetDlgItem(form, id)))
        return false;
    }
    return true;
  }
  // Waits until the buttons are enabled; false when they were not within `ms`.
  bool WaitForButtons(DWORD ms) const {
    const DWORD from = GetTickCount();
    while (!ButtonsEnabled()) {
      if (GetTickCount() - from >= ms)
        return false;
      Sleep(10);
    }
    return true;
  }
  // Presses the button once it can be pressed, as a person who waits for it does.
  void Click(int buttonId) const {
    EXPECT_TRUE(WaitForButtons(5000)) << "the buttons are enabled a second after the warning";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(Form(), buttonId), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
  }
  std::string Log() const { return folder_.ReadFile("Log.dat"); }

 private:
  ScratchFolder folder_;
  std::string exe_;
  bool copied_ = false;
  PROCESS_INFORMATION process_{};
  bool traced_ = false;
  std::vector<std::string> runs_;  // names of the traced runs started
  DWORD started_ = 0;
};

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A log line the executor wrote: "[<local date and time>]<title>><action name>" and CR LF.
bool IsLogLine(const std::string& line, const std::string& title, const std::string& action) {
  return std::regex_match(line, std::regex("\\[[^\\]\\r\\n]+\\]" + title + ">" + action + "\r\n"));
}

// An X11 program of the host (xdotool), started through the host's shell. Wine gives no process
// handle for a host program, so the shell leaves a mark in a scratch folder when it has ended.
class HostProgram {
 public:
  explicit HostProgram(const std::string& command) {
    const std::string mark = UnixPath(folder_.Path() + "ended");
    if (mark.empty())
      return;
    std::string line = "Z:\\bin\\sh -c \"" + command + "; touch '" + mark + "'\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process) != FALSE;
    if (process.hProcess)
      CloseHandle(process.hProcess);
    if (process.hThread)
      CloseHandle(process.hThread);
  }
  bool Started() const { return started_; }
  bool Ended() const {
    return GetFileAttributesA((folder_.Path() + "ended").c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // Whether it ended within `ms`.
  bool Wait(DWORD ms) const {
    return started_ && WaitFor([this] { return Ended(); }, ms);
  }

 private:
  ScratchFolder folder_;
  bool started_ = false;
};

// Runs a host program and waits until it has ended.
bool RunHost(const std::string& command) {
  return HostProgram(command).Wait(20000);
}

constexpr char kXdotool[] = "Z:\\usr\\bin\\xdotool";    // for Windows calls
constexpr char kXdotoolCommand[] = "/usr/bin/xdotool";  // for the host's shell

// Keys typed through the X server, as a person types them ("Return", "alt+a", "shift+Tab").
bool Type(const std::string& keys) {
  return RunHost(std::string(kXdotoolCommand) + " key --delay 40 " + keys);
}

// A real click of the first mouse button at a point of the screen, held down for a tenth of a
// second as a person's click is.
bool ClickAt(int x, int y) {
  return RunHost(std::string(kXdotoolCommand) + " mousemove " + std::to_string(x) + " " +
                 std::to_string(y) + " mousedown 1 sleep 0.1 mouseup 1");
}

// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                            : nullptr;
}

// The program a person is typing in (tools/typing_target.exe): it holds the foreground and the
// keyboard focus, and keeps what it was sent in its edit control.
class TypingTarget {
 public:
  TypingTarget() {
    std::string command = "\"" + winetest::ProgramFolder() + "typing_target.exe\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      return;
    }
    WaitFor(
        [this] {
          window_ = FindTopLevel(process_.dwProcessId, "DormivoTypingTarget");
          return window_ && GetForegroundWindow() == window_ && FocusOf(window_) == Edit();
        },
        10000);
  }
  ~TypingTarget() {
    if (window_)
      PostMessageA(window_, WM_CLOSE, 0, 0);
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 99);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }
  TypingTarget(const TypingTarget&) = delete;
  TypingTarget& operator=(const TypingTarget&) = delete;

  HWND Window() const { return window_; }
  HWND Edit() const { return window_ ? GetDlgItem(window_, 1) : nullptr; }
  // Whether it has the foreground and its edit control the focus.
  bool Ready() const {
    return window_ && GetForegroundWindow() == window_ && FocusOf(window_) == Edit();
  }
  // What was typed into it.
  std::string Text() const {
    char text[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Edit(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, 5000, &result);
    return text;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// The name and keyboard shortcut that a screen reader is given for a window, through the
// system's accessibility interface (oleacc).
struct AccessibleText {
  bool found = false;
  std::string name;
  std::string shortcut;
};

std::string Narrow(BSTR text) {
  if (!text)
    return {};
  char narrow[512] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  SysFreeString(text);
  return narrow;
}

AccessibleText AccessibleOf(HWND window) {
  using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  static const auto fromWindow = reinterpret_cast<FromWindow>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA("oleacc.dll"), "AccessibleObjectFromWindow")));
  AccessibleText result;
  IAccessible* accessible = nullptr;
  if (!fromWindow ||
      FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                        reinterpret_cast<void**>(&accessible))) ||
      !accessible) {
    return result;
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  BSTR shortcut = nullptr;
  result.found = true;
  if (accessible->get_accName(self, &name) == S_OK)
    result.name = Narrow(name);
  if (accessible->get_accKeyboardShortcut(self, &shortcut) == S_OK)
    result.shortcut = Narrow(shortcut);
  accessible->Release();
  return result;
}

// How many rows lie between the first and the last row of a 32-bit top-down image that holds a
// nearly black pixel: the height that black text takes in it.
int InkedRows(const uint32_t* pixels, int width, int height) {
  int first = -1;
  int last = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[y * width + x];
      if ((p & 0xFF) < 64 && ((p >> 8) & 0xFF) < 64 && ((p >> 16) & 0xFF) < 64) {
        if (first < 0)
          first = y;
        last = y;
        break;
      }
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

// A 32-bit top-down bitmap selected into a memory DC.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC Dc() const { return dc_; }
  int Inked() const {
    GdiFlush();
    return InkedRows(static_cast<const uint32_t*>(bits_), width_, height_);
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// The height that black text takes on the screen in `rect` (screen coordinates, this process's
// pixels).
int ScreenInkedRows(const RECT& rect) {
  Canvas canvas(rect.right - rect.left, rect.bottom - rect.top);
  HDC screen = GetDC(nullptr);
  BitBlt(canvas.Dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left,
         rect.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return canvas.Inked();
}

// The height that a caption takes drawn here in black, in the design's font at a pixel height
// (with the underline of its mnemonic, as a control draws it).
int TextInkedRows(const std::string& text, int32_t height, int weight) {
  Canvas canvas(2000, 4 * height);
  RECT all{0, 0, 2000, 4 * height};
  FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HFONT font = CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, design::kFontName);
  HGDIOBJ previous = SelectObject(canvas.Dc(), font);
  SetTextColor(canvas.Dc(), RGB(0, 0, 0));
  SetBkMode(canvas.Dc(), TRANSPARENT);
  DrawTextA(canvas.Dc(), text.c_str(), -1, &all, DT_SINGLELINE | DT_LEFT | DT_TOP);
  SelectObject(canvas.Dc(), previous);
  DeleteObject(font);
  return canvas.Inked();
}

// The width of a text in the design's font at a pixel height.
int TextWidth(const char* text, int32_t height) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, design::kFontName);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
  SelectObject(dc, previous);
  DeleteObject(font);
  DeleteDC(dc);
  return extent.cx;
}

// The DPI awareness of a window: 0 unaware, 1 system, 2 per monitor; -1 where the system cannot
// tell.
int AwarenessOf(HWND window) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  using GetContext = HANDLE(WINAPI*)(HWND);
  using GetAwareness = int(WINAPI*)(HANDLE);
  const auto getContext = reinterpret_cast<GetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
  const auto getAwareness = reinterpret_cast<GetAwareness>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  return getContext && getAwareness ? getAwareness(getContext(window)) : -1;
}

UINT DpiOf(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  const auto getDpi = reinterpret_cast<GetDpi>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  return getDpi ? getDpi(window) : 0;
}

// The work area of the monitor that holds the cursor.
RECT CursorWorkArea() {
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

bool LogExists(const Notifier& notifier) {
  return GetFileAttributesA((notifier.Folder().Path() + "Log.dat").c_str()) !=
         INVALID_FILE_ATTRIBUTES;
}

TEST(NotifierOnWine, WithoutTheFlagNoWindowShowsAndOneLineIsLoggedAfterTheCountdown) {
  Notifier notifier("[Settings]\r\nNotifyTimer=3\r\n");
  ASSERT_TRUE(notifier.StartTraced("6 \"Nightly backup\""));
  bool everVisible = false;
  DWORD code = STILL_ACTIVE;
  while ((code = notifier.Wait(20)) == STILL_ACTIVE &&
         GetTickCount() - notifier.Started() < 20000) {
    HWND form = notifier.Form();
    everVisible = everVisible || (form && IsWindowVisible(form));
  }
  const DWORD elapsed = GetTickCount() - notifier.Started();
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(everVisible);
  EXPECT_GE(elapsed, 2900u) << "the countdown takes NotifyTimer seconds";
  EXPECT_LT(elapsed, 8000u);
  EXPECT_TRUE(IsLogLine(notifier.Log(), "Nightly backup", "Lock Work Station")) << notifier.Log();
  EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 1) << "the action was performed";
}

TEST(NotifierOnWine, WithTheFlagTheWarningWindowShowsAfterOneSecondAsDesigned) {
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.Start("5 Backup -c"));
  HWND form = notifier.Form();
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(IsWindowVisible(form)) << "created hidden";
  const long shownAfter = notifier.WaitForForm(true, 10000);
  ASSERT_GE(shownAfter, 0);
  // Read at once: the next tick comes a second later.
  EXPECT_EQ(notifier.Label(), "Turn Monitor Off will be executed in 29 seconds. ");
  EXPECT_EQ(notifier.BarPosition(), 29);
  HWND bar = GetDlgItem(form, IDC_PROGRESSM);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 30);
  EXPECT_GE(shownAfter, 700);
  EXPECT_LE(shownAfter, 2500);
  // Its buttons appear disabled, and are enabled a second later without anyone doing anything.
  for (int id : {IDC_BTNACTIVATE, IDC_BTNDELAY, IDC_BTNCANCEL}) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(form, id))) << id;
  }

  // Borderless, on top, centred, 474 x 127, owned by the visible application window.
  EXPECT_TRUE(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(form, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
  const RECT bounds = WindowRect(form);
  EXPECT_EQ(bounds.right - bounds.left, design::kClientWidth);
  EXPECT_EQ(bounds.bottom - bounds.top, design::kClientHeight);
  // Centred in the work area of the monitor that holds the cursor (Xvfb's one screen here).
  const RECT work = CursorWorkArea();
  EXPECT_EQ(bounds.left, work.left + (work.right - work.left - design::kClientWidth) / 2);
  EXPECT_EQ(bounds.top, work.top + (work.bottom - work.top - design::kClientHeight) / 2);
  // Scaled per monitor, here at 100 %.
  EXPECT_EQ(AwarenessOf(form), 2) << "per-monitor DPI aware through its manifest";
  EXPECT_EQ(DpiOf(form), 96u);
  // Shown without the keyboard: neither active nor holding the focus, on Activate least.
  EXPECT_NE(GetForegroundWindow(), form);
  EXPECT_NE(FocusOf(form), GetDlgItem(form, IDC_BTNACTIVATE));
  EXPECT_EQ(WindowText(form), "Notifier");
  HWND application = notifier.Application();
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(GetWindow(form, GW_OWNER), application);
  EXPECT_EQ(WindowText(application), "Notifier");
  EXPECT_TRUE(IsWindowVisible(application)) << "the taskbar button while the form shows";

  // The controls at their design positions, with their captions, in their tab order.
  const design::Control controls[] = {design::kLbNotifier, design::kProgressM, design::kBtnActivate,
                                      design::kBtnDelay, design::kBtnCancel};
  for (const design::Control& c : controls) {
    SCOPED_TRACE(c.name);
    HWND child = GetDlgItem(form, c.id);
    ASSERT_NE(child, nullptr);
    const RECT r = WindowRect(child);
    EXPECT_EQ(r.left - bounds.left, design::kFrameWidth + c.left);
    EXPECT_EQ(r.top - bounds.top, design::kFrameWidth + c.top);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    if (c.id != IDC_LBNOTIFIER) {
      EXPECT_EQ(WindowText(child), c.caption);
    }
  }
  HWND appName = GetDlgItem(form, IDC_LBAPPNAME);
  EXPECT_EQ(WindowText(appName), "Dormivo");
  EXPECT_FALSE(IsWindowEnabled(appName));

  // The cursor is confined to the form.
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_TRUE(Same(clip, bounds));

  // A tick later the label and the bar have counted down, and the buttons can be pressed.
  Sleep(1100);
  EXPECT_EQ(notifier.Label(), "Turn Monitor Off will be executed in 28 seconds. ");
  EXPECT_EQ(notifier.BarPosition(), 28);
  EXPECT_TRUE(notifier.WaitForButtons(5000));
  // The buttons, enabled, in their tab order.
  HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
  EXPECT_EQ(first, GetDlgItem(form, IDC_BTNACTIVATE));
  HWND second = GetNextDlgTabItem(form, first, FALSE);
  EXPECT_EQ(second, GetDlgItem(form, IDC_BTNDELAY));
  EXPECT_EQ(GetNextDlgTabItem(form, second, FALSE), GetDlgItem(form, IDC_BTNCANCEL));

  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
  GetClipCursor(&clip);
  EXPECT_FALSE(Same(clip, bounds)) << "released at the end";
}

// The middle of a control of the form, in screen coordinates.
POINT CentreOf(HWND control) {
  const RECT r = WindowRect(control);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(NotifierOnWine, OneRealClickOnAButtonDoesWhatItSaysOnceTheWarningHasShownForASecond) {
  ASSERT_NE(GetFileAttributesA(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is needed";
  const int buttons[] = {IDC_BTNCANCEL, IDC_BTNACTIVATE, IDC_BTNDELAY};
  for (int id : buttons) {
    SCOPED_TRACE(id);
    // With NotifyTimer 599 a Delay (count restarted at 600) brings the warning back two ticks
    // later, so the hidden warning can be seen for at least a second.
    Notifier notifier("[Settings]\r\nNotifyTimer=599\r\n");
    ASSERT_TRUE(notifier.StartTraced("6 Clicked -c"));
    ASSERT_GE(notifier.WaitForForm(true, 15000), 0);
    HWND form = notifier.Form();
    const RECT bounds = WindowRect(form);
    // About one and a half seconds after it appeared, with the warning not active (it showed
    // without activation): the click that activates it is the click on the button.
    Sleep(1500);
    ASSERT_TRUE(notifier.WaitForButtons(5000)) << "enabled a second after the warning appeared";
    EXPECT_NE(GetForegroundWindow(), form);
    const POINT at = CentreOf(GetDlgItem(form, id));
    ASSERT_TRUE(ClickAt(at.x, at.y));
    POINT pointer{};
    GetCursorPos(&pointer);
    SCOPED_TRACE(
        "clicked at " + std::to_string(pointer.x) + "," + std::to_string(pointer.y) +
        (GetForegroundWindow() == form ? ", the warning active" : ", the warning inactive"));
    switch (id) {
      case IDC_BTNCANCEL:
        // Ends at once (the countdown had ten minutes to go): no log line, no action.
        EXPECT_EQ(notifier.Wait(5000), 0u) << "Cancel ends the run";
        EXPECT_FALSE(LogExists(notifier));
        EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 0);
        break;
      case IDC_BTNACTIVATE:
        // The task at the next tick: the log line and the action.
        EXPECT_EQ(notifier.Wait(5000), 0u) << "Activate runs the task at the next tick";
        EXPECT_TRUE(IsLogLine(notifier.Log(), "Clicked", "Lock Work Station")) << notifier.Log();
        EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 1);
        break;
      case IDC_BTNDELAY: {
        // Hidden, the cursor released, and back when the count restarted at 600 passes 599:
        // shown at 599 and, a tick later, "in 597 seconds".
        EXPECT_GE(notifier.WaitForForm(false, 2000), 0) << "Delay hides the warning";
        RECT clip{};
        GetClipCursor(&clip);
        EXPECT_FALSE(Same(clip, bounds)) << "Delay releases the cursor";
        ASSERT_GE(notifier.WaitForForm(true, 5000), 0) << "back after the count passed 599";
        EXPECT_TRUE(WaitFor(
            [&] {
              return notifier.Label() == "Lock Work Station will be executed in 597 seconds. ";
            },
            5000))
            << notifier.Label();
        EXPECT_TRUE(notifier.Running());
        EXPECT_FALSE(LogExists(notifier));
        notifier.Click(IDC_BTNCANCEL);
        EXPECT_EQ(notifier.Wait(5000), 0u);
        EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 0);
        break;
      }
    }
  }
}

TEST(NotifierOnWine, AClickAsTheWarningAppearsUnderThePointerPressesNothing) {
  ASSERT_NE(GetFileAttributesA(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is needed";
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.StartTraced("6 Appearing -c"));
  // The form exists hidden where it will appear (once created with its controls and centred);
  // the pointer waits where Cancel will be, as the pointer of a person clicking in another
  // program does.
  const RECT work = CursorWorkArea();
  const auto placed = [&work](HWND form) {
    return form && GetDlgItem(form, IDC_BTNCANCEL) &&
           WindowRect(form).left == work.left + (work.right - work.left - design::kClientWidth) / 2;
  };
  HWND form = nullptr;
  ASSERT_TRUE(WaitFor([&] { return placed(form = notifier.Form()); }, 15000));
  ASSERT_FALSE(IsWindowVisible(form));
  HWND cancel = GetDlgItem(form, IDC_BTNCANCEL);
  const POINT at = CentreOf(cancel);
  ASSERT_TRUE(RunHost(std::string(kXdotoolCommand) + " mousemove " + std::to_string(at.x) + " " +
                      std::to_string(at.y)));
  ASSERT_GE(notifier.WaitForForm(true, 15000), 0);
  const DWORD shown = GetTickCount();
  EXPECT_FALSE(IsWindowEnabled(cancel)) << "Cancel is shown disabled";
  // The click lands on Cancel at the moment the warning appears; it reaches the warning, which
  // it activates.
  ASSERT_TRUE(ClickAt(at.x, at.y));
  ASSERT_LT(GetTickCount() - shown, 800u) << "the click came in the warning's first second";
  EXPECT_TRUE(WaitFor([form] { return GetForegroundWindow() == form; }, 2000));
  // It pressed nothing: the warning stays, counts down, nothing is logged or performed.
  const std::string label = notifier.Label();
  EXPECT_TRUE(WaitFor([&] { return notifier.Label() != label; }, 5000)) << "the countdown goes on";
  EXPECT_TRUE(notifier.Running());
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_FALSE(LogExists(notifier));
  // One click on Cancel after the first second cancels.
  ASSERT_TRUE(notifier.WaitForButtons(5000));
  ASSERT_TRUE(ClickAt(at.x, at.y));
  EXPECT_EQ(notifier.Wait(5000), 0u) << "a click after the first second cancels";
  EXPECT_FALSE(LogExists(notifier));
  EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 0);
}

TEST(NotifierOnWine, KeysTypedIntoAnotherProgramWhileTheWarningAppearsPressNoButton) {
  ASSERT_NE(GetFileAttributesA(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is needed";
  TypingTarget target;
  ASSERT_TRUE(target.Ready()) << "the program in use has the keyboard";
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.Start("9 Typing -c"));
  // The person goes on typing from before the warning appears (a second after the start) until
  // after it: Enter, Space, Alt+A (Activate's mnemonic) and the letters of the three mnemonics.
  const int groups = 10;
  std::string keys;
  std::string typed;  // a regular expression
  for (int i = 0; i < groups; ++i) {
    keys += " Return space alt+a a d c";
    // Under Wine an extra "a" was seen in the program in use at the moment the warning appears
    // (a key repeated by the X server or an Alt lost there while the machine is busy); it is the
    // program in use that gets it.
    typed += "\r\n a+dc";
  }
  HostProgram typing(std::string(kXdotoolCommand) + " key --delay 60" + keys);
  ASSERT_TRUE(typing.Started());
  const long shown = notifier.WaitForForm(true, 5000);
  const bool stillTyping = !typing.Ended();
  EXPECT_TRUE(typing.Wait(20000));
  ASSERT_GE(shown, 0) << "the warning appeared";
  EXPECT_TRUE(stillTyping) << "keys were still being typed when the warning appeared";

  HWND form = notifier.Form();
  EXPECT_EQ(GetForegroundWindow(), target.Window()) << "the program in use kept the foreground";
  const std::string text = target.Text();
  EXPECT_TRUE(std::regex_match(text, std::regex(typed)))
      << "every key reached the program in use: " << text;
  // Nothing was pressed: the warning stays and counts down, nothing was logged or executed.
  const std::string label = notifier.Label();
  Sleep(1100);
  EXPECT_TRUE(notifier.Running());
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_NE(notifier.Label(), label);
  EXPECT_FALSE(LogExists(notifier));
  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
}

TEST(NotifierOnWine, OnceThePersonClicksIntoTheWarningTabAndMnemonicsReachTheButtons) {
  ASSERT_NE(GetFileAttributesA(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is needed";
  // With NotifyTimer 599 a Delay (count restarted at 600) brings the warning back two ticks
  // later: hidden for at least a second, whatever the moment of the key between two ticks.
  Notifier notifier("[Settings]\r\nNotifyTimer=599\r\n");
  ASSERT_TRUE(notifier.Start("9 Keys -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  HWND form = notifier.Form();
  EXPECT_NE(GetForegroundWindow(), form) << "shown without activation";
  const auto button = [form](int id) { return GetDlgItem(form, id); };
  // A click on the panel beside the labels, on no control.
  const RECT bounds = WindowRect(form);
  ASSERT_TRUE(ClickAt(bounds.left + 400, bounds.top + 14));
  ASSERT_TRUE(WaitFor([form] { return GetForegroundWindow() == form; }, 2000))
      << "the click activates the warning";
  EXPECT_EQ(FocusOf(form), form) << "no button has the focus, Activate least";
  ASSERT_TRUE(notifier.WaitForButtons(5000));
  // Enter and Space press nothing while no button has the focus.
  ASSERT_TRUE(Type("Return space"));
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_TRUE(notifier.Running());

  // Tab and Shift+Tab walk the buttons in their tab order.
  struct Step {
    const char* keys;
    int focused;
  };
  const Step steps[] = {{"Tab", IDC_BTNACTIVATE},     {"Tab", IDC_BTNDELAY},
                        {"Tab", IDC_BTNCANCEL},       {"Tab", IDC_BTNACTIVATE},
                        {"shift+Tab", IDC_BTNCANCEL}, {"shift+Tab", IDC_BTNDELAY}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.keys);
    ASSERT_TRUE(Type(step.keys));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(form) == button(step.focused); }, 2000))
        << "focus on " << step.focused;
  }
  // Delay's mnemonic presses it.
  ASSERT_TRUE(Type("alt+d"));
  EXPECT_GE(notifier.WaitForForm(false, 2000), 0) << "Alt+D delays";
  // Back two ticks later, again without the keyboard: keys typed now press nothing, also once
  // its buttons are enabled again.
  ASSERT_GE(notifier.WaitForForm(true, 5000), 0);
  EXPECT_NE(GetForegroundWindow(), form);
  ASSERT_TRUE(notifier.WaitForButtons(5000));
  ASSERT_TRUE(Type("c alt+c Return"));
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_TRUE(notifier.Running());
  // Clicked into again, it starts with no button focused (Delay had the focus before), and
  // Cancel's mnemonic cancels.
  ASSERT_TRUE(ClickAt(bounds.left + 400, bounds.top + 14));
  ASSERT_TRUE(WaitFor([form] { return GetForegroundWindow() == form; }, 2000));
  EXPECT_EQ(FocusOf(form), form);
  ASSERT_TRUE(Type("alt+c"));
  EXPECT_EQ(notifier.Wait(5000), 0u) << "Alt+C cancels";
  EXPECT_FALSE(LogExists(notifier));
}

TEST(NotifierOnWine, KeysInTheFirstSecondAfterAnActivationOtherThanAClickAreHeldBack) {
  // NotifyTimer 599: hidden for at least a second after Delay (see above).
  Notifier notifier("[Settings]\r\nNotifyTimer=599\r\n");
  ASSERT_TRUE(notifier.Start("9 Guard -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  HWND form = notifier.Form();
  // Once its buttons are enabled, so that only the hold on keys keeps them from being pressed.
  ASSERT_TRUE(notifier.WaitForButtons(5000));
  // Activated the way the system passes the activation on when the window in use closes.
  const DWORD activated = GetTickCount();
  ASSERT_TRUE(SetForegroundWindow(form));
  ASSERT_TRUE(WaitFor([form] { return GetForegroundWindow() == form; }, 500));
  // Keys straight away, meant for the window that was in use: no button is pressed.
  Press('A', VK_MENU);
  Press('A');
  Press('D');
  Press('C');
  Press(VK_RETURN);
  Press(VK_SPACE);
  ASSERT_LT(GetTickCount() - activated, 600u) << "the keys were sent in the first second";
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_TRUE(notifier.Running());
  EXPECT_EQ(FocusOf(form), form);
  // After the first second the keys count: Alt+D delays.
  Sleep(1200 - (GetTickCount() - activated));
  Press('D', VK_MENU);
  EXPECT_GE(notifier.WaitForForm(false, 2000), 0) << "Alt+D delays after the first second";
  ASSERT_GE(notifier.WaitForForm(true, 5000), 0);
  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
  EXPECT_FALSE(LogExists(notifier));
}

TEST(NotifierOnWine, ScreenReadersNameEveryControlByItsCaption) {
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.Start("5 Names -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  HWND form = notifier.Form();
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  struct Row {
    const char* name;
    int id;                      // 0: the form
    const char* accessibleName;  // a regular expression
    const char* shortcut;
  };
  const Row rows[] = {
      {"form", 0, "Notifier", ""},
      {"lbAppName", IDC_LBAPPNAME, "Dormivo", ""},
      {"lbNotifier", IDC_LBNOTIFIER, "Turn Monitor Off will be executed in [0-9]+ seconds\\. ", ""},
      {"ProgressM", IDC_PROGRESSM, "Time left", ""},
      {"btnActivate", IDC_BTNACTIVATE, "Activate task now", "Alt+A"},
      {"btnDelay", IDC_BTNDELAY, "Delay for 10 minutes ", "Alt+D"},
      {"btnCancel", IDC_BTNCANCEL, "Cancel this execution", "Alt+C"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const AccessibleText text = AccessibleOf(row.id ? GetDlgItem(form, row.id) : form);
    ASSERT_TRUE(text.found);
    EXPECT_TRUE(std::regex_match(text.name, std::regex(row.accessibleName))) << text.name;
    EXPECT_EQ(text.name.find('&'), std::string::npos);
    if (*row.shortcut) {
      EXPECT_EQ(text.shortcut, row.shortcut);
    }
  }
  CoUninitialize();
  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
}

TEST(NotifierOnWine, ActivateExecutesOnTheNextTick) {
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.StartTraced("6 \"Activate now\" -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  ASSERT_TRUE(notifier.WaitForButtons(5000));
  const DWORD clicked = GetTickCount();
  notifier.Click(IDC_BTNACTIVATE);
  EXPECT_FALSE(IsWindowVisible(notifier.Form()));
  EXPECT_FALSE(IsWindowVisible(notifier.Application()));
  EXPECT_EQ(notifier.Wait(5000), 0u);
  EXPECT_LT(GetTickCount() - clicked, 2000u);
  EXPECT_TRUE(IsLogLine(notifier.Log(), "Activate now", "Lock Work Station")) << notifier.Log();
  EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 1) << "the action was performed";
}

TEST(NotifierOnWine, DelayHidesTheWindowAndItComesBackWhenTheCountPassesNotifyTimer) {
  // With NotifyTimer 600 the delayed count of 600 passes it at the very next tick.
  Notifier notifier("[Settings]\r\nNotifyTimer=600\r\n");
  ASSERT_TRUE(notifier.Start("9 Later -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  const RECT bounds = WindowRect(notifier.Form());
  notifier.Click(IDC_BTNDELAY);
  EXPECT_FALSE(IsWindowVisible(notifier.Form()));
  EXPECT_FALSE(IsWindowVisible(notifier.Application()));
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_FALSE(Same(clip, bounds)) << "Delay releases the cursor";
  const long back = notifier.WaitForForm(true, 5000);
  ASSERT_GE(back, 0);
  EXPECT_LE(back, 1500);
  EXPECT_EQ(notifier.BarPosition(), 599);
  GetClipCursor(&clip);
  EXPECT_TRUE(Same(clip, bounds));
  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
  EXPECT_EQ(GetFileAttributesA((notifier.Folder().Path() + "Log.dat").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST(NotifierOnWine, ApplicationWindowKeepsTheWarningAndEndsWithTheSession) {
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.Start("5 Session -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  HWND application = notifier.Application();
  ASSERT_NE(application, nullptr);
  DWORD_PTR result = 0;
  // Minimising through the taskbar button leaves the warning where it is.
  SendMessageTimeoutA(application, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_NORMAL, 5000, &result);
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(notifier.Form()));
  EXPECT_FALSE(IsIconic(application));
  // The end of the Windows session ends the process at once, through the clean-up.
  const RECT bounds = WindowRect(notifier.Form());
  SendMessageTimeoutA(application, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &result);
  EXPECT_EQ(notifier.Wait(5000), 0u);
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_FALSE(Same(clip, bounds)) << "released by the clean-up";
  EXPECT_EQ(GetFileAttributesA((notifier.Folder().Path() + "Log.dat").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST(NotifierOnWine, LogHeldOpenByAnotherProcessSkipsTheActionAndKeepsTheLog) {
  Notifier notifier("[Settings]\r\nNotifyTimer=2\r\n");
  const std::string earlier = "[1/2/2026 3:04:05 AM]Earlier task>Restart\r\n";
  notifier.Folder().WriteFile("Log.dat", earlier);
  {
    winetest::FileHolder holder(notifier.Folder().Path() + "Log.dat", "rw", 0);
    ASSERT_TRUE(holder.Holding());
    ASSERT_TRUE(notifier.StartTraced("6 Blocked"));
    EXPECT_EQ(notifier.Wait(20000), 0u);
    // The countdown, then the log step's whole wait for the file, held here for longer.
    EXPECT_GE(GetTickCount() - notifier.Started(), 2000u + 3000u);
  }
  EXPECT_EQ(notifier.Log(), earlier);
  EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 0) << "no action";
  EXPECT_NE(notifier.Folder().ReadFile("relay.txt").find("RelayInclude"), std::string::npos)
      << "the trace was taken";
}

// The user's real recycle bin, read through the host's shell: its path (under the home folder
// the account database names, not the test runner's HOME) on the first line, then one line per
// entry with its type, size and time, or "absent". Empty when it cannot be read.
std::string RealTrashListing() {
  const ScratchFolder scratch;
  const std::string out = UnixPath(scratch.Path() + "listing.txt");
  if (out.empty() ||
      !RunHost("t=$(getent passwd $(id -u) | cut -d: -f6)/.local/share/Trash; { echo $t; "
               "if [ -e $t ]; then find $t -printf '%P %y %s %T@\\n' | LC_ALL=C sort; "
               "else echo absent; fi; } >'" +
               out + "'")) {
    return {};
  }
  return scratch.ReadFile("listing.txt");
}

TEST(NotifierOnWine, RecycleEmptiesTheTestsOwnRecycleBinThenLogsAndActs) {
  const std::string trash = winetest::TrashFolder();
  ASSERT_FALSE(trash.empty()) << "no XDG_DATA_HOME";
  const std::string realBefore = RealTrashListing();
  ASSERT_FALSE(realBefore.empty());
  const std::string realTrash = realBefore.substr(0, realBefore.find('\n'));
  ASSERT_NE(UnixPath(trash.substr(0, trash.size() - 1)), realTrash)
      << "the test's recycle bin must not be the user's";

  ASSERT_TRUE(winetest::ClearTrashByHand());
  const std::string file = "report-" + std::to_string(GetCurrentProcessId()) + ".txt";
  const std::string other = "photo-" + std::to_string(GetCurrentProcessId()) + ".jpg";
  ASSERT_TRUE(winetest::PutIntoTrash(file));
  ASSERT_TRUE(winetest::PutIntoTrash(other));
  ASSERT_EQ(winetest::FolderEntries(trash + "files\\"), (std::vector<std::string>{other, file}));

  Notifier notifier("[Settings]\r\nNotify=0\r\nNotifyTimer=2\r\nRecycle=1\r\n");
  ASSERT_TRUE(notifier.StartTraced("6 \"Empty the bin\" -c"));
  EXPECT_EQ(notifier.Wait(20000), 0u) << "a crash ends with 5";
  EXPECT_EQ(notifier.TracedCalls("shell32.SHEmptyRecycleBinA"), 1);
  EXPECT_TRUE(winetest::FolderEntries(trash + "files\\").empty());
  EXPECT_TRUE(winetest::FolderEntries(trash + "info\\").empty());
  // The stage went on to the log line and the action.
  EXPECT_TRUE(IsLogLine(notifier.Log(), "Empty the bin", "Lock Work Station")) << notifier.Log();
  EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 1);
  EXPECT_EQ(RealTrashListing(), realBefore) << "the user's recycle bin was touched";
}

TEST(NotifierOnWine, EightTasksFallingDueTogetherEachLogTheirLineAndActOnce) {
  Notifier notifier("[Settings]\r\nNotifyTimer=1\r\n");
  constexpr int kExecutors = 8;
  constexpr int kRounds = 10;
  const std::regex entry("\\[[^\\]\\r\\n]+\\]Task[0-9]-[0-9]>Lock Work Station");
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto title = [round](int i) {
      return "Task" + std::to_string(round) + "-" + std::to_string(i);
    };
    auto run = [](int i) { return "." + std::to_string(i); };
    // One executor per task, all started at once on the one Log.dat beside the program.
    for (int i = 0; i < kExecutors; ++i) ASSERT_TRUE(notifier.StartTraced("6 " + title(i), run(i)));
    for (int i = 0; i < kExecutors; ++i) EXPECT_EQ(notifier.Wait(60000, run(i)), 0u) << title(i);
    const std::string log = notifier.Log();
    for (int i = 0; i < kExecutors; ++i) {
      const std::string line = "]" + title(i) + ">Lock Work Station\r\n";
      size_t count = 0;
      for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
        ++count;
      EXPECT_EQ(count, 1u) << title(i) << " in\n" << log;
      EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation", run(i)), 1) << title(i);
    }
    // The log is whole: nothing but entries, each ending with CR LF.
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    for (size_t from = 0; from < log.size();) {
      const size_t end = log.find("\r\n", from);
      ASSERT_NE(end, std::string::npos);
      EXPECT_TRUE(std::regex_match(log.substr(from, end - from), entry))
          << log.substr(from, end - from);
      from = end + 2;
    }
  }
}

TEST(NotifierOnWine, SettingsHeldOpenForWritingAreReportedThenExit217) {
  Notifier notifier("[Settings]\r\nNotifyTimer=2\r\n");
  const std::string path = notifier.Folder().Path() + "Settings.dat";
  winetest::FileHolder holder(path, "w", FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(holder.Holding());
  ASSERT_TRUE(notifier.Start("5 t -c"));
  HWND box = nullptr;
  for (int i = 0; i < 500 && !box; ++i) {
    box = notifier.TopLevel("#32770", "Notifier");
    if (!box)
      Sleep(20);
  }
  ASSERT_NE(box, nullptr) << "no error report";
  std::string text;
  EnumChildWindows(box, FindStaticText, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text,
            "Cannot open file \"" + path + "\". " + SystemText(ERROR_SHARING_VIOLATION) + ".");
  EXPECT_TRUE(notifier.Running()) << "the report waits for the person";
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
  EXPECT_EQ(notifier.Wait(5000), 217u);
  EXPECT_EQ(GetFileAttributesA((notifier.Folder().Path() + "Log.dat").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

// Runs only as the tests wine.dpi.96, wine.dpi.144 and wine.dpi.192 (run-at-dpi.sh), in a Wine
// prefix of their own set to that DPI, named by DORMIVO_EXPECT_DPI.
TEST(NotifierDpiOnWine, TheWindowItsFontsAndControlsScaleToTheDpi) {
  const char* wanted = std::getenv("DORMIVO_EXPECT_DPI");
  if (!wanted)
    GTEST_SKIP() << "runs as the wine.dpi.* tests, in a Wine prefix set to the DPI";
  const auto dpi = static_cast<uint32_t>(std::strtoul(wanted, nullptr, 10));
  // This process reads the window back in physical pixels.
  using SetAwareness = BOOL(WINAPI*)(HANDLE);
  const auto setAwareness = reinterpret_cast<SetAwareness>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
  ASSERT_NE(setAwareness, nullptr);
  setAwareness(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)));  // per monitor, version 2
  HDC screen = GetDC(nullptr);
  const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(systemDpi, static_cast<int>(dpi)) << "the prefix is not set to the DPI";

  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.Start("5 Scaled -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  HWND form = notifier.Form();
  EXPECT_EQ(AwarenessOf(form), 2) << "per-monitor DPI aware";
  ASSERT_EQ(DpiOf(form), dpi);
  // Read once the buttons are enabled (a disabled button draws its caption greyed) and drawn.
  ASSERT_TRUE(notifier.WaitForButtons(5000));
  Sleep(300);

  const FormLayout layout = LayoutForDpi(dpi);
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, layout.clientWidth);
  EXPECT_EQ(client.bottom, layout.clientHeight);
  if (dpi == 192) {
    EXPECT_EQ(client.right, 948);
    EXPECT_EQ(client.bottom, 254);
  }
  const RECT bounds = WindowRect(form);
  EXPECT_EQ(bounds.right - bounds.left, layout.clientWidth) << "no border";
  const RECT work = CursorWorkArea();
  EXPECT_EQ(bounds.left, work.left + (work.right - work.left - layout.clientWidth) / 2);
  EXPECT_EQ(bounds.top, work.top + (work.bottom - work.top - layout.clientHeight) / 2);
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_TRUE(Same(clip, bounds)) << "the cursor is confined to the scaled window";

  // Every control where the design puts it, scaled: same proportions at every DPI.
  const double factor = dpi / 96.0;
  const design::Control controls[] = {design::kLbNotifier, design::kProgressM, design::kBtnActivate,
                                      design::kBtnDelay, design::kBtnCancel};
  for (const design::Control& c : controls) {
    SCOPED_TRACE(c.name);
    const RECT r = WindowRect(GetDlgItem(form, c.id));
    const platform::Rect expected = layout.Bounds(c);
    EXPECT_EQ(r.left - bounds.left, expected.left);
    EXPECT_EQ(r.top - bounds.top, expected.top);
    EXPECT_EQ(r.right - bounds.left, expected.right);
    EXPECT_EQ(r.bottom - bounds.top, expected.bottom);
    EXPECT_NEAR(r.right - r.left, c.width * factor, 1.0);
    EXPECT_NEAR(r.bottom - r.top, c.height * factor, 1.0);
  }
  // The fonts are scaled too. lbAppName is as wide as its caption in the scaled font...
  const RECT appName = WindowRect(GetDlgItem(form, IDC_LBAPPNAME));
  const int captionWidth = TextWidth("Dormivo", layout.fontHeight);
  EXPECT_EQ(appName.right - appName.left, captionWidth);
  EXPECT_NEAR(captionWidth, TextWidth("Dormivo", design::kFontHeight) * factor, 0.2 * captionWidth);
  // ... and on the screen the bold notifier text and a button's caption are as tall as they are
  // drawn in the scaled fonts (a font left at its 96-DPI size would be half as tall at 200 %).
  const struct {
    const char* name;
    int id;
    std::string text;
    int32_t designHeight;  // at 96 DPI
    int weight;
  } texts[] = {
      {"lbNotifier", IDC_LBNOTIFIER, notifier.Label(), design::kNotifierFontHeight, FW_BOLD},
      {"btnCancel", IDC_BTNCANCEL, design::kBtnCancel.caption, design::kFontHeight, FW_NORMAL},
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(text.name);
    const int onScreen = ScreenInkedRows(WindowRect(GetDlgItem(form, text.id)));
    const int scaled = TextInkedRows(text.text, ScaleToDpi(text.designHeight, dpi), text.weight);
    EXPECT_NEAR(onScreen, scaled, 2) << "rows of text on the screen";
    if (dpi >= 144) {
      const int unscaled = TextInkedRows(text.text, text.designHeight, text.weight);
      EXPECT_GT(scaled, unscaled + 2) << "the scaled font is taller on the screen";
    }
  }

  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
}

}  // namespace
}  // namespace dormivo

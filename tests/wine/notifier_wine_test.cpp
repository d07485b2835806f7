// Notifier.exe end to end under Wine, driven as the scheduler and a person would: this program
// stands in for the scheduler (it writes Settings.dat into a throwaway application folder, starts
// a copy of the executable there with a command line and waits for its exit code), reads the
// real window back, presses its buttons and checks Log.dat. Only actions that are harmless under
// Wine are used: 5 (monitor off), 6 (lock), 7 (screen saver) and 9 (none).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <regex>
#include <string>
#include <vector>

#include "app/form_design.h"
#include "resources/resource.h"
#include "tests/wine/wine_support.h"

namespace dormivo {
namespace {

using winetest::ScratchFolder;

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The system's text for an error code, trimmed as the executor's messages trim it.
std::string SystemText(DWORD code) {
  char text[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 sizeof text, nullptr);
  std::string result = text;
  while (!result.empty() &&
         (static_cast<unsigned char>(result.back()) <= 32 || result.back() == '.')) {
    result.pop_back();
  }
  return result;
}

// A search among the top-level windows: of a process (any when pid is 0), by class and title.
struct WindowSearch {
  DWORD pid;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if ((search->pid == 0 || pid == search->pid) && std::string(name) == search->className &&
      (!search->title || WindowText(window) == search->title)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

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
// and session calls of the actions.
constexpr char kRelayInclude[] =
    "user32.LockWorkStation;user32.ExitWindowsEx;kernel32.SetSystemPowerState";

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
    if (traced_ && Running()) {
      // Cancel it, or let the watchdog of the short countdowns used here end it.
      HWND form = Form();
      DWORD_PTR result = 0;
      if (form)
        SendMessageTimeoutA(GetDlgItem(form, IDC_BTNCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 2000,
                            &result);
      Wait(15000);
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
  // shell writes into the folder.
  bool StartTraced(const std::string& arguments) {
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
    std::string command = "Z:\\bin\\sh -c \"cd '" + folder +
                          "' && WINEDEBUG=+relay wine ./Notifier.exe " + escaped +
                          " 2>relay.txt; echo $? >code.tmp; mv code.tmp code.txt\"";
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
    started_ = GetTickCount();
    return true;
  }
  // How often the traced run called a function of kRelayInclude, e.g. "user32.LockWorkStation".
  int TracedCalls(const std::string& function) const {
    const std::string trace = folder_.ReadFile("relay.txt");
    const std::string call = "Call " + function + "(";
    int count = 0;
    for (size_t at = trace.find(call); at != std::string::npos; at = trace.find(call, at + 1))
      ++count;
    return count;
  }

  // The exit code, or STILL_ACTIVE when the process has not ended within `ms`.
  DWORD Wait(DWORD ms) {
    if (traced_) {
      const DWORD from = GetTickCount();
      while (Running()) {
        if (GetTickCount() - from >= ms)
          return STILL_ACTIVE;
        Sleep(20);
      }
      return static_cast<DWORD>(std::stoul("0" + folder_.ReadFile("code.txt")));
    }
    if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0)
      return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  bool Running() {
    if (traced_)
      return GetFileAttributesA((folder_.Path() + "code.txt").c_str()) == INVALID_FILE_ATTRIBUTES;
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }

  // The process's top-level window of the class, or nullptr.
  HWND TopLevel(const char* className, const char* title = nullptr) const {
    WindowSearch search{traced_ ? 0 : process_.dwProcessId, className, title, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
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
  void Click(int buttonId) const {
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

// Runs an X11 program of the host (xdotool) and waits for it.
bool RunHost(const std::string& commandLine) {
  std::string command = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

constexpr char kXdotool[] = "Z:\\usr\\bin\\xdotool";

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

  // Borderless, on top, centred, 474 x 127, owned by the visible application window.
  EXPECT_TRUE(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(form, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
  const RECT bounds = WindowRect(form);
  EXPECT_EQ(bounds.right - bounds.left, design::kClientWidth);
  EXPECT_EQ(bounds.bottom - bounds.top, design::kClientHeight);
  EXPECT_EQ(bounds.left, (GetSystemMetrics(SM_CXSCREEN) - design::kClientWidth) / 2);
  EXPECT_EQ(bounds.top, (GetSystemMetrics(SM_CYSCREEN) - design::kClientHeight) / 2);
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
    if (c.id != IDC_LBNOTIFIER && c.id != IDC_PROGRESSM) {
      EXPECT_EQ(WindowText(child), c.caption);
    }
  }
  HWND appName = GetDlgItem(form, IDC_LBAPPNAME);
  EXPECT_EQ(WindowText(appName), "Dormivo");
  EXPECT_FALSE(IsWindowEnabled(appName));
  HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
  EXPECT_EQ(first, GetDlgItem(form, IDC_BTNACTIVATE));
  HWND second = GetNextDlgTabItem(form, first, FALSE);
  EXPECT_EQ(second, GetDlgItem(form, IDC_BTNDELAY));
  EXPECT_EQ(GetNextDlgTabItem(form, second, FALSE), GetDlgItem(form, IDC_BTNCANCEL));

  // The cursor is confined to the form.
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_TRUE(Same(clip, bounds));

  // A tick later the label and the bar have counted down.
  Sleep(1100);
  EXPECT_EQ(notifier.Label(), "Turn Monitor Off will be executed in 28 seconds. ");
  EXPECT_EQ(notifier.BarPosition(), 28);

  notifier.Click(IDC_BTNCANCEL);
  EXPECT_EQ(notifier.Wait(5000), 0u);
  GetClipCursor(&clip);
  EXPECT_FALSE(Same(clip, bounds)) << "released at the end";
}

TEST(NotifierOnWine, ARealClickOnCancelEndsWithoutALogLine) {
  ASSERT_NE(GetFileAttributesA(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is needed";
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.Start("7 Backup -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  const RECT bounds = WindowRect(notifier.Form());

  // The pointer cannot leave the window.
  ASSERT_TRUE(RunHost(std::string(kXdotool) + " mousemove 5 5"));
  Sleep(200);
  POINT at{};
  GetCursorPos(&at);
  EXPECT_TRUE(PtInRect(&bounds, at)) << at.x << "," << at.y;

  const RECT cancel = WindowRect(GetDlgItem(notifier.Form(), IDC_BTNCANCEL));
  const int x = (cancel.left + cancel.right) / 2;
  const int y = (cancel.top + cancel.bottom) / 2;
  ASSERT_TRUE(RunHost(std::string(kXdotool) + " mousemove " + std::to_string(x) + " " +
                      std::to_string(y) + " click 1"));
  EXPECT_EQ(notifier.Wait(5000), 0u);
  EXPECT_EQ(GetFileAttributesA((notifier.Folder().Path() + "Log.dat").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST(NotifierOnWine, TheCaptionsMnemonicsPressTheButtonsFromTheKeyboard) {
  ASSERT_NE(GetFileAttributesA(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is needed";
  Notifier notifier("[Settings]\r\nNotifyTimer=600\r\n");
  ASSERT_TRUE(notifier.Start("9 Keys -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
  ASSERT_TRUE(RunHost(std::string(kXdotool) + " key alt+d"));
  EXPECT_GE(notifier.WaitForForm(false, 2000), 0) << "Alt+D delays";
  ASSERT_GE(notifier.WaitForForm(true, 3000), 0) << "back at the next tick";
  ASSERT_TRUE(RunHost(std::string(kXdotool) + " key c"));
  EXPECT_EQ(notifier.Wait(5000), 0u) << "C on a focused button cancels";
  EXPECT_EQ(GetFileAttributesA((notifier.Folder().Path() + "Log.dat").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST(NotifierOnWine, ActivateExecutesOnTheNextTick) {
  Notifier notifier("[Settings]\r\nNotifyTimer=30\r\n");
  ASSERT_TRUE(notifier.StartTraced("6 \"Activate now\" -c"));
  ASSERT_GE(notifier.WaitForForm(true, 10000), 0);
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
    EXPECT_EQ(notifier.Wait(15000), 0u);
  }
  EXPECT_EQ(notifier.Log(), earlier);
  EXPECT_EQ(notifier.TracedCalls("user32.LockWorkStation"), 0) << "no action";
  EXPECT_NE(notifier.Folder().ReadFile("relay.txt").find("RelayInclude"), std::string::npos)
      << "the trace was taken";
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

}  // namespace
}  // namespace dormivo

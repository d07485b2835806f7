// The power and session actions through the real Windows layer, for what is harmless there: the
// shutdown privilege switched on and off in the real token, the version query, and the
// monitor-off and screen-saver system commands carried to the default window procedure. The real
// ExitWindowsEx and SetSystemPowerState are never called: they end the Wine session.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "actions/uShowdownLib.h"
#include "platform/win32/power_win32.h"

namespace dormivo {
namespace {

// The real layer with the two calls that would end the session refused.
class HarmlessPower final : public platform::Win32PowerApi {
 public:
  bool ExitWindowsEx(uint32_t flags, uint32_t reason) override {
    ADD_FAILURE() << "ExitWindowsEx(" << flags << "," << reason << ") must not run here";
    return false;
  }
  bool SetSystemPowerState(bool suspend, bool force) override {
    ADD_FAILURE() << "SetSystemPowerState(" << suspend << "," << force << ") must not run here";
    return false;
  }
};

// The attributes of a privilege in the process token, read with GetTokenInformation; nothing
// when the token does not hold it.
std::optional<DWORD> PrivilegeAttributes(const char* name) {
  LUID luid{};
  if (!LookupPrivilegeValueA(nullptr, name, &luid))
    return std::nullopt;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size + sizeof(TOKEN_PRIVILEGES));
  std::optional<DWORD> attributes;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), static_cast<DWORD>(buffer.size()),
                          &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
      if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart)
        attributes = entry.Attributes;
    }
  }
  CloseHandle(token);
  return attributes;
}

bool ShutdownEnabled() {
  const std::optional<DWORD> attributes = PrivilegeAttributes(SE_SHUTDOWN_NAME);
  return attributes && (*attributes & SE_PRIVILEGE_ENABLED) != 0;
}

// Puts the shutdown privilege back as the test found it.
class RestoreShutdownPrivilege {
 public:
  RestoreShutdownPrivilege() : enabled_(ShutdownEnabled()) {}
  ~RestoreShutdownPrivilege() {
    platform::Win32PowerApi api;
    EnablePrivilege(api, SE_SHUTDOWN_NAME, enabled_);
  }

 private:
  bool enabled_;
};

TEST(ActionsOnWindows, EnablePrivilegeSwitchesTheShutdownPrivilegeOfTheRealToken) {
  ASSERT_TRUE(PrivilegeAttributes(SE_SHUTDOWN_NAME).has_value())
      << "the process token does not hold SeShutdownPrivilege";
  RestoreShutdownPrivilege restore;
  HarmlessPower api;

  ASSERT_TRUE(EnablePrivilege(api, "SeShutdownPrivilege", true));
  EXPECT_TRUE(ShutdownEnabled());
  ASSERT_TRUE(EnablePrivilege(api, "SeShutdownPrivilege", false));
  EXPECT_FALSE(ShutdownEnabled());
  // Enabling twice and disabling once leaves it disabled: no earlier state is restored.
  ASSERT_TRUE(EnablePrivilege(api, "SeShutdownPrivilege", true));
  ASSERT_TRUE(EnablePrivilege(api, "SeShutdownPrivilege", true));
  EXPECT_TRUE(ShutdownEnabled());
  ASSERT_TRUE(EnablePrivilege(api, "SeShutdownPrivilege", false));
  EXPECT_FALSE(ShutdownEnabled());
}

TEST(ActionsOnWindows, EnablePrivilegeFailsForAnUnknownPrivilegeName) {
  RestoreShutdownPrivilege restore;
  const bool before = ShutdownEnabled();
  HarmlessPower api;
  EXPECT_FALSE(EnablePrivilege(api, "SeNoSuchPrivilege", true));
  EXPECT_EQ(ShutdownEnabled(), before);
}

TEST(ActionsOnWindows, EnablePrivilegeSucceedsForAPrivilegeTheTokenLacks) {
  // Any privilege Wine knows by name that this token does not hold; the call still succeeds
  // (with ERROR_NOT_ALL_ASSIGNED) and the token is unchanged.
  const char* candidates[] = {"SeCreateTokenPrivilege", "SeTcbPrivilege",
                              "SeTrustedCredManAccessPrivilege", "SeRelabelPrivilege"};
  for (const char* name : candidates) {
    LUID luid{};
    if (!LookupPrivilegeValueA(nullptr, name, &luid) || PrivilegeAttributes(name))
      continue;
    SCOPED_TRACE(name);
    HarmlessPower api;
    EXPECT_TRUE(EnablePrivilege(api, name, true));
    EXPECT_FALSE(PrivilegeAttributes(name).has_value());
    return;
  }
  GTEST_SKIP() << "the token holds every candidate privilege";
}

TEST(ActionsOnWindows, PlatformFamilyIsTheNtFamily) {
  HarmlessPower api;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(QueryPlatformFamily(api), version.dwPlatformId);
  EXPECT_EQ(QueryPlatformFamily(api), 2u);
}

// --- The system commands and the default window procedure.

std::vector<std::string> g_events;

std::string Hex(WPARAM value) {
  char text[24];
  wsprintfA(text, "0x%X", static_cast<unsigned>(value));
  return text;
}

// The application window's procedure as far as it matters here: it records each system command
// and hands it to DefWindowProcA.
LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_SYSCOMMAND)
    return DefWindowProcA(window, message, wParam, lParam);
  g_events.push_back("WM_SYSCOMMAND(" + Hex(wParam) + "," + std::to_string(lParam) + ")");
  const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
  g_events.push_back("DefWindowProcA returned");
  return result;
}

// DefWindowProcA asks the CBT hook before it carries out a system command: the sign that the
// command reached it.
LRESULT CALLBACK RecordingCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_SYSCOMMAND)
    g_events.push_back("HCBT_SYSCOMMAND(" + Hex(wParam) + "," + std::to_string(lParam) + ")");
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class HiddenApplicationWindow {
 public:
  HiddenApplicationWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DormivoActionsTestWindow";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "Notifier",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
    hook_ = SetWindowsHookExA(WH_CBT, RecordingCbtHook, nullptr, GetCurrentThreadId());
  }
  ~HiddenApplicationWindow() {
    if (hook_)
      UnhookWindowsHookEx(hook_);
    if (window_)
      DestroyWindow(window_);
  }
  HiddenApplicationWindow(const HiddenApplicationWindow&) = delete;
  HiddenApplicationWindow& operator=(const HiddenApplicationWindow&) = delete;

  HWND Window() const { return window_; }
  bool Hooked() const { return hook_ != nullptr; }

 private:
  HWND window_ = nullptr;
  HHOOK hook_ = nullptr;
};

TEST(ActionsOnWindows, MonitorOffAndScreenSaverReachTheDefaultWindowProcedure) {
  struct Row {
    const char* name;
    uint32_t index;
    uint32_t family;
    const char* command;  // wParam,lParam
  };
  const Row rows[] = {
      {"monitor off, NT family", 5, 2, "0xF170,1"},  {"monitor off, 9x family", 5, 1, "0xF170,0"},
      {"screen saver, NT family", 7, 2, "0xF140,0"}, {"screen saver, 9x family", 7, 1, "0xF140,0"},
      {"screen saver, no family", 7, 0, "0xF140,0"},
  };
  HiddenApplicationWindow application;
  ASSERT_NE(application.Window(), nullptr);
  ASSERT_TRUE(application.Hooked());
  ASSERT_FALSE(IsWindowVisible(application.Window()));
  HarmlessPower api;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_events.clear();
    EXPECT_TRUE(ExecuteAction(api, row.index, true, row.family,
                              reinterpret_cast<platform::WindowHandle>(application.Window())));
    const std::string command = row.command;
    EXPECT_EQ(g_events, (std::vector<std::string>{"WM_SYSCOMMAND(" + command + ")",
                                                  "HCBT_SYSCOMMAND(" + command + ")",
                                                  "DefWindowProcA returned"}));
  }
  EXPECT_FALSE(IsWindowVisible(application.Window()));
}

TEST(ActionsOnWindows, MonitorOffSendsNothingWithoutAPlatformFamily) {
  HiddenApplicationWindow application;
  ASSERT_NE(application.Window(), nullptr);
  HarmlessPower api;
  g_events.clear();
  EXPECT_TRUE(ExecuteAction(api, 5, true, 0,
                            reinterpret_cast<platform::WindowHandle>(application.Window())));
  EXPECT_TRUE(g_events.empty());
}

}  // namespace
}  // namespace dormivo

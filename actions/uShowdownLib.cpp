#include "actions/uShowdownLib.h"

#include <iterator>

#include "platform/scoped_handle.h"
#include "platform/win_constants.h"

namespace dormivo {
namespace {

constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";

// The second argument of ExitWindowsEx on the 9x family (0 on the NT family).
constexpr uint32_t kExitReason9x = 32;

constexpr const char* kActionNames[] = {
    "Power Off", "Restart",          "Hibernate",         "Standby",
    "Log out",   "Turn Monitor Off", "Lock Work Station", "Screen Save",
};

// Power off, restart and log out: directly and always forced on the 9x family, with the
// shutdown privilege and the Force setting on the NT family, not at all on any other family.
void EndSession(platform::PowerApi& api, uint32_t flags, bool force, uint32_t platformFamily) {
  if (platformFamily == win::kVerPlatformWin32Windows) {
    api.ExitWindowsEx(flags | win::kEwxForce, kExitReason9x);
  } else if (platformFamily == win::kVerPlatformWin32Nt) {
    ExitWindowsPrivileged(api, flags, force);
  }
}

// Hibernate (suspend false) and standby (suspend true), on every family; only when the shutdown
// privilege could be enabled, and then it is disabled after the system has resumed.
void SetPowerState(platform::PowerApi& api, bool suspend) {
  if (!EnablePrivilege(api, kShutdownPrivilege, true))
    return;
  api.SetSystemPowerState(suspend, true);
  EnablePrivilege(api, kShutdownPrivilege, false);
}

}  // namespace

bool EnablePrivilege(platform::PowerApi& api, const std::string& privilegeName, bool enable) {
  platform::Handle token = 0;
  if (!api.OpenProcessToken(api.GetCurrentProcess(), win::kTokenAdjustPrivileges | win::kTokenQuery,
                            &token)) {
    return false;
  }
  platform::ScopedToken tokenOwner(api, token);
  bool result = false;
  platform::TokenPrivileges newState;
  if (api.LookupPrivilegeValueA(nullptr, privilegeName, &newState.privileges[0].luid)) {
    newState.privilegeCount = 1;
    newState.privileges[0].attributes = enable ? win::kSePrivilegeEnabled : 0;
    platform::TokenPrivileges previousState;  // not kept
    uint32_t returnLength = 0;
    result = api.AdjustTokenPrivileges(token, false, &newState, sizeof previousState,
                                       &previousState, &returnLength);
  }
  // Closed here rather than at the end of the scope, so that an error of the close reaches the
  // caller.
  tokenOwner.reset();
  return result;
}

bool ExitWindowsPrivileged(platform::PowerApi& api, uint32_t flags, bool force) {
  if (force)
    flags |= win::kEwxForce;
  if (!EnablePrivilege(api, kShutdownPrivilege, true))
    return false;
  const bool accepted = api.ExitWindowsEx(flags, 0);
  EnablePrivilege(api, kShutdownPrivilege, false);
  return accepted;
}

std::string ActionName(uint32_t index) {
  return index < std::size(kActionNames) ? kActionNames[index] : kActionNames[0];
}

bool ExecuteAction(platform::PowerApi& api, uint32_t index, bool force, uint32_t platformFamily,
                   platform::WindowHandle applicationWindow) {
  try {
    switch (index) {
      case 0:  // Power Off
        EndSession(api, win::kEwxShutdown | win::kEwxPoweroff, force, platformFamily);
        break;
      case 1:  // Restart
        EndSession(api, win::kEwxReboot, force, platformFamily);
        break;
      case 2:  // Hibernate
        SetPowerState(api, false);
        break;
      case 3:  // Standby
        SetPowerState(api, true);
        break;
      case 4:  // Log out
        EndSession(api, win::kEwxLogoff, force, platformFamily);
        break;
      case 5:  // Turn Monitor Off: lParam 0 on the 9x family, 1 on the NT family
        if (platformFamily == win::kVerPlatformWin32Windows) {
          api.SendMessageA(applicationWindow, win::kWmSyscommand, win::kScMonitorpower, 0);
        } else if (platformFamily == win::kVerPlatformWin32Nt) {
          api.SendMessageA(applicationWindow, win::kWmSyscommand, win::kScMonitorpower, 1);
        }
        break;
      case 6:  // Lock Work Station
        api.LockWorkStation();
        break;
      case 7:  // Screen Save
        api.SendMessageA(applicationWindow, win::kWmSyscommand, win::kScScreensave, 0);
        break;
      default:  // out of range: nothing
        break;
    }
    return true;
  } catch (...) {
    return false;
  }
}

uint32_t QueryPlatformFamily(platform::PowerApi& api) {
  platform::OsVersionInfo info;
  return api.GetVersionExA(&info) ? info.platformId : 0;
}

}  // namespace dormivo

// The power and session actions: the shutdown privilege, the eight actions by number
// and their display names.
#pragma once

#include <cstdint>
#include <string>

#include "platform/power.h"

namespace dormivo {

// Switches one named privilege of the process's access token on (SE_PRIVILEGE_ENABLED) or off
// (attribute 0). True when the token adjustment call succeeded, which it also does when the
// token does not hold the privilege at all; false when the token cannot be opened or the name
// cannot be looked up. Disabling does not restore an earlier state.
bool EnablePrivilege(platform::PowerApi& api, const std::string& privilegeName, bool enable);

// ExitWindowsEx(flags, plus EWX_FORCE when `force`; 0) while holding "SeShutdownPrivilege",
// which is disabled again right after. False without calling ExitWindowsEx when the privilege
// cannot be enabled; otherwise whether ExitWindowsEx accepted the request.
bool ExitWindowsPrivileged(platform::PowerApi& api, uint32_t flags, bool force);

// The display name of an action number: "Power Off" for 0 and for every number above 7.
std::string ActionName(uint32_t index);

// The dispatch the notifier form performs at the end of the countdown; the form's
// ExecuteAction forwards here. `force` is ExecutorSettings.Force, `platformFamily` the result of
// QueryPlatformFamily at start and `applicationWindow` the hidden application window. Numbers
// above 7 perform nothing. Returns false only when an exception escaped.
bool ExecuteAction(platform::PowerApi& api, uint32_t index, bool force, uint32_t platformFamily,
                   platform::WindowHandle applicationWindow);

// The platform family, read once at start: the dwPlatformId of GetVersionExA (1 the 9x family,
// 2 the NT family), 0 when the query fails.
uint32_t QueryPlatformFamily(platform::PowerApi& api);

}  // namespace dormivo

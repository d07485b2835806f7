// The real power, session and privilege calls: each forwards to the Windows call of the same name.
#pragma once

#include "platform/power.h"

namespace dormivo::platform {

class Win32PowerApi : public PowerApi {
 public:
  Handle GetCurrentProcess() override;
  bool OpenProcessToken(Handle process, uint32_t desiredAccess, Handle* token) override;
  bool LookupPrivilegeValueA(const char* systemName, const std::string& name, Luid* luid) override;
  bool AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                             const TokenPrivileges* newState, uint32_t bufferLength,
                             TokenPrivileges* previousState, uint32_t* returnLength) override;
  bool CloseHandle(Handle handle) override;
  bool ExitWindowsEx(uint32_t flags, uint32_t reason) override;
  bool SetSystemPowerState(bool suspend, bool force) override;
  intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
  bool LockWorkStation() override;
  bool GetVersionExA(OsVersionInfo* info) override;
};

}  // namespace dormivo::platform

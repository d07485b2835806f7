// Power, session and privilege calls, as the actions use them. Each call mirrors the Windows call
// of the same name with its arguments, so a test can check exactly what was asked and the real
// layer stays a thin forwarder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace dormivo::platform {

// A locally unique identifier (LUID), as LookupPrivilegeValueA gives it for a privilege name.
struct Luid {
  uint32_t lowPart = 0;
  int32_t highPart = 0;
};

// One privilege and its attributes (LUID_AND_ATTRIBUTES).
struct LuidAndAttributes {
  Luid luid;
  uint32_t attributes = 0;
};

// A privilege set of one entry (TOKEN_PRIVILEGES with ANYSIZE_ARRAY 1): 16 bytes, laid out as
// Windows lays it out, so the real layer passes it on unchanged.
struct TokenPrivileges {
  uint32_t privilegeCount = 0;
  LuidAndAttributes privileges[1];
};
static_assert(sizeof(TokenPrivileges) == 16, "a one-entry privilege set is 16 bytes");

// What GetVersionExA reports (OSVERSIONINFOA).
struct OsVersionInfo {
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t platformId = 0;  // 1: the 9x family, 2: the NT family
  std::string csdVersion;
};

class PowerApi {
 public:
  virtual ~PowerApi() = default;

  // The pseudo handle of the running process.
  virtual Handle GetCurrentProcess() = 0;
  // Opens the access token of a process with the given access; *token is set on success.
  virtual bool OpenProcessToken(Handle process, uint32_t desiredAccess, Handle* token) = 0;
  // The LUID of a privilege name on a system; systemName nullptr is the local system.
  virtual bool LookupPrivilegeValueA(const char* systemName, const std::string& name,
                                     Luid* luid) = 0;
  // Changes privileges of a token. previousState (may be nullptr) is a buffer of bufferLength
  // bytes, at most sizeof(TokenPrivileges); *returnLength (may be nullptr) gets the bytes the
  // previous state needs. True when the call returned nonzero, which it also does when the token
  // does not hold the privilege at all (the last-error code then tells so).
  virtual bool AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                     const TokenPrivileges* newState, uint32_t bufferLength,
                                     TokenPrivileges* previousState, uint32_t* returnLength) = 0;
  virtual bool CloseHandle(Handle handle) = 0;

  // Starts logging off, shutting down or restarting; true when the request was accepted.
  virtual bool ExitWindowsEx(uint32_t flags, uint32_t reason) = 0;
  // Suspends (true) or hibernates (false); returns after the system has resumed.
  virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
  virtual intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) = 0;
  virtual bool LockWorkStation() = 0;

  // The operating-system version; false when the query failed.
  virtual bool GetVersionExA(OsVersionInfo* info) = 0;
};

}  // namespace dormivo::platform

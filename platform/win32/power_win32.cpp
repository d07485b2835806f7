#include "platform/win32/power_win32.h"

#include <windows.h>

#include <cstddef>

namespace dormivo::platform {
namespace {

// The portable privilege records are passed to Windows as they are.
static_assert(sizeof(Luid) == sizeof(LUID));
static_assert(offsetof(Luid, lowPart) == offsetof(LUID, LowPart));
static_assert(offsetof(Luid, highPart) == offsetof(LUID, HighPart));
static_assert(sizeof(LuidAndAttributes) == sizeof(LUID_AND_ATTRIBUTES));
static_assert(offsetof(LuidAndAttributes, attributes) == offsetof(LUID_AND_ATTRIBUTES, Attributes));
static_assert(sizeof(TokenPrivileges) == sizeof(TOKEN_PRIVILEGES));
static_assert(offsetof(TokenPrivileges, privileges) == offsetof(TOKEN_PRIVILEGES, Privileges));

HANDLE ToWin(Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
Handle FromWin(HANDLE h) {
  return reinterpret_cast<Handle>(h);
}

}  // namespace

Handle Win32PowerApi::GetCurrentProcess() {
  return FromWin(::GetCurrentProcess());
}

bool Win32PowerApi::OpenProcessToken(Handle process, uint32_t desiredAccess, Handle* token) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(ToWin(process), desiredAccess, &opened))
    return false;
  *token = FromWin(opened);
  return true;
}

bool Win32PowerApi::LookupPrivilegeValueA(const char* systemName, const std::string& name,
                                          Luid* luid) {
  LUID value{};
  if (!::LookupPrivilegeValueA(systemName, name.c_str(), &value))
    return false;
  luid->lowPart = value.LowPart;
  luid->highPart = value.HighPart;
  return true;
}

bool Win32PowerApi::AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                          const TokenPrivileges* newState, uint32_t bufferLength,
                                          TokenPrivileges* previousState, uint32_t* returnLength) {
  // The new state is only read; the Windows declaration lacks the const.
  auto* state = reinterpret_cast<TOKEN_PRIVILEGES*>(const_cast<TokenPrivileges*>(newState));
  DWORD length = returnLength != nullptr ? *returnLength : 0;
  const BOOL ok =
      ::AdjustTokenPrivileges(ToWin(token), disableAllPrivileges ? TRUE : FALSE, state,
                              bufferLength, reinterpret_cast<TOKEN_PRIVILEGES*>(previousState),
                              returnLength != nullptr ? &length : nullptr);
  if (returnLength != nullptr)
    *returnLength = length;
  return ok != FALSE;
}

bool Win32PowerApi::CloseHandle(Handle handle) {
  return ::CloseHandle(ToWin(handle)) != FALSE;
}

bool Win32PowerApi::ExitWindowsEx(uint32_t flags, uint32_t reason) {
  return ::ExitWindowsEx(flags, reason) != FALSE;
}

bool Win32PowerApi::SetSystemPowerState(bool suspend, bool force) {
  return ::SetSystemPowerState(suspend ? TRUE : FALSE, force ? TRUE : FALSE) != FALSE;
}

intptr_t Win32PowerApi::SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
  return ::SendMessageA(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
                        static_cast<LPARAM>(lParam));
}

bool Win32PowerApi::LockWorkStation() {
  return ::LockWorkStation() != FALSE;
}

bool Win32PowerApi::GetVersionExA(OsVersionInfo* info) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version))
    return false;
  info->majorVersion = version.dwMajorVersion;
  info->minorVersion = version.dwMinorVersion;
  info->buildNumber = version.dwBuildNumber;
  info->platformId = version.dwPlatformId;
  info->csdVersion = version.szCSDVersion;
  return true;
}

}  // namespace dormivo::platform

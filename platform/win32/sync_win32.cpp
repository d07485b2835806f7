#include "platform/win32/sync_win32.h"

#include <windows.h>

namespace dormivo::platform {
namespace {

HANDLE ToWin(Handle h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

Handle Win32SyncApi::CreateMutexA(bool initialOwner, const std::string& name) {
  return reinterpret_cast<Handle>(
      ::CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name.empty() ? nullptr : name.c_str()));
}

uint32_t Win32SyncApi::WaitForSingleObject(Handle handle, uint32_t milliseconds) {
  return ::WaitForSingleObject(ToWin(handle), milliseconds);
}

bool Win32SyncApi::ReleaseMutex(Handle mutex) {
  return ::ReleaseMutex(ToWin(mutex)) != FALSE;
}

bool Win32SyncApi::CloseHandle(Handle handle) {
  return ::CloseHandle(ToWin(handle)) != FALSE;
}

void Win32SyncApi::Sleep(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

uint32_t Win32SyncApi::GetTickCount() {
  return ::GetTickCount();
}

}  // namespace dormivo::platform

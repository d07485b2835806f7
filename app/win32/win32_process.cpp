#include "app/win32/win32_process.h"

#include <objbase.h>
#include <windows.h>

#include <vector>

namespace dormivo::win32app {

std::string Win32ProcessApi::GetCommandLineA() {
  const char* line = ::GetCommandLineA();
  return line ? line : "";
}

std::string Win32ProcessApi::GetModuleFileNameA() {
  std::vector<char> path(MAX_PATH);
  while (true) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size())
      return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

int32_t Win32ProcessApi::CoInitialize() {
  return static_cast<int32_t>(::CoInitialize(nullptr));
}

void Win32ProcessApi::CoUninitialize() {
  ::CoUninitialize();
}

void Win32ProcessApi::ExitProcess(uint32_t exitCode) {
  ::ExitProcess(exitCode);
}

}  // namespace dormivo::win32app

#include "platform/win32/system_library.h"

#include <string>

namespace dormivo::platform {

HMODULE LoadSystemLibrary(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return nullptr;
  const std::string path = std::string(folder, length) + "\\" + name;
  // The altered search path resolves the DLL's own dependencies from its folder as well.
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr)
    return;
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr)
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace dormivo::platform

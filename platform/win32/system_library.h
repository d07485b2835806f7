// DLLs outside the set that Windows always loads from its own folder are loaded at run time from
// the system folder by full path, so that a DLL of the same name planted beside the executable
// or in the current folder is never loaded.
#pragma once

#include <windows.h>

namespace dormivo::platform {

// The module of that name from the system folder (loaded once, kept for the life of the
// process), or nullptr.
HMODULE LoadSystemLibrary(const char* name);

// A function of a system DLL, or nullptr when the DLL or the function is missing.
template <typename Function>
Function SystemProc(const char* dll, const char* name) {
  HMODULE module = LoadSystemLibrary(dll);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// Restricts the search of every later DLL load of the process to the system folder, where the
// system offers that (SetDefaultDllDirectories).
void RestrictDllSearchToSystemFolder();

}  // namespace dormivo::platform

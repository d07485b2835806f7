#include "platform/win32/shell_win32.h"

#include <windows.h>

#include <shellapi.h>

namespace dormivo::platform {

int32_t Win32Shell::SHEmptyRecycleBinA(WindowHandle owner, const std::string& rootPath,
                                       uint32_t flags) {
  return ::SHEmptyRecycleBinA(reinterpret_cast<HWND>(owner), rootPath.c_str(), flags);
}

}  // namespace dormivo::platform

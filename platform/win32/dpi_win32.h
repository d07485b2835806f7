// The DPI that Windows gives the screen and a window, for the programs' windows to scale by.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dormivo::platform {

// The system DPI (LOGPIXELSY of the screen), or 96 when it cannot be read.
uint32_t SystemDpi();

// The window's own DPI where Windows has per-monitor DPI (GetDpiForWindow, Windows 10 on),
// otherwise the system DPI.
uint32_t WindowDpi(HWND window);

}  // namespace dormivo::platform

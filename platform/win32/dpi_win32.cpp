#include "platform/win32/dpi_win32.h"

namespace dormivo::platform {

namespace {
constexpr uint32_t kDefaultDpi = 96;  // 100 %
}  // namespace

uint32_t SystemDpi() {
  uint32_t dpi = 0;
  if (HDC screen = GetDC(nullptr)) {
    dpi = static_cast<uint32_t>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : kDefaultDpi;
}

uint32_t WindowDpi(HWND window) {
  // user32 is loaded already; the call exists from Windows 10 on.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = [] {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowFunction>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  const uint32_t dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

}  // namespace dormivo::platform

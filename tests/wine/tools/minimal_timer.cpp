// The yardstick of the start-up benchmarks: the least windowed program with a countdown. It
// creates one hidden window and a one-second timer and exits after the first tick.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    KillTimer(window, 1);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "MinimalTimer";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "MinimalTimer", "Minimal", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, nullptr);
  SetTimer(window, 1, 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  DestroyWindow(window);
  return 0;
}

// The second yardstick of the start-up benchmarks: the least that the executor's start must do.
// Beyond minimal_timer it initialises COM, loads common controls version 6 (its manifest asks for
// them, as the executor's does) and creates the hidden form with the executor's controls, its two
// fonts and its two timers, then exits after the first tick.
#include <windows.h>

#include <commctrl.h>

#include "app/form_design.h"

namespace {

namespace design = dormivo::design;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == design::kTimerEventId) {
    KillTimer(window, design::kTimerEventId);
    KillTimer(window, design::kTimerTerId);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HFONT Font(int height, int weight) {
  return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, design::kFontName);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const HRESULT com = CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "MinimalForm";
  RegisterClassA(&windowClass);
  HWND form = CreateWindowExA(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, "MinimalForm", "Minimal",
                              WS_POPUP | WS_CLIPCHILDREN, 0, 0, design::kClientWidth,
                              design::kClientHeight, nullptr, nullptr, instance, nullptr);
  const HFONT font = Font(design::kFontHeight, FW_NORMAL);
  const HFONT bold = Font(design::kNotifierFontHeight, FW_BOLD);
  struct Child {
    const design::Control& design;
    const char* className;
    DWORD style;
  };
  const Child children[] = {
      {design::kLbAppName, "Static", WS_DISABLED | SS_LEFT},
      {design::kLbNotifier, "Static", SS_LEFT},
      {design::kProgressM, PROGRESS_CLASSA, 0},
      {design::kBtnActivate, "Button", WS_TABSTOP | BS_PUSHBUTTON},
      {design::kBtnDelay, "Button", WS_TABSTOP | BS_PUSHBUTTON},
      {design::kBtnCancel, "Button", WS_TABSTOP | BS_PUSHBUTTON},
  };
  for (const Child& child : children) {
    const design::Control& c = child.design;
    HWND control = CreateWindowExA(
        0, child.className, c.caption, WS_CHILD | WS_VISIBLE | child.style,
        design::kFrameWidth + c.left, design::kFrameWidth + c.top, c.width, c.height, form,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    SendMessageA(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(c.id == IDC_LBNOTIFIER ? bold : font), FALSE);
  }
  SetTimer(form, design::kTimerEventId, design::kTimerEventInterval, nullptr);
  SetTimer(form, design::kTimerTerId, design::kTimerTerInterval, nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  DestroyWindow(form);
  DeleteObject(font);
  DeleteObject(bold);
  if (SUCCEEDED(com))
    CoUninitialize();
  return 0;
}

// A stand-in for the program a person is typing in while the warning appears: a window with a
// multi-line edit control that takes the foreground and the keyboard focus and keeps what was
// typed. The tests read the text back (WM_GETTEXT of the edit control, id 1) and end the program
// with WM_CLOSE.
//   typing_target
#include <windows.h>

namespace {

constexpr char kClassName[] = "DormivoTypingTarget";
constexpr int kEditId = 1;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateWindowExA(
          0, "Edit", "",
          WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0, 0,
          380, 150, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
          reinterpret_cast<const CREATESTRUCTA*>(lParam)->hInstance, nullptr);
      return 0;
    case WM_SETFOCUS:
      SetFocus(GetDlgItem(window, kEditId));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main() {
  WNDCLASSEXA target{};
  target.cbSize = sizeof target;
  target.lpfnWndProc = TargetProc;
  target.hInstance = GetModuleHandleA(nullptr);
  target.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  target.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  target.lpszClassName = kClassName;
  RegisterClassExA(&target);
  // No system menu: a lone Alt does not open one, so every key goes to the edit control. Away
  // from the middle of the screen, where the warning shows.
  HWND window = CreateWindowExA(0, kClassName, "Typing target", WS_OVERLAPPED | WS_CAPTION, 40, 40,
                                400, 200, nullptr, nullptr, target.hInstance, nullptr);
  if (!window)
    return 2;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(GetDlgItem(window, kEditId));
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

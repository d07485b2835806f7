// The executor's windows on Windows: the hidden application window, the notifier form with its
// controls as the design lays them out (scaled to the DPI of the monitor it shows on, and centred
// on the monitor that holds the cursor), the form's message timers kept on a monotonic deadline,
// the cursor confinement, the sound and the message loop. Nothing the person types before turning
// to the form presses one of its buttons: it shows without activation, its initial focus is on no
// button, and keys that reach it in the first second after it was activated other than by a click
// are held back. A click presses the button under it, also the click that activates the form; the
// executor keeps the buttons disabled for the first second after the form appears.
#pragma once

#include <windows.h>

#include <map>

#include "app/form_layout.h"
#include "app/tick_schedule.h"
#include "platform/ui.h"

namespace dormivo::win32app {

class Win32Ui final : public platform::Ui, public platform::WindowFactory {
 public:
  explicit Win32Ui(HINSTANCE instance);
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  // How long after an activation other than by a click the form ignores keys.
  static constexpr uint64_t kKeyGuardMs = 1000;

  // platform::Ui
  // Showing the form places it first: laid out for the DPI of the monitor that holds the cursor,
  // centred in that monitor's work area, on top of the other windows.
  bool ShowWindow(platform::WindowHandle window, int32_t showCommand) override;
  bool IsWindowVisible(platform::WindowHandle window) override;
  bool GetWindowRect(platform::WindowHandle window, platform::Rect* rect) override;
  bool SetWindowTextA(platform::WindowHandle window, const std::string& text) override;
  intptr_t SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
  bool EnableWindow(platform::WindowHandle window, bool enable) override;
  bool ClipCursor(const platform::Rect* rect) override;
  uintptr_t SetTimer(platform::WindowHandle window, uintptr_t id, uint32_t elapse) override;
  bool KillTimer(platform::WindowHandle window, uintptr_t id) override;
  bool PlaySoundA(const char* sound, platform::Handle module, uint32_t flags) override;
  int32_t MessageBoxA(platform::WindowHandle owner, const std::string& text,
                      const std::string& caption, uint32_t type) override;
  void PostQuitMessage(int32_t exitCode) override;
  void ProcessMessages() override;

  // platform::WindowFactory
  platform::WindowHandle CreateApplicationWindow(const std::string& title,
                                                 platform::EventSink& sink) override;
  platform::FormWindows CreateFormWindows(platform::WindowHandle application) override;
  void DestroyWindow(platform::WindowHandle window) override;
  int32_t RunMessageLoop() override;

 private:
  static LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleApplication(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Hands one event to the executor; nothing escapes into the system's window code.
  void Deliver(platform::FormEvent event);
  void OnTimer(HWND window, UINT_PTR id);
  void PaintFrame(HWND window, HDC dc);
  // Fonts, sizes and positions of the form and its controls for `dpi`; the form keeps its
  // top-left corner.
  void ApplyLayout(uint32_t dpi);
  // Lays the form out for `dpi` and centres it in the monitor's work area, topmost.
  void CentreOn(HMONITOR monitor, uint32_t dpi);
  // The form moved to a monitor of another DPI (or the DPI changed): laid out anew and moved to
  // the system's suggested position, the cursor confinement following it.
  void OnDpiChanged(uint32_t dpi, const RECT* suggested);
  // The DPI of a monitor, of a window, and of the system (the fallbacks where the system has no
  // per-monitor DPI).
  uint32_t MonitorDpi(HMONITOR monitor);
  uint32_t WindowDpi(HWND window) const;
  static uint32_t SystemDpi();
  // Whether a keyboard message for the form is dropped: it came within kKeyGuardMs of an
  // activation that was not a click.
  bool KeyHeldBack(const MSG& msg) const;
  // Milliseconds of the monotonic performance counter.
  uint64_t NowMs() const;
  // Dispatches one message, letting the form handle its keyboard navigation and mnemonics.
  void Dispatch(MSG& msg);

  HINSTANCE instance_;
  HWND application_ = nullptr;
  HWND form_ = nullptr;
  HWND focus_ = nullptr;  // the form's control with the keyboard focus while it is inactive
  HWND lbNotifier_ = nullptr;
  FormLayout layout_;
  bool placing_ = false;   // the form is being moved by CentreOn
  uint64_t keysFrom_ = 0;  // NowMs() from which the form takes keys again
  platform::EventSink* sink_ = nullptr;
  HFONT font_ = nullptr;
  HFONT notifierFont_ = nullptr;
  HBRUSH frameBrush_ = nullptr;
  using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  PlaySoundFunction playSound_ = nullptr;
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  GetDpiForWindowFunction getDpiForWindow_ = nullptr;
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  GetDpiForMonitorFunction getDpiForMonitor_ = nullptr;
  bool shcoreLooked_ = false;
  LARGE_INTEGER frequency_{};
  std::map<UINT_PTR, TickSchedule> schedules_;
};

}  // namespace dormivo::win32app

// The executor's windows on Windows: the hidden application window, the notifier form with its
// controls as the design lays them out, the two message timers kept on a monotonic deadline, the
// cursor confinement, the sound and the message loop.
#pragma once

#include <windows.h>

#include <map>

#include "app/tick_schedule.h"
#include "platform/ui.h"

namespace dormivo::win32app {

class Win32Ui final : public platform::Ui, public platform::WindowFactory {
 public:
  explicit Win32Ui(HINSTANCE instance);
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  // platform::Ui
  bool ShowWindow(platform::WindowHandle window, int32_t showCommand) override;
  bool IsWindowVisible(platform::WindowHandle window) override;
  bool GetWindowRect(platform::WindowHandle window, platform::Rect* rect) override;
  bool SetWindowTextA(platform::WindowHandle window, const std::string& text) override;
  intptr_t SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
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
  void PaintFrame(HDC dc);
  // Milliseconds of the monotonic performance counter.
  uint64_t NowMs() const;
  // Dispatches one message, letting the form handle its keyboard navigation and mnemonics.
  void Dispatch(MSG& msg);

  HINSTANCE instance_;
  HWND application_ = nullptr;
  HWND form_ = nullptr;
  HWND focus_ = nullptr;  // the form's control with the keyboard focus while it is inactive
  HWND btnActivate_ = nullptr;
  HWND lbNotifier_ = nullptr;
  platform::EventSink* sink_ = nullptr;
  HFONT font_ = nullptr;
  HFONT notifierFont_ = nullptr;
  HBRUSH frameBrush_ = nullptr;
  using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  PlaySoundFunction playSound_ = nullptr;
  LARGE_INTEGER frequency_{};
  std::map<UINT_PTR, TickSchedule> schedules_;
};

}  // namespace dormivo::win32app

// The user-interface calls the executor makes: its windows, two message timers, the cursor
// confinement, the warning sound and the message boxes. Each call mirrors the Windows call of the
// same name with its arguments, so the native tests drive the form with a fake window and the
// real layer stays a thin forwarder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace dormivo::platform {

// A rectangle in screen coordinates (RECT).
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

class Ui {
 public:
  virtual ~Ui() = default;

  virtual bool ShowWindow(WindowHandle window, int32_t showCommand) = 0;
  virtual bool IsWindowVisible(WindowHandle window) = 0;
  virtual bool GetWindowRect(WindowHandle window, Rect* rect) = 0;
  virtual bool SetWindowTextA(WindowHandle window, const std::string& text) = 0;
  virtual intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) = 0;
  // A disabled control takes no mouse or keyboard input and is drawn greyed.
  virtual bool EnableWindow(WindowHandle window, bool enable) = 0;

  // Confines the cursor to the rectangle; nullptr releases it.
  virtual bool ClipCursor(const Rect* rect) = 0;

  // A WM_TIMER of the given id for the window every `elapse` ms; setting an existing id again
  // restarts it. The real layer keeps each timer's ticks on a monotonic deadline, so that they
  // do not drift.
  virtual uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t elapse) = 0;
  virtual bool KillTimer(WindowHandle window, uintptr_t id) = 0;

  // Plays a sound; `sound` nullptr (with SND_FILENAME) stops the one playing.
  virtual bool PlaySoundA(const char* sound, Handle module, uint32_t flags) = 0;

  virtual int32_t MessageBoxA(WindowHandle owner, const std::string& text,
                              const std::string& caption, uint32_t type) = 0;

  // Ends the message loop with this exit code (WM_QUIT).
  virtual void PostQuitMessage(int32_t exitCode) = 0;
  // Lets the messages already waiting in the queue run, then returns.
  virtual void ProcessMessages() = 0;
};

// What reaches the executor from its windows.
enum class FormEvent {
  TimerEvent,     // WM_TIMER of the one-second countdown
  TimerTer,       // WM_TIMER of the sixty-second watchdog
  TimerButtons,   // WM_TIMER that ends the first second in which the buttons are held
  ActivateClick,  // btnActivate pressed
  DelayClick,     // btnDelay pressed
  CancelClick,    // btnCancel pressed
  EndSession,     // WM_ENDSESSION with wParam TRUE at the application window
};

class EventSink {
 public:
  virtual ~EventSink() = default;
  // Runs the handler of one event. Nothing escapes it.
  virtual void Dispatch(FormEvent event) = 0;
};

// The windows of the notifier form, as its design lays them out.
struct FormWindows {
  WindowHandle form = 0;
  WindowHandle lbAppName = 0;
  WindowHandle lbNotifier = 0;
  WindowHandle progressM = 0;
  WindowHandle btnActivate = 0;
  WindowHandle btnDelay = 0;
  WindowHandle btnCancel = 0;
};

// Creates and destroys the executor's windows and runs its message loop.
class WindowFactory {
 public:
  virtual ~WindowFactory() = default;
  // The hidden top-level application window with the given title; its events and those of the
  // form go to `sink`.
  virtual WindowHandle CreateApplicationWindow(const std::string& title, EventSink& sink) = 0;
  // The notifier form and its controls, owned by the application window and hidden.
  virtual FormWindows CreateFormWindows(WindowHandle application) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  // Runs the message loop until PostQuitMessage; returns its exit code.
  virtual int32_t RunMessageLoop() = 0;
};

}  // namespace dormivo::platform

// A fake desktop for the native tests: the executor's windows with their texts, visibility, enabled
// state, rectangles and progress-bar state (the bar keeps its position within its range, as the
// real control does), the cursor confinement, the message timers on a virtual clock, sounds,
// message boxes, and a message loop that delivers the timers and scripted clicks in time order.
// Every call is recorded with its arguments.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace dormivo::fakes {

class FakeUi final : public platform::Ui, public platform::WindowFactory {
 public:
  // The screen the form is centred on.
  static constexpr int32_t kScreenWidth = 1280;
  static constexpr int32_t kScreenHeight = 1024;

  struct Window {
    std::string className;
    std::string text;
    bool visible = false;
    bool destroyed = false;
    bool enabled = true;
    platform::Rect rect;
    int32_t min = 0;  // progress bars
    int32_t max = 100;
    int32_t pos = 0;
  };

  // What the form looked like right after one tick of the countdown was handled.
  struct TickSnapshot {
    uint64_t time = 0;  // virtual milliseconds since the loop started
    bool formVisible = false;
    bool applicationVisible = false;
    std::string label;
    int32_t position = 0;
    bool clipped = false;
    friend bool operator==(const TickSnapshot&, const TickSnapshot&) = default;
  };

  // --- Script of the message loop (virtual milliseconds since the loop started).
  // Delivers `event` at `time`; timers due at the same moment go first.
  void At(uint64_t time, platform::FormEvent event);
  // Runs `action` at `time` (for looking at the state between ticks).
  void At(uint64_t time, std::function<void()> action);
  // The loop gives up (returning -1) once the virtual clock passes this.
  void SetTimeLimit(uint64_t limit) { timeLimit_ = limit; }
  // Ends the loop at once, as a process that ends does (wired to ExitProcess by the tests).
  void EndLoop() { ended_ = true; }
  // Runs `handler` for every message box instead of answering it at once.
  void OnMessageBox(std::function<void()> handler) { onMessageBox_ = std::move(handler); }

  // --- What happened.
  uint64_t Now() const { return now_; }
  const Window& WindowOf(platform::WindowHandle handle) const { return windows_.at(handle); }
  const platform::FormWindows& Form() const { return form_; }
  platform::WindowHandle Application() const { return application_; }
  const std::optional<platform::Rect>& Clip() const { return clip_; }
  bool TimerRunning(uintptr_t id) const;
  std::optional<int32_t> QuitCode() const { return quit_; }
  const std::vector<TickSnapshot>& Ticks() const { return ticks_; }
  // Times at which each event was delivered.
  std::vector<uint64_t> Delivered(platform::FormEvent event) const;
  // Each call like "ShowWindow(0x200,5)", "PlaySoundA(C:\\a.wav,0,0x20001)",
  // "MessageBoxA(0x100,text,Notifier,0x10)".
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> CallsOf(const std::string& name) const;
  struct MessageBox {
    platform::WindowHandle owner;
    std::string text;
    std::string caption;
    uint32_t type;
  };
  const std::vector<MessageBox>& MessageBoxes() const { return messageBoxes_; }
  int ProcessMessagesCount() const { return processMessages_; }
  TickSnapshot Snapshot() const;

  // platform::Ui
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
  void ProcessMessages() override { ++processMessages_; }

  // platform::WindowFactory
  platform::WindowHandle CreateApplicationWindow(const std::string& title,
                                                 platform::EventSink& sink) override;
  platform::FormWindows CreateFormWindows(platform::WindowHandle application) override;
  void DestroyWindow(platform::WindowHandle window) override;
  int32_t RunMessageLoop() override;

 private:
  struct Timer {
    platform::WindowHandle window;
    uint32_t interval;
    uint64_t due;
    uint64_t order;  // when it was set, for timers due together
  };
  struct Scripted {
    uint64_t time;
    std::optional<platform::FormEvent> event;
    std::function<void()> action;
  };

  platform::WindowHandle Add(const std::string& className, const std::string& text,
                             platform::Rect rect);
  Window& Live(platform::WindowHandle handle);
  void Record(const std::string& call) { calls_.push_back(call); }

  std::map<platform::WindowHandle, Window> windows_;
  platform::WindowHandle nextHandle_ = 0x100;
  platform::WindowHandle application_ = 0;
  platform::FormWindows form_;
  platform::EventSink* sink_ = nullptr;
  std::optional<platform::Rect> clip_;
  std::map<uintptr_t, Timer> timers_;
  uint64_t timerOrder_ = 0;
  std::vector<Scripted> script_;
  std::vector<std::pair<platform::FormEvent, uint64_t>> delivered_;
  std::vector<TickSnapshot> ticks_;
  std::vector<MessageBox> messageBoxes_;
  std::function<void()> onMessageBox_;
  std::vector<std::string> calls_;
  std::optional<int32_t> quit_;
  uint64_t now_ = 0;
  uint64_t timeLimit_ = 4ull * 3600 * 1000;
  bool ended_ = false;
  int processMessages_ = 0;
};

}  // namespace dormivo::fakes

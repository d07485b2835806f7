#include "tests/fakes/fake_ui.h"

#include <algorithm>
#include <stdexcept>

#include "app/form_design.h"
#include "platform/win_constants.h"
#include "tests/fakes/call_text.h"

namespace dormivo::fakes {
namespace {

std::string RectText(const platform::Rect& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + "}";
}

}  // namespace

void FakeUi::At(uint64_t time, platform::FormEvent event) {
  script_.push_back({time, event, {}});
}

void FakeUi::At(uint64_t time, std::function<void()> action) {
  script_.push_back({time, std::nullopt, std::move(action)});
}

bool FakeUi::TimerRunning(uintptr_t id) const {
  return timers_.count(id) != 0;
}

std::vector<uint64_t> FakeUi::Delivered(platform::FormEvent event) const {
  std::vector<uint64_t> times;
  for (const auto& [delivered, time] : delivered_) {
    if (delivered == event)
      times.push_back(time);
  }
  return times;
}

std::vector<std::string> FakeUi::CallsOf(const std::string& name) const {
  std::vector<std::string> out;
  for (const std::string& call : calls_) {
    if (call.compare(0, name.size() + 1, name + "(") == 0)
      out.push_back(call);
  }
  return out;
}

FakeUi::TickSnapshot FakeUi::Snapshot() const {
  TickSnapshot s;
  s.time = now_;
  s.formVisible = windows_.at(form_.form).visible;
  s.applicationVisible = windows_.at(application_).visible;
  s.label = windows_.at(form_.lbNotifier).text;
  s.position = windows_.at(form_.progressM).pos;
  s.clipped = clip_.has_value();
  return s;
}

platform::WindowHandle FakeUi::Add(const std::string& className, const std::string& text,
                                   platform::Rect rect) {
  const platform::WindowHandle handle = nextHandle_;
  nextHandle_ += 0x10;
  Window& w = windows_[handle];
  w.className = className;
  w.text = text;
  w.rect = rect;
  return handle;
}

FakeUi::Window& FakeUi::Live(platform::WindowHandle handle) {
  auto it = windows_.find(handle);
  if (it == windows_.end() || it->second.destroyed)
    throw std::logic_error("no window " + Hex(handle));
  return it->second;
}

bool FakeUi::ShowWindow(platform::WindowHandle window, int32_t showCommand) {
  Record("ShowWindow(" + Hex(window) + "," + std::to_string(showCommand) + ")");
  Window& w = Live(window);
  const bool was = w.visible;
  w.visible = showCommand != win::kSwHide;
  return was;
}

bool FakeUi::IsWindowVisible(platform::WindowHandle window) {
  auto it = windows_.find(window);
  return it != windows_.end() && !it->second.destroyed && it->second.visible;
}

bool FakeUi::GetWindowRect(platform::WindowHandle window, platform::Rect* rect) {
  Record("GetWindowRect(" + Hex(window) + ")");
  *rect = Live(window).rect;
  return true;
}

bool FakeUi::SetWindowTextA(platform::WindowHandle window, const std::string& text) {
  Record("SetWindowTextA(" + Hex(window) + "," + text + ")");
  Live(window).text = text;
  return true;
}

intptr_t FakeUi::SendMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam) {
  Record("SendMessageA(" + Hex(window) + "," + Hex(message) + "," +
         std::to_string(static_cast<int32_t>(wParam)) + "," +
         std::to_string(static_cast<int32_t>(lParam)) + ")");
  Window& w = Live(window);
  if (w.className != "msctls_progress32")
    return 0;
  const auto clamp = [&w](int32_t value) {
    return std::clamp(value, w.min, std::max(w.min, w.max));
  };
  switch (message) {
    case win::kPbmSetPos: {
      const int32_t previous = w.pos;
      w.pos = clamp(static_cast<int32_t>(wParam));
      return previous;
    }
    case win::kPbmGetPos:
      return w.pos;
    case win::kPbmSetRange32:
      w.min = static_cast<int32_t>(wParam);
      w.max = static_cast<int32_t>(lParam);
      w.pos = clamp(w.pos);
      return 0;
    default:
      return 0;
  }
}

bool FakeUi::EnableWindow(platform::WindowHandle window, bool enable) {
  Record("EnableWindow(" + Hex(window) + "," + (enable ? "1" : "0") + ")");
  Window& w = Live(window);
  const bool wasDisabled = !w.enabled;
  w.enabled = enable;
  return wasDisabled;
}

bool FakeUi::ClipCursor(const platform::Rect* rect) {
  Record(rect ? "ClipCursor(" + RectText(*rect) + ")" : "ClipCursor(null)");
  if (rect)
    clip_ = *rect;
  else
    clip_.reset();
  return true;
}

uintptr_t FakeUi::SetTimer(platform::WindowHandle window, uintptr_t id, uint32_t elapse) {
  Record("SetTimer(" + Hex(window) + "," + std::to_string(id) + "," + std::to_string(elapse) + ")");
  Live(window);
  timers_[id] = Timer{window, elapse, now_ + elapse, timerOrder_++};
  return id;
}

bool FakeUi::KillTimer(platform::WindowHandle window, uintptr_t id) {
  Record("KillTimer(" + Hex(window) + "," + std::to_string(id) + ")");
  return timers_.erase(id) != 0;
}

bool FakeUi::PlaySoundA(const char* sound, platform::Handle module, uint32_t flags) {
  Record(std::string("PlaySoundA(") + (sound ? sound : "null") + "," + Hex(module) + "," +
         Hex(flags) + ")");
  return true;
}

int32_t FakeUi::MessageBoxA(platform::WindowHandle owner, const std::string& text,
                            const std::string& caption, uint32_t type) {
  Record("MessageBoxA(" + Hex(owner) + "," + text + "," + caption + "," + Hex(type) + ")");
  messageBoxes_.push_back({owner, text, caption, type});
  if (onMessageBox_)
    onMessageBox_();
  return win::kIdOk;
}

void FakeUi::PostQuitMessage(int32_t exitCode) {
  Record("PostQuitMessage(" + std::to_string(exitCode) + ")");
  if (!quit_)
    quit_ = exitCode;
}

platform::WindowHandle FakeUi::CreateApplicationWindow(const std::string& title,
                                                       platform::EventSink& sink) {
  Record("CreateApplicationWindow(" + title + ")");
  sink_ = &sink;
  const int32_t x = kScreenWidth / 2;
  const int32_t y = kScreenHeight / 2;
  application_ = Add(design::kApplicationClass, title, {x, y, x, y});
  return application_;
}

platform::FormWindows FakeUi::CreateFormWindows(platform::WindowHandle application) {
  Record("CreateFormWindows(" + Hex(application) + ")");
  Live(application);
  const int32_t left = (kScreenWidth - design::kClientWidth) / 2;
  const int32_t top = (kScreenHeight - design::kClientHeight) / 2;
  form_.form = Add(design::kFormClass, design::kFormCaption,
                   {left, top, left + design::kClientWidth, top + design::kClientHeight});
  const auto child = [&](const design::Control& c, const char* className) {
    const int32_t x = left + design::kFrameWidth + c.left;
    const int32_t y = top + design::kFrameWidth + c.top;
    const platform::WindowHandle h = Add(className, c.caption, {x, y, x + c.width, y + c.height});
    windows_[h].visible = true;
    return h;
  };
  form_.lbAppName = child(design::kLbAppName, "Static");
  form_.lbNotifier = child(design::kLbNotifier, "Static");
  form_.progressM = child(design::kProgressM, "msctls_progress32");
  windows_[form_.progressM].max = design::kProgressDesignMax;
  form_.btnActivate = child(design::kBtnActivate, "Button");
  form_.btnDelay = child(design::kBtnDelay, "Button");
  form_.btnCancel = child(design::kBtnCancel, "Button");
  return form_;
}

void FakeUi::DestroyWindow(platform::WindowHandle window) {
  Record("DestroyWindow(" + Hex(window) + ")");
  Window& w = Live(window);
  w.destroyed = true;
  w.visible = false;
  if (window == form_.form) {
    for (platform::WindowHandle child : {form_.lbAppName, form_.lbNotifier, form_.progressM,
                                         form_.btnActivate, form_.btnDelay, form_.btnCancel}) {
      windows_[child].destroyed = true;
    }
    for (auto it = timers_.begin(); it != timers_.end();) {
      it = it->second.window == window ? timers_.erase(it) : std::next(it);
    }
  }
}

int32_t FakeUi::RunMessageLoop() {
  Record("RunMessageLoop()");
  while (!quit_ && !ended_) {
    auto timer = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (timer == timers_.end() || it->second.due < timer->second.due ||
          (it->second.due == timer->second.due && it->second.order < timer->second.order)) {
        timer = it;
      }
    }
    auto scripted = script_.end();
    for (auto it = script_.begin(); it != script_.end(); ++it) {
      if (scripted == script_.end() || it->time < scripted->time)
        scripted = it;
    }
    const bool useScript =
        scripted != script_.end() && (timer == timers_.end() || scripted->time < timer->second.due);
    if (!useScript && timer == timers_.end())
      return -1;  // nothing would ever happen again
    const uint64_t time = useScript ? scripted->time : timer->second.due;
    if (time > timeLimit_)
      return -1;
    now_ = std::max(now_, time);
    if (useScript) {
      Scripted item = std::move(*scripted);
      script_.erase(scripted);
      if (item.event) {
        delivered_.emplace_back(*item.event, now_);
        sink_->Dispatch(*item.event);
      } else {
        item.action();
      }
    } else {
      const uintptr_t id = timer->first;
      timer->second.due += timer->second.interval;
      const auto event = id == design::kTimerEventId     ? platform::FormEvent::TimerEvent
                         : id == design::kTimerButtonsId ? platform::FormEvent::TimerButtons
                                                         : platform::FormEvent::TimerTer;
      delivered_.emplace_back(event, now_);
      sink_->Dispatch(event);
      if (event == platform::FormEvent::TimerEvent)
        ticks_.push_back(Snapshot());
    }
  }
  return quit_ ? *quit_ : 0;
}

}  // namespace dormivo::fakes

#include "app/components.h"

#include "platform/exception.h"
#include "platform/win_constants.h"

namespace dormivo {

void TLabel::SetCaption(const std::string& caption) {
  ui_.SetWindowTextA(window_, caption);
}

void TProgressBar::SetMax(int32_t value) {
  if (value < min_)
    throw Exception(std::string(kClassName) + " property out of range");
  max_ = value;
  ui_.SendMessageA(window_, win::kPbmSetRange32, static_cast<uintptr_t>(min_), max_);
}

int32_t TProgressBar::Position() {
  return static_cast<int32_t>(ui_.SendMessageA(window_, win::kPbmGetPos, 0, 0));
}

void TProgressBar::SetPosition(int32_t value) {
  ui_.SendMessageA(window_, win::kPbmSetPos, static_cast<uintptr_t>(static_cast<uint32_t>(value)),
                   0);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  if (enabled)
    ui_.SetTimer(window_, id_, interval_);
  else
    ui_.KillTimer(window_, id_);
}

void TJvWavePlayer::Play() {
  if (fileName_.empty())
    return;
  ui_.PlaySoundA(fileName_.c_str(), 0, win::kSndFilename | win::kSndAsync);
}

void TJvWavePlayer::Destroy() {
  ui_.PlaySoundA(nullptr, 0, win::kSndFilename);
}

}  // namespace dormivo

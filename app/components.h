// The components of the notifier form, each reaching its window through the platform's user
// interface: a label, the progress bar, a message timer and the wave player.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"

namespace dormivo {

// A static text.
class TLabel {
 public:
  TLabel(platform::Ui& ui, platform::WindowHandle window) : ui_(ui), window_(window) {}
  void SetCaption(const std::string& caption);

 private:
  platform::Ui& ui_;
  platform::WindowHandle window_;
};

// A progress bar with the range Min to Max. The control keeps its position within the range;
// the component never clamps it.
class TProgressBar {
 public:
  static constexpr char kClassName[] = "TProgressBar";

  TProgressBar(platform::Ui& ui, platform::WindowHandle window, int32_t min, int32_t max)
      : ui_(ui), window_(window), min_(min), max_(max) {}
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  // Raises "TProgressBar property out of range" when the new maximum lies below Min.
  void SetMax(int32_t value);
  int32_t Position();
  void SetPosition(int32_t value);

 private:
  platform::Ui& ui_;
  platform::WindowHandle window_;
  int32_t min_;
  int32_t max_;
};

// A timer delivering WM_TIMER with its id to the form's window while enabled.
class TTimer {
 public:
  TTimer(platform::Ui& ui, platform::WindowHandle window, uintptr_t id, uint32_t interval)
      : ui_(ui), window_(window), id_(id), interval_(interval) {}
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

 private:
  platform::Ui& ui_;
  platform::WindowHandle window_;
  uintptr_t id_;
  uint32_t interval_;
  bool enabled_ = false;
};

// Plays a wave file by name, asynchronously and once.
class TJvWavePlayer {
 public:
  explicit TJvWavePlayer(platform::Ui& ui) : ui_(ui) {}
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }
  // PlaySoundA(FileName, no module, SND_FILENAME | SND_ASYNC); nothing when FileName is empty.
  void Play();
  // What destroying the player does: stops any sound with PlaySoundA(no name, no module,
  // SND_FILENAME).
  void Destroy();

 private:
  platform::Ui& ui_;
  std::string fileName_;
};

}  // namespace dormivo

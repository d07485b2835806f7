// The notifier form frmExecute: the countdown, the warning window with its three buttons and
// sound, the watchdog, and the execution sequence at the end of the countdown.
#pragma once

#include <cstdint>
#include <string>

#include "app/components.h"
#include "app/execution_steps.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/ui.h"
#include "storage/uIniOption.h"

namespace dormivo {

// What the form asks of the application object that owns it.
class FormOwner {
 public:
  virtual ~FormOwner() = default;
  // The hidden application window.
  virtual platform::WindowHandle ApplicationHandle() const = 0;
  // The platform family read at process start.
  virtual uint32_t PlatformFamily() const = 0;
  // Ends the message loop; the process then ends in order with exit code 0.
  virtual void Terminate() = 0;
  // Ends the process at once with the exit code, through the normal clean-up.
  virtual void Halt(uint32_t exitCode) = 0;
};

// Everything the form reaches outside itself.
struct FormContext {
  platform::Ui& ui;
  platform::ProcessApi& process;
  platform::FileSystem& files;
  const platform::AnsiText& codePage;
  ExecutorSettings& settings;  // the process-wide record, filled by FormCreate
  ExecutionSteps& steps;
  FormOwner& owner;
};

// "<action name> will be executed in <seconds> seconds. " (with the trailing blank).
std::string NotifierText(const std::string& actionName, int32_t seconds);

// The folder part of a path, up to and including its last backslash or colon; a backslash that
// is the second byte of a double-byte character does not count.
std::string ExtractFilePath(const std::string& path, const platform::AnsiText& codePage);

class TfrmExecute {
 public:
  TfrmExecute(FormContext& context, const platform::FormWindows& windows);
  TfrmExecute(const TfrmExecute&) = delete;
  TfrmExecute& operator=(const TfrmExecute&) = delete;

  // Run state.
  std::string AppFolder;
  int32_t ActionIndex = 0;
  int32_t SecondsLeft = 0;
  int32_t MinutesLeft = 0;
  std::string TaskTitle;

  // Components.
  TLabel lbNotifier;
  TProgressBar ProgressM;
  TTimer TimerEvent;
  TTimer TimerTer;
  TTimer TimerButtons;  // ends the first second of a warning, in which its buttons are held
  TJvWavePlayer WavPlayer;

  platform::WindowHandle Handle() const { return windows_.form; }
  // Whether the form is on the screen.
  bool Showing();
  void Show();
  void Hide();

  // Event handlers.
  void FormCreate();
  void TimerEventTimer();
  void TimerTerTimer();
  void TimerButtonsTimer();
  void btnActivateClick();
  void btnDelayClick();
  void btnCancelClick();
  void FormDestroy();

  void ShowNotifier();
  void RunExecution();
  bool ExecuteAction(int32_t index);

  // Whether the buttons press nothing yet: the warning appeared less than a second ago.
  bool ButtonsHeld() const { return TimerButtons.Enabled(); }

 private:
  // Disables the three buttons and starts the second after which TimerButtonsTimer enables them.
  void HoldButtons();
  void EnableButtons(bool enable);
  // Whether the third command-line argument is exactly "-c"; read again at each use.
  bool NotifyAndClean();
  std::string ParamStr(int index);

  FormContext& context_;
  platform::FormWindows windows_;
};

}  // namespace dormivo

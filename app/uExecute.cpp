#include "app/uExecute.h"

#include "actions/uShowdownLib.h"
#include "app/command_line.h"
#include "app/form_design.h"
#include "cleaning/uFunction.h"
#include "platform/win_constants.h"

namespace dormivo {
namespace {

// The countdown's arithmetic is that of 32-bit integers: it wraps instead of overflowing, so
// extreme values of NotifyTimer behave predictably.
int32_t Minus(int32_t value, int32_t amount) {
  return static_cast<int32_t>(static_cast<uint32_t>(value) - static_cast<uint32_t>(amount));
}

}  // namespace

std::string NotifierText(const std::string& actionName, int32_t seconds) {
  return actionName + " will be executed in " + std::to_string(seconds) + " seconds. ";
}

std::string ExtractFilePath(const std::string& path, const platform::AnsiText& codePage) {
  size_t end = 0;  // one past the last delimiter
  for (size_t i = 0; i < path.size();) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (path[i] == '\\' || path[i] == ':') {
      end = i + 1;
      ++i;
    } else if (codePage.IsDBCSLeadByte(byte) && i + 1 < path.size()) {
      i += 2;
    } else {
      ++i;
    }
  }
  return path.substr(0, end);
}

TfrmExecute::TfrmExecute(FormContext& context, const platform::FormWindows& windows)
    : lbNotifier(context.ui, windows.lbNotifier),
      ProgressM(context.ui, windows.progressM, 0, design::kProgressDesignMax),
      TimerEvent(context.ui, windows.form, design::kTimerEventId, design::kTimerEventInterval),
      TimerTer(context.ui, windows.form, design::kTimerTerId, design::kTimerTerInterval),
      TimerButtons(context.ui, windows.form, design::kTimerButtonsId, design::kButtonsHeldMs),
      WavPlayer(context.ui),
      context_(context),
      windows_(windows) {}

std::string TfrmExecute::ParamStr(int index) {
  return dormivo::ParamStr(context_.process.GetCommandLineA(), index,
                           context_.process.GetModuleFileNameA(), context_.codePage);
}

bool TfrmExecute::NotifyAndClean() {
  return ParamStr(3) == "-c";
}

bool TfrmExecute::Showing() {
  return context_.ui.IsWindowVisible(windows_.form);
}

// The application window is visible, as the process's taskbar button, exactly while the form is.
// The warning appears without taking the keyboard from the program the person is typing in: an
// Enter or a Space meant for that program must never press one of its buttons. For its first
// second the buttons are disabled as well, so that a click that was aimed at what was there a
// moment before lands on a greyed button and presses nothing.
void TfrmExecute::Show() {
  HoldButtons();
  context_.ui.ShowWindow(windows_.form, win::kSwShowNoActivate);
  context_.ui.ShowWindow(context_.owner.ApplicationHandle(), win::kSwShowNoActivate);
}

void TfrmExecute::Hide() {
  context_.ui.ShowWindow(windows_.form, win::kSwHide);
  context_.ui.ShowWindow(context_.owner.ApplicationHandle(), win::kSwHide);
}

void TfrmExecute::HoldButtons() {
  EnableButtons(false);
  // Restarted when the form shows again before a running second has ended.
  TimerButtons.SetEnabled(false);
  TimerButtons.SetEnabled(true);
}

void TfrmExecute::EnableButtons(bool enable) {
  for (platform::WindowHandle button :
       {windows_.btnActivate, windows_.btnDelay, windows_.btnCancel}) {
    context_.ui.EnableWindow(button, enable);
  }
}

void TfrmExecute::TimerButtonsTimer() {
  TimerButtons.SetEnabled(false);
  EnableButtons(true);
}

void TfrmExecute::FormCreate() {
  AppFolder = AddTrailingBackslash(
      ExtractFilePath(context_.process.GetModuleFileNameA(), context_.codePage));
  ActionIndex = ActionIndexFromArgument(ParamStr(1));
  TaskTitle = ParamStr(2);
  LoadSettings(AppFolder, context_.settings, context_.files, context_.codePage);
  const int32_t notifyTimer = context_.settings.NotifyTimer;
  SecondsLeft = notifyTimer;
  MinutesLeft = notifyTimer / 60 + 2;
  TimerEvent.SetEnabled(true);
  TimerTer.SetEnabled(true);
  ProgressM.SetMax(notifyTimer);
  lbNotifier.SetCaption(
      NotifierText(ActionName(static_cast<uint32_t>(ActionIndex)), Minus(SecondsLeft, 1)));
  context_.ui.ProcessMessages();
}

void TfrmExecute::TimerEventTimer() {
  if (Showing()) {
    ProgressM.SetPosition(Minus(ProgressM.Position(), 1));
    lbNotifier.SetCaption(
        NotifierText(ActionName(static_cast<uint32_t>(ActionIndex)), Minus(SecondsLeft, 1)));
  }
  if (SecondsLeft == context_.settings.NotifyTimer && NotifyAndClean())
    ShowNotifier();
  SecondsLeft = Minus(SecondsLeft, 1);
  // Only exactly zero runs the sequence: a countdown already below zero never does.
  if (SecondsLeft == 0)
    RunExecution();
}

void TfrmExecute::ShowNotifier() {
  const ExecutorSettings& settings = context_.settings;
  if (settings.Notify && !Showing()) {
    ProgressM.SetPosition(Minus(settings.NotifyTimer, 1));
    Show();
    platform::Rect bounds;
    context_.ui.GetWindowRect(windows_.form, &bounds);
    context_.ui.ClipCursor(&bounds);
  }
  if (settings.PlaySound) {
    WavPlayer.SetFileName(settings.SoundFileName);
    WavPlayer.Play();
  }
}

void TfrmExecute::RunExecution() {
  // Any failure ends the sequence where it was raised, silently: a failed cleaning stage skips
  // the log and the action, a failed log skips the action. The process ends in every case.
  try {
    TimerEvent.SetEnabled(false);
    Hide();  // the cursor confinement ends with the process
    if (NotifyAndClean())
      context_.steps.CleaningStage(windows_.form, context_.settings);
    context_.steps.WriteLog(AppFolder + "Log.dat", TaskTitle,
                            ActionName(static_cast<uint32_t>(ActionIndex)));
    if (ActionIndex >= 0 && ActionIndex <= 7)
      ExecuteAction(ActionIndex);
  } catch (...) {
  }
  context_.owner.Terminate();
}

bool TfrmExecute::ExecuteAction(int32_t index) {
  return context_.steps.ExecuteAction(static_cast<uint32_t>(index), context_.settings.Force,
                                      context_.owner.PlatformFamily(),
                                      context_.owner.ApplicationHandle());
}

void TfrmExecute::TimerTerTimer() {
  MinutesLeft = Minus(MinutesLeft, 1);
  // Exactly zero ends the process for every NotifyTimer above -120. From -120 down the count
  // starts at zero or below and would never reach zero: such a run ends at the first watchdog
  // tick instead.
  if (MinutesLeft <= 0)
    context_.owner.Halt(0);
}

void TfrmExecute::btnActivateClick() {
  if (ButtonsHeld())
    return;  // a disabled button presses nothing, whatever sent the press
  context_.ui.ClipCursor(nullptr);
  Hide();
  SecondsLeft = 1;
}

void TfrmExecute::btnDelayClick() {
  if (ButtonsHeld())
    return;
  context_.ui.ClipCursor(nullptr);
  Hide();
  SecondsLeft = 600;
  MinutesLeft = 12;
}

void TfrmExecute::btnCancelClick() {
  if (ButtonsHeld())
    return;
  TimerEvent.SetEnabled(false);
  TimerTer.SetEnabled(false);
  context_.owner.Terminate();
}

void TfrmExecute::FormDestroy() {
  TimerEvent.SetEnabled(false);
  context_.ui.ClipCursor(nullptr);
}

}  // namespace dormivo

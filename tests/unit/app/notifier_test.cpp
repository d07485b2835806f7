// The whole executor from process start to exit code, against the fake desktop, process, power
// calls, file system and execution stages, with the message loop on a virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/form_design.h"
#include "platform/win_constants.h"
#include "tests/fakes/fake_execution_steps.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_power.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_ui.h"

namespace dormivo {
namespace {

using platform::FormEvent;

constexpr char kFolder[] = "C:\\Dormivo\\";

// Settings.dat with the given lines under [Settings].
std::string SettingsFile(const std::vector<std::string>& lines) {
  std::string text = "[Settings]\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct Process {
  fakes::FakeUi ui;
  fakes::FakeProcess process;
  fakes::FakePower power;
  fakes::FakeFileSystem files;
  platform::AsciiText codePage;
  fakes::FakeExecutionSteps steps;
  NotifierPlatform platform{ui, ui, process, power, files, codePage};
  TApplication app{platform, steps};
  // When each stage was called, on the virtual clock.
  std::vector<std::pair<std::string, uint64_t>> stageTimes;

  Process(const std::string& arguments, const std::vector<std::string>& settings) {
    process.commandLine = "Notifier.exe " + arguments;
    process.modulePath = std::string(kFolder) + "Notifier.exe";
    files.AddFolder("C:\\Dormivo");
    files.AddFile(std::string(kFolder) + "Notifier.exe", "MZ");
    files.AddFile(std::string(kFolder) + "Settings.dat", SettingsFile(settings));
    process.onExit = [this](uint32_t) { ui.EndLoop(); };
    steps.onCall = [this](const std::string& stage) { stageTimes.emplace_back(stage, ui.Now()); };
  }
  int32_t Start() { return app.Run(); }
  std::string Label() const { return ui.WindowOf(ui.Form().lbNotifier).text; }
};

std::string Text(const char* action, int seconds) {
  return NotifierText(action, seconds);
}

// The ticks of a ten-second countdown whose window shows from the first tick on.
std::vector<fakes::FakeUi::TickSnapshot> ShownTicks(const char* action) {
  std::vector<fakes::FakeUi::TickSnapshot> ticks;
  for (int k = 1; k <= 10; ++k) {
    const bool last = k == 10;
    ticks.push_back({static_cast<uint64_t>(k) * 1000, !last, !last,
                     Text(action, k == 1 ? 9 : 10 - k), 10 - k, true});
  }
  return ticks;
}

// The ticks of a ten-second countdown with no window.
std::vector<fakes::FakeUi::TickSnapshot> HiddenTicks(const char* action) {
  std::vector<fakes::FakeUi::TickSnapshot> ticks;
  for (int k = 1; k <= 10; ++k) {
    ticks.push_back({static_cast<uint64_t>(k) * 1000, false, false, Text(action, 9), 0, false});
  }
  return ticks;
}

TEST(Notifier, RunsTheCountdownTickByTick) {
  struct Row {
    const char* name;
    std::string arguments;
    std::vector<std::string> settings;
    std::vector<fakes::FakeUi::TickSnapshot> ticks;
    std::vector<std::string> sounds;
    std::vector<std::string> stages;
  };
  const std::string log = std::string("WriteLog(") + kFolder + "Log.dat|";
  const Row rows[] = {
      {"no -c: no window, no sound, no cleaning",
       "5 Backup",
       {"PlaySound=1", "SoundFileName=C:\\w.wav"},
       HiddenTicks("Turn Monitor Off"),
       {"PlaySoundA(null,0x0,0x20000)"},
       {log + "Backup|Turn Monitor Off)", "ExecuteAction(5,force=1,family=2,app=0x100)"}},
      {"-c: window from the first tick, counting down",
       "6 \"Nightly backup\" -c",
       {},
       ShownTicks("Lock Work Station"),
       {"PlaySoundA(null,0x0,0x20000)"},
       {"CleaningStage(0x110)", log + "Nightly backup|Lock Work Station)",
        "ExecuteAction(6,force=1,family=2,app=0x100)"}},
      {"-c with PlaySound: the sound once at the first tick",
       "7 t -c",
       {"PlaySound=1", "SoundFileName=C:\\Media\\chimes.wav"},
       ShownTicks("Screen Save"),
       {"PlaySoundA(C:\\Media\\chimes.wav,0x0,0x20001)", "PlaySoundA(null,0x0,0x20000)"},
       {"CleaningStage(0x110)", log + "t|Screen Save)",
        "ExecuteAction(7,force=1,family=2,app=0x100)"}},
      {"-c with Notify false: no window, but the sound and the cleaning",
       "7 t -c",
       {"Notify=0", "PlaySound=1", "SoundFileName=C:\\w.wav"},
       HiddenTicks("Screen Save"),
       {"PlaySoundA(C:\\w.wav,0x0,0x20001)", "PlaySoundA(null,0x0,0x20000)"},
       {"CleaningStage(0x110)", log + "t|Screen Save)",
        "ExecuteAction(7,force=1,family=2,app=0x100)"}},
      {"PlaySound with an empty file name plays nothing",
       "7 t -c",
       {"PlaySound=1"},
       ShownTicks("Screen Save"),
       {"PlaySoundA(null,0x0,0x20000)"},
       {"CleaningStage(0x110)", log + "t|Screen Save)",
        "ExecuteAction(7,force=1,family=2,app=0x100)"}},
      {"-C is not -c",
       "0 t -C",
       {"Force=0"},
       HiddenTicks("Power Off"),
       {"PlaySoundA(null,0x0,0x20000)"},
       {log + "t|Power Off)", "ExecuteAction(0,force=0,family=2,app=0x100)"}},
      {"/c is not -c",
       "1 t /c",
       {},
       HiddenTicks("Restart"),
       {"PlaySoundA(null,0x0,0x20000)"},
       {log + "t|Restart)", "ExecuteAction(1,force=1,family=2,app=0x100)"}},
      {"-cc is not -c",
       "4 t -cc",
       {},
       HiddenTicks("Log out"),
       {"PlaySoundA(null,0x0,0x20000)"},
       {log + "t|Log out)", "ExecuteAction(4,force=1,family=2,app=0x100)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Process run(row.arguments, row.settings);
    EXPECT_EQ(run.Start(), 0);
    EXPECT_EQ(run.ui.Ticks(), row.ticks);
    EXPECT_EQ(run.ui.CallsOf("PlaySoundA"), row.sounds);
    EXPECT_EQ(run.steps.Calls(), row.stages);
    ASSERT_FALSE(run.stageTimes.empty());
    for (const auto& [stage, time] : run.stageTimes) EXPECT_EQ(time, 10000u) << stage;
    EXPECT_EQ(run.ui.QuitCode(), 0);
    EXPECT_FALSE(run.process.ExitCode().has_value());
    EXPECT_TRUE(run.ui.MessageBoxes().empty());
    EXPECT_FALSE(run.ui.Clip().has_value()) << "released when the form is destroyed";
  }
}

TEST(Notifier, StartsInOrderAndCleansUpInOrder) {
  Process run("5 t", {});
  EXPECT_EQ(run.Start(), 0);
  const std::vector<std::string> expected = {
      "CreateApplicationWindow(Notifier)",
      "CreateFormWindows(0x100)",
      "SetTimer(0x110,1,1000)",
      "SetTimer(0x110,2,60000)",
      "SendMessageA(0x140,0x406,0,10)",
      "SetWindowTextA(0x130,Turn Monitor Off will be executed in 9 seconds. )",
      "RunMessageLoop()",
  };
  std::vector<std::string> start(run.ui.Calls().begin(), run.ui.Calls().begin() + 7);
  EXPECT_EQ(start, expected);
  EXPECT_EQ(run.ui.ProcessMessagesCount(), 1);
  // TimerEvent was already stopped by the sequence; destroying the form stops the watchdog.
  const std::vector<std::string> end(run.ui.Calls().end() - 5, run.ui.Calls().end());
  EXPECT_EQ(end, (std::vector<std::string>{"PostQuitMessage(0)", "ClipCursor(null)",
                                           "PlaySoundA(null,0x0,0x20000)", "DestroyWindow(0x110)",
                                           "DestroyWindow(0x100)"}));
  // The version is read twice (platform family, sampling unit) before COM and the windows.
  EXPECT_EQ(run.power.Calls(), (std::vector<std::string>{"GetVersionExA()", "GetVersionExA()"}));
  EXPECT_EQ(run.process.Calls(), (std::vector<std::string>{"CoInitialize", "CoUninitialize"}));
  EXPECT_EQ(run.app.Settings().NotifyTimer, 10);
}

TEST(Notifier, FailedComInitialisationIsNotUndone) {
  Process run("5 t", {"NotifyTimer=1"});
  run.process.coInitializeResult = static_cast<int32_t>(0x80004005u);
  EXPECT_EQ(run.Start(), 0);
  EXPECT_EQ(run.process.Calls(), std::vector<std::string>{"CoInitialize"});
  EXPECT_EQ(run.steps.Calls().size(), 2u);
}

TEST(Notifier, ActivateRunsTheSequenceOnTheNextTick) {
  Process run("6 t -c", {});
  fakes::FakeUi::TickSnapshot afterClick;
  run.ui.At(3500, FormEvent::ActivateClick);
  run.ui.At(3600, [&] { afterClick = run.ui.Snapshot(); });
  EXPECT_EQ(run.Start(), 0);
  EXPECT_FALSE(afterClick.formVisible);
  EXPECT_FALSE(afterClick.applicationVisible);
  EXPECT_FALSE(afterClick.clipped);
  EXPECT_EQ(run.ui.Delivered(FormEvent::TimerEvent),
            (std::vector<uint64_t>{1000, 2000, 3000, 4000}));
  ASSERT_EQ(run.stageTimes.size(), 3u);
  EXPECT_EQ(run.stageTimes.back(), (std::pair<std::string, uint64_t>{"ExecuteAction", 4000}));
  // The window did not come back at the executing tick.
  EXPECT_EQ(run.ui.CallsOf("ClipCursor").size(), 3u);  // confine, Activate, FormDestroy
}

TEST(Notifier, ActivateWithNotifyTimerOneShowsTheWindowAgainThenExecutes) {
  // Pressed before the first tick, so SecondsLeft is 1 = NotifyTimer at the next tick.
  Process run("5 t -c", {"NotifyTimer=1"});
  run.ui.At(500, FormEvent::ActivateClick);
  bool shownAtCleaning = true;
  bool clippedAtCleaning = false;
  run.steps.onCall = [&](const std::string& stage) {
    run.stageTimes.emplace_back(stage, run.ui.Now());
    if (stage == "CleaningStage") {
      shownAtCleaning = run.ui.IsWindowVisible(run.ui.Form().form);
      clippedAtCleaning = run.ui.Clip().has_value();
    }
  };
  EXPECT_EQ(run.Start(), 0);
  const std::vector<std::string> shows = run.ui.CallsOf("ShowWindow");
  // Activate hides; the tick shows the window and the application window, neither taking the
  // keyboard, then the sequence hides both.
  EXPECT_EQ(shows, (std::vector<std::string>{"ShowWindow(0x110,0)", "ShowWindow(0x100,0)",
                                             "ShowWindow(0x110,4)", "ShowWindow(0x100,4)",
                                             "ShowWindow(0x110,0)", "ShowWindow(0x100,0)"}));
  EXPECT_FALSE(shownAtCleaning);
  EXPECT_TRUE(clippedAtCleaning) << "the confinement is not released by the sequence";
  ASSERT_EQ(run.stageTimes.size(), 3u);
  EXPECT_EQ(run.stageTimes.front().second, 1000u);
  EXPECT_EQ(run.ui.Ticks().size(), 1u);
}

TEST(Notifier, DelayHidesAndWarnsAgainWhenTheCountPassesNotifyTimer) {
  struct Row {
    int notifyTimer;
    std::vector<uint64_t> warnedAgainAt;  // ticks that show the window after the Delay
  };
  const Row rows[] = {
      {10, {593000}},
      {600, {3000}},
      {601, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.notifyTimer);
    Process run("5 t -c", {"NotifyTimer=" + std::to_string(row.notifyTimer)});
    fakes::FakeUi::TickSnapshot afterDelay;
    run.ui.At(2500, FormEvent::DelayClick);
    run.ui.At(2600, [&] { afterDelay = run.ui.Snapshot(); });
    EXPECT_EQ(run.Start(), 0);
    EXPECT_FALSE(afterDelay.formVisible);
    EXPECT_FALSE(afterDelay.clipped);
    std::vector<uint64_t> shownAgain;
    const auto& ticks = run.ui.Ticks();
    bool before = afterDelay.formVisible;
    for (const auto& tick : ticks) {
      if (tick.time < 2500)
        continue;
      if (tick.formVisible && !before)
        shownAgain.push_back(tick.time);
      before = tick.formVisible;
    }
    EXPECT_EQ(shownAgain, row.warnedAgainAt);
    for (uint64_t at : row.warnedAgainAt) {
      const auto it =
          std::find_if(ticks.begin(), ticks.end(), [at](const auto& t) { return t.time == at; });
      EXPECT_EQ(it->position, row.notifyTimer - 1);
      EXPECT_TRUE(it->clipped);
    }
    // 600 ticks after the press, and before the watchdog (12 minutes after the press).
    ASSERT_EQ(run.stageTimes.size(), 3u);
    EXPECT_EQ(run.stageTimes.back().second, 602000u);
    EXPECT_FALSE(run.process.ExitCode().has_value());
  }
}

// What a press did, seen from the outside: the time of the action (0: none), whether the window
// still showed just after the press, and when the loop ended.
struct PressOutcome {
  uint64_t actionAt = 0;
  bool shownAfter = false;
  uint64_t endedAt = 0;
  friend bool operator==(const PressOutcome&, const PressOutcome&) = default;
};

PressOutcome Press(Process& run, FormEvent button, uint64_t at) {
  PressOutcome outcome;
  run.ui.At(at, button);
  run.ui.At(at + 1, [&] { outcome.shownAfter = run.ui.IsWindowVisible(run.ui.Form().form); });
  EXPECT_EQ(run.Start(), 0);
  for (const auto& [stage, time] : run.stageTimes) {
    if (stage == "ExecuteAction")
      outcome.actionAt = time;
  }
  outcome.endedAt = run.ui.Now();
  return outcome;
}

TEST(Notifier, ButtonsPressNothingInTheFirstSecondAfterTheWarningAppears) {
  // The warning appears at the tick of 1000 ms; its buttons count from 2000 ms on.
  struct Row {
    const char* name;
    FormEvent button;
    uint64_t at;
    PressOutcome outcome;
  };
  const Row rows[] = {
      {"Activate at 999 ms", FormEvent::ActivateClick, 1999, {10000, true, 10000}},
      {"Activate at 1000 ms", FormEvent::ActivateClick, 2000, {3000, false, 3000}},
      {"Delay at 999 ms", FormEvent::DelayClick, 1999, {10000, true, 10000}},
      {"Delay at 1000 ms", FormEvent::DelayClick, 2000, {602000, false, 602000}},
      {"Cancel at 999 ms", FormEvent::CancelClick, 1999, {10000, true, 10000}},
      {"Cancel at 1000 ms", FormEvent::CancelClick, 2000, {0, false, 2000}},
      {"Cancel at once", FormEvent::CancelClick, 1000, {10000, true, 10000}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Process run("6 t -c", {});
    EXPECT_EQ(Press(run, row.button, row.at), row.outcome);
    if (row.outcome.actionAt == 10000) {
      // The countdown went on as if nothing had been pressed.
      EXPECT_EQ(run.ui.Ticks(), ShownTicks("Lock Work Station"));
    }
  }
}

TEST(Notifier, TheButtonsAreDisabledBeforeTheWarningShowsAndEnabledASecondLater) {
  Process run("6 t -c", {"NotifyTimer=600"});
  std::vector<std::pair<uint64_t, std::vector<bool>>> states;
  const auto look = [&](uint64_t at) {
    run.ui.At(at, [&run, &states, at] {
      std::vector<bool> enabled;
      for (platform::WindowHandle b :
           {run.ui.Form().btnActivate, run.ui.Form().btnDelay, run.ui.Form().btnCancel}) {
        enabled.push_back(run.ui.WindowOf(b).enabled);
      }
      states.emplace_back(at, enabled);
    });
  };
  // Shown at 1000, enabled at 2000; Delay at 2500 hides it, the tick of 3000 shows it again,
  // enabled at 4000. A Cancel in that second presses nothing, one at its end cancels.
  for (uint64_t at : {999, 1999, 2000, 2999, 3999, 4000}) look(at);
  run.ui.At(2500, FormEvent::DelayClick);
  run.ui.At(3999, FormEvent::CancelClick);
  run.ui.At(4000, FormEvent::CancelClick);
  EXPECT_EQ(run.Start(), 0);
  const std::vector<bool> on(3, true);
  const std::vector<bool> off(3, false);
  EXPECT_EQ(states, (std::vector<std::pair<uint64_t, std::vector<bool>>>{
                        {999, on}, {1999, off}, {2000, on}, {2999, on}, {3999, off}, {4000, on}}));
  EXPECT_EQ(run.ui.Now(), 4000u) << "the second Cancel ended the run";
  EXPECT_TRUE(run.steps.Calls().empty());

  // Each time: the three buttons disabled before the window shows, then the second's timer, and
  // at its end the timer stopped and the buttons enabled.
  std::vector<std::string> guard;
  for (const std::string& call : run.ui.Calls()) {
    if (call.rfind("EnableWindow(", 0) == 0 || call.rfind("ShowWindow(0x110,", 0) == 0 ||
        call.find("Timer(0x110,3") != std::string::npos) {
      guard.push_back(call);
    }
  }
  const std::vector<std::string> oneWarning = {
      "EnableWindow(0x150,0)",  "EnableWindow(0x160,0)", "EnableWindow(0x170,0)",
      "SetTimer(0x110,3,1000)", "ShowWindow(0x110,4)",   "KillTimer(0x110,3)",
      "EnableWindow(0x150,1)",  "EnableWindow(0x160,1)", "EnableWindow(0x170,1)"};
  std::vector<std::string> expected = oneWarning;
  expected.push_back("ShowWindow(0x110,0)");  // Delay
  expected.insert(expected.end(), oneWarning.begin(), oneWarning.end());
  EXPECT_EQ(guard, expected);

  // The countdown went on throughout: 599 at the first tick, 598 at the second, and 599 again at
  // the tick that shows it after Delay (the count restarted at 600).
  std::vector<int32_t> positions;
  for (const auto& tick : run.ui.Ticks()) positions.push_back(tick.position);
  EXPECT_EQ(positions, (std::vector<int32_t>{599, 598, 599, 598}));
}

TEST(Notifier, CancelEndsWithoutCleaningLoggingOrActing) {
  Process run("0 t -c", {"Recycle=1"});
  run.ui.At(2500, FormEvent::CancelClick);
  EXPECT_EQ(run.Start(), 0);
  const std::vector<std::string>& calls = run.ui.Calls();
  const auto quit = std::find(calls.begin(), calls.end(), "PostQuitMessage(0)");
  ASSERT_NE(quit, calls.end());
  EXPECT_EQ(
      std::vector<std::string>(quit - 2, quit + 1),
      (std::vector<std::string>{"KillTimer(0x110,1)", "KillTimer(0x110,2)", "PostQuitMessage(0)"}));
  EXPECT_TRUE(run.steps.Calls().empty());
  EXPECT_EQ(run.ui.QuitCode(), 0);
  EXPECT_EQ(run.ui.Ticks().size(), 2u);
  EXPECT_FALSE(run.ui.Clip().has_value());
}

TEST(Notifier, WatchdogEndsARunThatNeverCountsToZero) {
  struct Row {
    int notifyTimer;
    uint64_t endsAt;  // ms
  };
  const Row rows[] = {{0, 120000},   {-1, 120000},  {-59, 120000}, {-60, 60000},
                      {-119, 60000}, {-120, 60000}, {-121, 60000}, {INT32_MIN, 60000}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.notifyTimer);
    Process run("5 t", {"NotifyTimer=" + std::to_string(row.notifyTimer)});
    EXPECT_EQ(run.Start(), 0);
    EXPECT_EQ(run.process.ExitCode(), 0u);
    EXPECT_EQ(run.ui.Now(), row.endsAt);
    EXPECT_TRUE(run.steps.Calls().empty());
    EXPECT_FALSE(run.ui.QuitCode().has_value());
    // The normal clean-up still ran.
    EXPECT_EQ(run.ui.CallsOf("DestroyWindow").size(), 2u);
    EXPECT_EQ(run.process.Calls().back(), "ExitProcess(0)");
  }
}

TEST(Notifier, NegativeNotifyTimerReportsTheProgressBarAndCountsOn) {
  Process run("5 t", {"NotifyTimer=-5"});
  bool timersRunningAtReport = false;
  run.ui.OnMessageBox([&] {
    timersRunningAtReport =
        run.ui.TimerRunning(design::kTimerEventId) && run.ui.TimerRunning(design::kTimerTerId);
  });
  EXPECT_EQ(run.Start(), 0);
  ASSERT_EQ(run.ui.MessageBoxes().size(), 1u);
  const auto& box = run.ui.MessageBoxes()[0];
  EXPECT_EQ(box.text, "TProgressBar property out of range.");
  EXPECT_EQ(box.caption, "Notifier");
  EXPECT_EQ(box.type, win::kMbOk | win::kMbIconStop);
  EXPECT_EQ(box.owner, run.ui.Application());
  EXPECT_TRUE(timersRunningAtReport);
  EXPECT_EQ(run.Label(), "Task will be executed.");
  EXPECT_EQ(run.ui.WindowOf(run.ui.Form().progressM).max, 100);
  EXPECT_EQ(run.ui.ProcessMessagesCount(), 0) << "steps 8 and 9 did not run";
  // The count passes below zero without executing; the watchdog ends it after two minutes.
  EXPECT_EQ(run.ui.Ticks().size(), 120u);
  EXPECT_TRUE(run.steps.Calls().empty());
  EXPECT_EQ(run.process.ExitCode(), 0u);
}

TEST(Notifier, ActionNumbersOutsideTheTableAreLoggedAsPowerOffAndNotPerformed) {
  struct Row {
    const char* argument;
    std::vector<std::string> stages;
  };
  const std::string log = std::string("WriteLog(") + kFolder + "Log.dat|t|";
  const Row rows[] = {
      {"9", {log + "Power Off)"}},
      {"8", {log + "Power Off)"}},
      {"-1", {log + "Power Off)"}},
      {"$FFFFFFFF", {log + "Power Off)"}},
      {"0", {log + "Power Off)", "ExecuteAction(0,force=1,family=2,app=0x100)"}},
      {"3", {log + "Standby)", "ExecuteAction(3,force=1,family=2,app=0x100)"}},
      {"7", {log + "Screen Save)", "ExecuteAction(7,force=1,family=2,app=0x100)"}},
      {"x", {log + "Turn Monitor Off)", "ExecuteAction(5,force=1,family=2,app=0x100)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.argument);
    Process run(std::string(row.argument) + " t", {"NotifyTimer=2"});
    EXPECT_EQ(run.Start(), 0);
    EXPECT_EQ(run.steps.Calls(), row.stages);
  }
}

TEST(Notifier, SequenceRunsCleaningThenLogThenActionAndStopsAtAFailure) {
  struct Row {
    const char* name;
    bool failCleaning;
    bool failLog;
    bool actionResult;
    std::vector<std::string> stages;
  };
  const Row rows[] = {
      {"all succeed", false, false, true, {"CleaningStage", "WriteLog", "ExecuteAction"}},
      {"failing cleaning skips the log and the action", true, false, true, {"CleaningStage"}},
      {"failing log skips the action", false, true, true, {"CleaningStage", "WriteLog"}},
      {"an action that fails changes nothing",
       false,
       false,
       false,
       {"CleaningStage", "WriteLog", "ExecuteAction"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Process run("2 t -c", {"NotifyTimer=3", "Cache=1", "History=1"});
    run.steps.failCleaning = row.failCleaning;
    run.steps.failLog = row.failLog;
    run.steps.actionResult = row.actionResult;
    bool hiddenAndStopped = true;
    run.steps.onCall = [&](const std::string& stage) {
      run.stageTimes.emplace_back(stage, run.ui.Now());
      hiddenAndStopped = hiddenAndStopped && !run.ui.IsWindowVisible(run.ui.Form().form) &&
                         !run.ui.IsWindowVisible(run.ui.Application()) &&
                         !run.ui.TimerRunning(design::kTimerEventId) &&
                         run.ui.TimerRunning(design::kTimerTerId);
    };
    EXPECT_EQ(run.Start(), 0);
    std::vector<std::string> stages;
    for (const auto& [stage, time] : run.stageTimes) stages.push_back(stage);
    EXPECT_EQ(stages, row.stages);
    EXPECT_TRUE(hiddenAndStopped);
    EXPECT_TRUE(run.steps.CleaningSettings().Cache);
    EXPECT_TRUE(run.steps.CleaningSettings().History);
    EXPECT_FALSE(run.steps.CleaningSettings().Recycle);
    EXPECT_TRUE(run.ui.MessageBoxes().empty()) << "failures in the sequence are silent";
    EXPECT_EQ(run.ui.QuitCode(), 0);
  }
}

TEST(Notifier, UnreadableSettingsAreReportedAndEndTheProcessWith217) {
  Process run("0 t -c", {});
  run.files.DenyAccess(std::string(kFolder) + "Settings.dat");
  EXPECT_EQ(run.Start(), 217);
  ASSERT_EQ(run.ui.MessageBoxes().size(), 1u);
  EXPECT_EQ(run.ui.MessageBoxes()[0].text,
            "Cannot open file \"C:\\Dormivo\\Settings.dat\". Access is denied.");
  EXPECT_EQ(run.ui.MessageBoxes()[0].caption, "Notifier");
  EXPECT_EQ(run.ui.MessageBoxes()[0].type, win::kMbOk | win::kMbIconStop);
  EXPECT_EQ(run.process.ExitCode(), 217u);
  EXPECT_TRUE(run.ui.CallsOf("SetTimer").empty());
  EXPECT_TRUE(run.ui.CallsOf("RunMessageLoop").empty());
  EXPECT_TRUE(run.steps.Calls().empty());
  // Ended through the normal clean-up.
  EXPECT_EQ(run.process.Calls(),
            (std::vector<std::string>{"CoInitialize", "CoUninitialize", "ExitProcess(217)"}));
  EXPECT_EQ(run.ui.CallsOf("DestroyWindow").size(), 2u);
  EXPECT_EQ(run.app.Settings().NotifyTimer, 0) << "nothing of the settings was assigned";
}

TEST(Notifier, FailedVersionQueryOfTheSamplingUnitIsRuntimeError217) {
  Process run("0 t -c", {});
  run.power.Fail(fakes::FakePower::Op::GetVersionEx, 0, -1);
  EXPECT_EQ(run.Start(), 217);
  ASSERT_EQ(run.ui.MessageBoxes().size(), 1u);
  const auto& box = run.ui.MessageBoxes()[0];
  EXPECT_EQ(box.caption, "Error");
  const std::string prefix = "Runtime error 217 at ";
  ASSERT_EQ(box.text.compare(0, prefix.size(), prefix), 0) << box.text;
  const std::string address = box.text.substr(prefix.size());
  EXPECT_EQ(address.size(), sizeof(void*) * 2);
  EXPECT_EQ(address.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_NE(address.find_first_not_of('0'), std::string::npos);
  EXPECT_EQ(run.process.Calls(), std::vector<std::string>{"ExitProcess(217)"});
  EXPECT_TRUE(run.ui.CallsOf("CreateApplicationWindow").empty());
}

TEST(Notifier, FailedFirstVersionQueryLeavesPlatformFamilyZero) {
  Process run("5 t", {"NotifyTimer=1"});
  run.power.Fail(fakes::FakePower::Op::GetVersionEx, 0, 1);
  EXPECT_EQ(run.Start(), 0);
  ASSERT_EQ(run.steps.Calls().size(), 2u);
  EXPECT_EQ(run.steps.Calls()[1], "ExecuteAction(5,force=1,family=0,app=0x100)");
}

TEST(Notifier, EndOfSessionEndsAtOnceThroughTheCleanUp) {
  Process run("0 t -c", {"PlaySound=1", "SoundFileName=a.wav"});
  run.ui.At(2500, FormEvent::EndSession);
  run.ui.At(2500, FormEvent::ActivateClick);  // never delivered: the process has ended
  EXPECT_EQ(run.Start(), 0);
  EXPECT_EQ(run.process.ExitCode(), 0u);
  EXPECT_EQ(run.ui.Now(), 2500u);
  EXPECT_TRUE(run.ui.Delivered(FormEvent::ActivateClick).empty());
  EXPECT_TRUE(run.steps.Calls().empty());
  EXPECT_FALSE(run.ui.Clip().has_value());
  EXPECT_EQ(run.ui.CallsOf("PlaySoundA").back(), "PlaySoundA(null,0x0,0x20000)");
  EXPECT_EQ(run.process.Calls(),
            (std::vector<std::string>{"CoInitialize", "CoUninitialize", "ExitProcess(0)"}));
}

TEST(Notifier, ErrorReportAddsAFullStopAfterLettersAndDigits) {
  struct Row {
    const char* message;
    const char* shown;
  };
  const Row rows[] = {
      {"Cannot open", "Cannot open."},
      {"Code 9", "Code 9."},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"(x)", "(x)"},
      {"trailing ", "trailing "},
      {"", ""},
      {"a-", "a-"},
      {"a/", "a/."},
      {"caf\xE9", "caf\xE9."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    EXPECT_EQ(ErrorReportText(row.message), row.shown);
  }
}

}  // namespace
}  // namespace dormivo

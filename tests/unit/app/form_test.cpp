// The notifier form's handlers one by one, against the fake desktop and a recording owner.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/form_design.h"
#include "app/uExecute.h"
#include "platform/exception.h"
#include "tests/fakes/fake_execution_steps.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_ui.h"

namespace dormivo {
namespace {

class RecordingOwner final : public FormOwner, public platform::EventSink {
 public:
  platform::WindowHandle handle = 0;
  std::vector<std::string> calls;
  platform::WindowHandle ApplicationHandle() const override { return handle; }
  uint32_t PlatformFamily() const override { return 2; }
  void Terminate() override { calls.push_back("Terminate"); }
  void Halt(uint32_t exitCode) override {
    calls.push_back("Halt(" + std::to_string(exitCode) + ")");
  }
  void Dispatch(platform::FormEvent) override {}
};

struct FormFixture {
  fakes::FakeUi ui;
  fakes::FakeProcess process;
  fakes::FakeFileSystem files;
  platform::AsciiText codePage;
  ExecutorSettings settings;
  fakes::FakeExecutionSteps steps;
  RecordingOwner owner;
  FormContext context{ui, process, files, codePage, settings, steps, owner};
  std::unique_ptr<TfrmExecute> form;

  FormFixture(const std::string& modulePath, const std::string& arguments,
              const std::string& settingsText) {
    process.modulePath = modulePath;
    process.commandLine = "\"" + modulePath + "\" " + arguments;
    const std::string folder = modulePath.substr(0, modulePath.rfind('\\') + 1);
    files.AddFile(modulePath, "MZ");
    if (!settingsText.empty())
      files.AddFile(folder + "Settings.dat", settingsText);
    owner.handle = ui.CreateApplicationWindow("Notifier", owner);
    form = std::make_unique<TfrmExecute>(context, ui.CreateFormWindows(owner.handle));
  }
  std::string Label() const { return ui.WindowOf(ui.Form().lbNotifier).text; }
};

TEST(Form, CreationReadsTheCommandLineFolderAndSettings) {
  struct Row {
    const char* name;
    std::string modulePath;
    std::string arguments;
    std::string settings;
    std::string appFolder;
    int32_t action;
    std::string title;
    int32_t secondsLeft;
    int32_t minutesLeft;
    std::string label;
  };
  const Row rows[] = {
      {"no arguments, no settings", "C:\\Program Files\\Dormivo\\Notifier.exe", "", "",
       "C:\\Program Files\\Dormivo\\", 5, "", 10, 2,
       "Turn Monitor Off will be executed in 9 seconds. "},
      {"drive root gets no second backslash", "C:\\Notifier.exe", "2 \"Nightly backup\" -c", "",
       "C:\\", 2, "Nightly backup", 10, 2, "Hibernate will be executed in 9 seconds. "},
      {"NotifyTimer 600", "D:\\x\\n.exe", "0 t", "[Settings]\nNotifyTimer=600\n", "D:\\x\\", 0, "t",
       600, 12, "Power Off will be executed in 599 seconds. "},
      {"NotifyTimer 1", "D:\\x\\n.exe", "1 t", "[Settings]\nNotifyTimer=1\n", "D:\\x\\", 1, "t", 1,
       2, "Restart will be executed in 0 seconds. "},
      {"NotifyTimer 59", "D:\\x\\n.exe", "", "[Settings]\nNotifyTimer=59\n", "D:\\x\\", 5, "", 59,
       2, "Turn Monitor Off will be executed in 58 seconds. "},
      {"NotifyTimer 60", "D:\\x\\n.exe", "", "[Settings]\nNotifyTimer=60\n", "D:\\x\\", 5, "", 60,
       3, "Turn Monitor Off will be executed in 59 seconds. "},
      {"NotifyTimer 0", "D:\\x\\n.exe", "", "[Settings]\nNotifyTimer=0\n", "D:\\x\\", 5, "", 0, 2,
       "Turn Monitor Off will be executed in -1 seconds. "},
      {"empty quoted argument moves -c into second place", "D:\\x\\n.exe", "3 \"\" -c", "",
       "D:\\x\\", 3, "-c", 10, 2, "Standby will be executed in 9 seconds. "},
      {"-1 is named Power Off", "D:\\x\\n.exe", "-1 t", "", "D:\\x\\", -1, "t", 10, 2,
       "Power Off will be executed in 9 seconds. "},
      {"quoted 3 with a blank is no number", "D:\\x\\n.exe", "\"3 \" t", "", "D:\\x\\", 5, "t", 10,
       2, "Turn Monitor Off will be executed in 9 seconds. "},
      {"largest NotifyTimer", "D:\\x\\n.exe", "7", "[Settings]\nNotifyTimer=2147483647\n",
       "D:\\x\\", 7, "", INT32_MAX, INT32_MAX / 60 + 2,
       "Screen Save will be executed in 2147483646 seconds. "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FormFixture f(row.modulePath, row.arguments, row.settings);
    f.form->FormCreate();
    EXPECT_EQ(f.form->AppFolder, row.appFolder);
    EXPECT_EQ(f.form->ActionIndex, row.action);
    EXPECT_EQ(f.form->TaskTitle, row.title);
    EXPECT_EQ(f.form->SecondsLeft, row.secondsLeft);
    EXPECT_EQ(f.form->MinutesLeft, row.minutesLeft);
    EXPECT_EQ(f.Label(), row.label);
    EXPECT_EQ(f.ui.WindowOf(f.ui.Form().progressM).max, row.secondsLeft);
    EXPECT_TRUE(f.form->TimerEvent.Enabled());
    EXPECT_TRUE(f.form->TimerTer.Enabled());
    EXPECT_FALSE(f.form->Showing());
    EXPECT_EQ(f.ui.ProcessMessagesCount(), 1);
  }
}

TEST(Form, NegativeNotifyTimerFailsAtTheProgressBarAfterTheTimersStarted) {
  FormFixture f("C:\\d\\n.exe", "5", "[Settings]\nNotifyTimer=-5\n");
  try {
    f.form->FormCreate();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "TProgressBar property out of range");
  }
  EXPECT_TRUE(f.ui.TimerRunning(design::kTimerEventId));
  EXPECT_TRUE(f.ui.TimerRunning(design::kTimerTerId));
  EXPECT_EQ(f.Label(), design::kLbNotifier.caption);
  EXPECT_EQ(f.form->SecondsLeft, -5);
  EXPECT_EQ(f.form->MinutesLeft, 2);
}

TEST(Form, WatchdogCountsMinutesFromNotifyTimer) {
  struct Row {
    int32_t notifyTimer;
    int ticksUntilHalt;
  };
  // -120 and below would start at zero or below and never count to zero: they end at once.
  const Row rows[] = {{1, 2}, {10, 2},  {59, 2},   {60, 3},   {600, 12},
                      {0, 2}, {-60, 1}, {-119, 1}, {-120, 1}, {-600, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.notifyTimer);
    FormFixture f("C:\\d\\n.exe", "5",
                  "[Settings]\nNotifyTimer=" + std::to_string(row.notifyTimer) + "\n");
    try {
      f.form->FormCreate();
    } catch (const Exception&) {
      // negative values: reported by the application, the countdown goes on
    }
    int ticks = 0;
    while (f.owner.calls.empty() && ticks < 1000) {
      f.form->TimerTerTimer();
      ++ticks;
    }
    EXPECT_EQ(ticks, row.ticksUntilHalt);
    EXPECT_EQ(f.owner.calls, std::vector<std::string>{"Halt(0)"});
  }
}

TEST(Form, DelayRestartsTheWatchdogAtTwelveMinutes) {
  FormFixture f("C:\\d\\n.exe", "5 t -c", "[Settings]\nNotifyTimer=3000\n");
  f.form->FormCreate();
  EXPECT_EQ(f.form->MinutesLeft, 52);
  f.form->TimerTerTimer();
  f.form->btnDelayClick();
  EXPECT_EQ(f.form->SecondsLeft, 600);
  EXPECT_EQ(f.form->MinutesLeft, 12);
  int ticks = 0;
  while (f.owner.calls.empty() && ticks < 100) {
    f.form->TimerTerTimer();
    ++ticks;
  }
  EXPECT_EQ(ticks, 12);
}

TEST(Form, TickRunsTheSequenceOnlyAtExactlyZero) {
  FormFixture f("C:\\d\\n.exe", "5 t", "[Settings]\nNotifyTimer=2\n");
  f.form->FormCreate();
  f.form->SecondsLeft = 0;  // already at zero: the next tick goes below and never executes
  for (int i = 0; i < 5; ++i) f.form->TimerEventTimer();
  EXPECT_EQ(f.form->SecondsLeft, -5);
  EXPECT_TRUE(f.steps.Calls().empty());
  EXPECT_TRUE(f.owner.calls.empty());
  f.form->SecondsLeft = 1;
  f.form->TimerEventTimer();
  EXPECT_EQ(f.steps.Calls().size(), 2u);
  EXPECT_EQ(f.owner.calls, std::vector<std::string>{"Terminate"});
}

TEST(Form, CountdownArithmeticWrapsAtTheSmallestInteger) {
  FormFixture f("C:\\d\\n.exe", "5 t -c", "[Settings]\nNotifyTimer=-2147483648\n");
  EXPECT_THROW(f.form->FormCreate(), Exception);
  f.form->TimerEventTimer();  // shows the window: SecondsLeft equals NotifyTimer
  EXPECT_EQ(f.form->SecondsLeft, INT32_MAX);
  EXPECT_TRUE(f.form->Showing());
  EXPECT_EQ(f.ui.WindowOf(f.ui.Form().progressM).pos, 100) << "kept within the bar's range";
  f.form->TimerEventTimer();
  EXPECT_EQ(f.Label(), "Turn Monitor Off will be executed in 2147483646 seconds. ");
}

TEST(Form, ShowNotifierConfinesTheCursorToTheFormOnce) {
  FormFixture f("C:\\d\\n.exe", "6 t -c", "[Settings]\nPlaySound=1\nSoundFileName=s.wav\n");
  f.form->FormCreate();
  f.form->ShowNotifier();
  platform::Rect bounds;
  f.ui.GetWindowRect(f.ui.Form().form, &bounds);
  EXPECT_EQ(f.ui.Clip(), bounds);
  EXPECT_EQ(bounds.right - bounds.left, design::kClientWidth);
  EXPECT_EQ(bounds.bottom - bounds.top, design::kClientHeight);
  EXPECT_TRUE(f.ui.IsWindowVisible(f.owner.handle));
  EXPECT_EQ(f.ui.WindowOf(f.ui.Form().progressM).pos, 9);
  // Already showing: the position and the confinement stay; the sound plays again.
  f.ui.SendMessageA(f.ui.Form().progressM, 0x402, 4, 0);
  f.form->ShowNotifier();
  EXPECT_EQ(f.ui.WindowOf(f.ui.Form().progressM).pos, 4);
  EXPECT_EQ(f.ui.CallsOf("ClipCursor").size(), 1u);
  EXPECT_EQ(
      f.ui.CallsOf("PlaySoundA"),
      (std::vector<std::string>{"PlaySoundA(s.wav,0x0,0x20001)", "PlaySoundA(s.wav,0x0,0x20001)"}));
}

TEST(Form, ShowNotifierShowsTheWarningWithoutTakingTheKeyboard) {
  FormFixture f("C:\\d\\n.exe", "6 t -c", "[Settings]\nNotifyTimer=5\n");
  f.form->FormCreate();
  f.form->ShowNotifier();
  // SW_SHOWNOACTIVATE for the form and for its taskbar button: the program in use keeps the
  // keyboard, so that keys typed there never reach the warning's buttons.
  const auto shown = [](platform::WindowHandle window) {
    char call[64];
    std::snprintf(call, sizeof call, "ShowWindow(0x%llx,4)",
                  static_cast<unsigned long long>(window));
    return std::string(call);
  };
  EXPECT_EQ(f.ui.CallsOf("ShowWindow"),
            (std::vector<std::string>{shown(f.ui.Form().form), shown(f.owner.handle)}));
  EXPECT_TRUE(f.ui.IsWindowVisible(f.ui.Form().form));
}

TEST(Form, ExecuteActionForwardsTheSettingsAndTheApplicationWindow) {
  FormFixture f("C:\\d\\n.exe", "6 t", "[Settings]\nForce=0\n");
  f.form->FormCreate();
  f.steps.actionResult = false;
  EXPECT_FALSE(f.form->ExecuteAction(4));
  EXPECT_EQ(f.steps.Calls(),
            std::vector<std::string>{"ExecuteAction(4,force=0,family=2,app=0x100)"});
}

TEST(Form, ExtractFilePathKeepsDoubleByteCharacters) {
  class LeadByteText final : public platform::AnsiText {
   public:
    std::string CharUpperBuffA(std::string text) const override { return text; }
    bool IsDBCSLeadByte(unsigned char b) const override { return b >= 0x81 && b <= 0x9F; }
  };
  // 0x95 0x5C is one character whose second byte is a backslash: no delimiter.
  EXPECT_EQ(ExtractFilePath("C:\\a\\\x95\\n.exe", LeadByteText()), "C:\\a\\");
  EXPECT_EQ(ExtractFilePath("C:\\a\\\x95\\\\n.exe", LeadByteText()), "C:\\a\\\x95\\\\");
  EXPECT_EQ(ExtractFilePath("C:\\a\\\x95\\n.exe", platform::AsciiText()), "C:\\a\\\x95\\");
  EXPECT_EQ(ExtractFilePath("C:n.exe", platform::AsciiText()), "C:");
  EXPECT_EQ(ExtractFilePath("n.exe", platform::AsciiText()), "");
}

}  // namespace
}  // namespace dormivo

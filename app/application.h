// The executor's process from start to end: the order of start-up, the application object with
// its hidden window and its error report, the dispatch of the form's events, and the clean-up
// that every ending runs.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "app/cpu_usage.h"
#include "app/execution_steps.h"
#include "app/uExecute.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/power.h"
#include "platform/process.h"
#include "platform/ui.h"
#include "storage/uIniOption.h"

namespace dormivo {

// The platform the process runs on.
struct NotifierPlatform {
  platform::Ui& ui;
  platform::WindowFactory& windows;
  platform::ProcessApi& process;
  platform::PowerApi& power;
  platform::FileSystem& files;
  const platform::AnsiText& codePage;
};

// The text of the error report: the message with a full stop added when its last character
// comes after the full stop in the code page ("Cannot open" gets one; ".", "!", ")" and a blank
// do not).
std::string ErrorReportText(const std::string& message);

// The message of a caught exception.
std::string ExceptionMessage(std::exception_ptr error);

class TApplication final : public platform::EventSink, public FormOwner {
 public:
  static constexpr uint32_t kAbandonedExitCode = 217;

  TApplication(NotifierPlatform& platform, ExecutionSteps& steps);
  ~TApplication() override;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Runs the process from start to end; returns the exit code.
  int32_t Run();

  // The process-wide settings record and the form, for the tests.
  const ExecutorSettings& Settings() const { return settings_; }
  TfrmExecute* Form() { return form_.get(); }

  // The application's default error report: a message box with the stop icon, captioned with the
  // application title.
  void ShowException(const std::string& message);

  // platform::EventSink
  void Dispatch(platform::FormEvent event) override;

  // FormOwner
  platform::WindowHandle ApplicationHandle() const override { return handle_; }
  uint32_t PlatformFamily() const override { return platformFamily_; }
  void Terminate() override;
  void Halt(uint32_t exitCode) override;

 private:
  // Runs an event handler; an exception that escapes it is reported and the program goes on.
  template <typename Handler>
  void Guarded(Handler handler);
  // Destroys the form (FormDestroy, then its components and windows) and the application
  // window, and uninitialises COM and the sampling unit. Runs once.
  void Finalize();

  NotifierPlatform& platform_;
  ExecutionSteps& steps_;
  ExecutorSettings settings_;
  CpuUsageUnit cpuUsage_;
  std::string title_;
  uint32_t platformFamily_ = 0;
  platform::WindowHandle handle_ = 0;
  platform::FormWindows formWindows_;
  std::unique_ptr<FormContext> context_;
  std::unique_ptr<TfrmExecute> form_;
  bool comInitialized_ = false;
  bool finalized_ = false;
  bool halted_ = false;
  uint32_t haltCode_ = 0;
};

}  // namespace dormivo

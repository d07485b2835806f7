#include "app/application.h"

#include <new>

#include "actions/uShowdownLib.h"
#include "app/form_design.h"
#include "platform/win_constants.h"

namespace dormivo {

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
    return message + '.';
  return message;
}

std::string ExceptionMessage(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

TApplication::TApplication(NotifierPlatform& platform, ExecutionSteps& steps)
    : platform_(platform), steps_(steps) {}

TApplication::~TApplication() = default;

int32_t TApplication::Run() {
  // The platform family, as the runtime reads it before anything else.
  platformFamily_ = QueryPlatformFamily(platform_.power);

  // The sampling unit's initialisation; its failure abandons start-up as a run-time error.
  try {
    cpuUsage_.Initialize(platform_.power);
  } catch (const RuntimeFailure& failure) {
    platform_.ui.MessageBoxA(0, RuntimeErrorMessage(kAbandonedExitCode, failure.Address()), "Error",
                             win::kMbOk);
    platform_.process.ExitProcess(kAbandonedExitCode);
    return static_cast<int32_t>(kAbandonedExitCode);
  }

  // The application object: COM for this thread, the hidden window, the title.
  comInitialized_ = platform_.process.CoInitialize() >= 0;
  title_ = design::kApplicationTitle;
  handle_ = platform_.windows.CreateApplicationWindow(title_, *this);

  // The form, created hidden; its creation handler reads the command line and the settings and
  // starts the countdown. An error there is reported like any other.
  formWindows_ = platform_.windows.CreateFormWindows(handle_);
  context_ =
      std::make_unique<FormContext>(FormContext{platform_.ui, platform_.process, platform_.files,
                                                platform_.codePage, settings_, steps_, *this});
  form_ = std::make_unique<TfrmExecute>(*context_, formWindows_);
  Guarded([this] { form_->FormCreate(); });
  if (halted_)
    return static_cast<int32_t>(haltCode_);
  // A creation that failed before the countdown started (the settings could not be read) leaves
  // no timer running: start-up is abandoned once the report has been dismissed.
  if (!form_->TimerEvent.Enabled()) {
    Halt(kAbandonedExitCode);
    return static_cast<int32_t>(kAbandonedExitCode);
  }

  platform_.windows.RunMessageLoop();
  if (halted_)
    return static_cast<int32_t>(haltCode_);
  Finalize();
  return 0;
}

void TApplication::ShowException(const std::string& message) {
  // Owned by the form while it shows, so that the report stays above the topmost window.
  const platform::WindowHandle owner =
      form_ && platform_.ui.IsWindowVisible(formWindows_.form) ? formWindows_.form : handle_;
  platform_.ui.MessageBoxA(owner, ErrorReportText(message), title_, win::kMbOk | win::kMbIconStop);
}

template <typename Handler>
void TApplication::Guarded(Handler handler) {
  try {
    handler();
  } catch (...) {
    ShowException(ExceptionMessage(std::current_exception()));
  }
}

void TApplication::Dispatch(platform::FormEvent event) {
  if (!form_ || finalized_)
    return;
  switch (event) {
    case platform::FormEvent::TimerEvent:
      Guarded([this] { form_->TimerEventTimer(); });
      break;
    case platform::FormEvent::TimerTer:
      Guarded([this] { form_->TimerTerTimer(); });
      break;
    case platform::FormEvent::TimerButtons:
      Guarded([this] { form_->TimerButtonsTimer(); });
      break;
    case platform::FormEvent::ActivateClick:
      Guarded([this] { form_->btnActivateClick(); });
      break;
    case platform::FormEvent::DelayClick:
      Guarded([this] { form_->btnDelayClick(); });
      break;
    case platform::FormEvent::CancelClick:
      Guarded([this] { form_->btnCancelClick(); });
      break;
    case platform::FormEvent::EndSession:
      Halt(0);
      break;
  }
}

void TApplication::Terminate() {
  platform_.ui.PostQuitMessage(0);
}

void TApplication::Halt(uint32_t exitCode) {
  if (halted_)
    return;
  halted_ = true;
  haltCode_ = exitCode;
  Finalize();
  platform_.process.ExitProcess(exitCode);
}

void TApplication::Finalize() {
  if (finalized_)
    return;
  finalized_ = true;
  if (form_) {
    Guarded([this] { form_->FormDestroy(); });
    form_->WavPlayer.Destroy();
    platform_.windows.DestroyWindow(formWindows_.form);
  }
  if (handle_ != 0)
    platform_.windows.DestroyWindow(handle_);
  if (comInitialized_)
    platform_.process.CoUninitialize();
  cpuUsage_.Finalize();
}

}  // namespace dormivo

// The execution sequence's three stages on the real platform services: the privacy cleaning
// stage, one entry in Log.dat through TJvLogFile, and the action by number.
#pragma once

#include "app/execution_steps.h"
#include "cleaning/uFunction.h"
#include "platform/clock_locale.h"
#include "platform/file_system.h"
#include "platform/power.h"
#include "platform/sync.h"

namespace dormivo {

class PlatformExecutionSteps final : public ExecutionSteps {
 public:
  PlatformExecutionSteps(CleaningPlatform& cleaning, platform::FileSystem& files,
                         platform::ClockLocale& clock, platform::PowerApi& power,
                         platform::SyncApi& sync)
      : cleaning_(cleaning), files_(files), clock_(clock), power_(power), sync_(sync) {}

  void CleaningStage(platform::WindowHandle owner, const ExecutorSettings& settings) override;
  // Loads the log (when it exists), adds the entry stamped with the local date and time, trims
  // the log to its newest 1000 bytes and saves it; the closing save raises its error too. All of
  // it is one turn among the executors that share the log (storage/log_turn.h): it waits, at
  // most kLogWaitMs in all, for the others' turns and for files another process holds.
  void WriteLog(const std::string& fileName, const std::string& title,
                const std::string& description) override;
  bool ExecuteAction(uint32_t index, bool force, uint32_t platformFamily,
                     platform::WindowHandle applicationWindow) override;

 private:
  CleaningPlatform& cleaning_;
  platform::FileSystem& files_;
  platform::ClockLocale& clock_;
  platform::PowerApi& power_;
  platform::SyncApi& sync_;
};

}  // namespace dormivo

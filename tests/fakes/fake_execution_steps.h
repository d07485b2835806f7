// A fake of the three stages of the execution sequence: records each call with its arguments in
// order, can make the cleaning stage or the log raise, and runs a hook at each call so that a
// test can look at the rest of the system at that moment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/execution_steps.h"

namespace dormivo::fakes {

class FakeExecutionSteps final : public ExecutionSteps {
 public:
  bool failCleaning = false;
  bool failLog = false;
  bool actionResult = true;
  // Runs at the start of each call, with the name of the stage.
  std::function<void(const std::string&)> onCall;

  // Each call like "CleaningStage(0x110)", "WriteLog(C:\\app\\Log.dat|title|Power Off)",
  // "ExecuteAction(5,force=1,family=2,app=0x100)".
  const std::vector<std::string>& Calls() const { return calls_; }
  // The settings the cleaning stage was given.
  const ExecutorSettings& CleaningSettings() const { return cleaningSettings_; }

  void CleaningStage(platform::WindowHandle owner, const ExecutorSettings& settings) override;
  void WriteLog(const std::string& fileName, const std::string& title,
                const std::string& description) override;
  bool ExecuteAction(uint32_t index, bool force, uint32_t platformFamily,
                     platform::WindowHandle applicationWindow) override;

 private:
  std::vector<std::string> calls_;
  ExecutorSettings cleaningSettings_;
};

}  // namespace dormivo::fakes

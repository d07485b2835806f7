// The three stages the execution sequence runs at the end of the countdown, behind one seam so
// that the sequence itself (order, guard, skipping) is tested against a fake.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"
#include "storage/uIniOption.h"

namespace dormivo {

class ExecutionSteps {
 public:
  virtual ~ExecutionSteps() = default;
  // The privacy cleaning stage with the form's window as owner; raises when a step fails.
  virtual void CleaningStage(platform::WindowHandle owner, const ExecutorSettings& settings) = 0;
  // Appends one record with the title and description to the log file, trims the log and saves
  // it; raises when the log cannot be read or written.
  virtual void WriteLog(const std::string& fileName, const std::string& title,
                        const std::string& description) = 0;
  // Performs action `index` (0 to 7); false only when an exception escaped from the action.
  virtual bool ExecuteAction(uint32_t index, bool force, uint32_t platformFamily,
                             platform::WindowHandle applicationWindow) = 0;
};

}  // namespace dormivo

#include "tests/fakes/fake_execution_steps.h"

#include "platform/exception.h"
#include "tests/fakes/call_text.h"

namespace dormivo::fakes {

void FakeExecutionSteps::CleaningStage(platform::WindowHandle owner,
                                       const ExecutorSettings& settings) {
  calls_.push_back("CleaningStage(" + Hex(owner) + ")");
  cleaningSettings_ = settings;
  if (onCall)
    onCall("CleaningStage");
  if (failCleaning)
    throw Exception("Class not registered");
}

void FakeExecutionSteps::WriteLog(const std::string& fileName, const std::string& title,
                                  const std::string& description) {
  calls_.push_back("WriteLog(" + fileName + "|" + title + "|" + description + ")");
  if (onCall)
    onCall("WriteLog");
  if (failLog)
    throw Exception("Cannot open file \"" + fileName + "\". Sharing violation");
}

bool FakeExecutionSteps::ExecuteAction(uint32_t index, bool force, uint32_t platformFamily,
                                       platform::WindowHandle applicationWindow) {
  calls_.push_back("ExecuteAction(" + std::to_string(index) + ",force=" + std::to_string(force) +
                   ",family=" + std::to_string(platformFamily) + ",app=" + Hex(applicationWindow) +
                   ")");
  if (onCall)
    onCall("ExecuteAction");
  return actionResult;
}

}  // namespace dormivo::fakes

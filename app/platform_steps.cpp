#include "app/platform_steps.h"

#include "actions/uShowdownLib.h"
#include "storage/JvLogFile.h"
#include "storage/log_turn.h"

namespace dormivo {

void PlatformExecutionSteps::CleaningStage(platform::WindowHandle owner,
                                           const ExecutorSettings& settings) {
  dormivo::CleaningStage(cleaning_, owner, settings);
}

void PlatformExecutionSteps::WriteLog(const std::string& fileName, const std::string& title,
                                      const std::string& description) {
  const LogWaitBudget budget(sync_, kLogWaitMs);
  const LogTurn turn(sync_, files_, fileName, budget);
  SharingRetryFileSystem files(files_, sync_, budget);
  // The log goes (and saves, when a step raised) while the turn is still held.
  TJvLogFile log(files, clock_);
  log.SetFileName(fileName);  // before AutoSave, which takes only with a file name
  log.SetAutoSave(true);
  log.SetActive(true);
  log.SetSizeLimit(1000);
  log.Add(title, description);
  log.Close();
}

bool PlatformExecutionSteps::ExecuteAction(uint32_t index, bool force, uint32_t platformFamily,
                                           platform::WindowHandle applicationWindow) {
  return dormivo::ExecuteAction(power_, index, force, platformFamily, applicationWindow);
}

}  // namespace dormivo

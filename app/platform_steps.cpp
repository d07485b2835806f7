#include "app/platform_steps.h"

#include "actions/uShowdownLib.h"
#include "storage/JvLogFile.h"

namespace dormivo {

void PlatformExecutionSteps::CleaningStage(platform::WindowHandle owner,
                                           const ExecutorSettings& settings) {
  dormivo::CleaningStage(cleaning_, owner, settings);
}

void PlatformExecutionSteps::WriteLog(const std::string& fileName, const std::string& title,
                                      const std::string& description) {
  TJvLogFile log(files_, clock_);
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

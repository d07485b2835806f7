// The process-level calls on Windows: each forwards to the Windows call of the same name.
#pragma once

#include "platform/process.h"

namespace dormivo::win32app {

class Win32ProcessApi final : public platform::ProcessApi {
 public:
  std::string GetCommandLineA() override;
  std::string GetModuleFileNameA() override;
  int32_t CoInitialize() override;
  void CoUninitialize() override;
  void ExitProcess(uint32_t exitCode) override;
};

}  // namespace dormivo::win32app

// The process-level calls of start-up and process end.
#pragma once

#include <cstdint>
#include <string>

namespace dormivo::platform {

class ProcessApi {
 public:
  virtual ~ProcessApi() = default;
  // The command line as the process was started with it.
  virtual std::string GetCommandLineA() = 0;
  // The full path of the running executable.
  virtual std::string GetModuleFileNameA() = 0;
  // COM for the calling thread as a single-threaded apartment; an HRESULT.
  virtual int32_t CoInitialize() = 0;
  virtual void CoUninitialize() = 0;
  // Ends the process at once with the exit code.
  virtual void ExitProcess(uint32_t exitCode) = 0;
};

}  // namespace dormivo::platform

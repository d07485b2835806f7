// The real mutex, wait and tick-count calls: each forwards to the Windows call of the same name.
#pragma once

#include "platform/sync.h"

namespace dormivo::platform {

class Win32SyncApi final : public SyncApi {
 public:
  Handle CreateMutexA(bool initialOwner, const std::string& name) override;
  uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) override;
  bool ReleaseMutex(Handle mutex) override;
  bool CloseHandle(Handle handle) override;
  void Sleep(uint32_t milliseconds) override;
  uint32_t GetTickCount() override;
};

}  // namespace dormivo::platform

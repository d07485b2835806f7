// Named mutexes, waiting and the tick count, as the log step uses them to take its turn among
// the executors that share one log. Each call mirrors the Windows call of the same name with its
// arguments, so a test can check exactly what was asked and the real layer stays a thin
// forwarder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace dormivo::platform {

class SyncApi {
 public:
  virtual ~SyncApi() = default;

  // Creates the mutex of that name with default security, or opens it when it exists already;
  // 0 (NULL) on failure, for example when it exists and this user may not open it.
  virtual Handle CreateMutexA(bool initialOwner, const std::string& name) = 0;
  // Waits until the object is signalled or `milliseconds` have passed; kWaitObject0,
  // kWaitAbandoned (a mutex whose owner ended without releasing it: the caller owns it now),
  // kWaitTimeout or kWaitFailed.
  virtual uint32_t WaitForSingleObject(Handle handle, uint32_t milliseconds) = 0;
  virtual bool ReleaseMutex(Handle mutex) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Milliseconds since the system started; wraps to 0 after about 49.7 days.
  virtual uint32_t GetTickCount() = 0;
};

}  // namespace dormivo::platform

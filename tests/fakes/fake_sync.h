// Named mutexes and a tick count for the native tests. Time passes only when the code under test
// waits or sleeps. A mutex can be held by another process, which releases it after a given time
// or never, or left abandoned by a killed owner. Every call but GetTickCount is recorded with
// its arguments (and noted in a shared journal when one is set).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sync.h"

namespace dormivo::fakes {

class FakeSync final : public platform::SyncApi {
 public:
  // Another process owns the mutex of that name; it releases it `releaseAfterMs` after now, or
  // never (nullopt).
  void HoldByAnother(const std::string& name, std::optional<uint32_t> releaseAfterMs);
  // The owner of the mutex of that name ended without releasing it.
  void AbandonByAnother(const std::string& name);
  // CreateMutexA fails (returns 0), or WaitForSingleObject returns kWaitFailed.
  void FailCreate() { failCreate_ = true; }
  void FailWait() { failWait_ = true; }
  // Sets the tick count; Elapsed counts from here.
  void SetTickCount(uint32_t now) { start_ = now_ = now; }
  // Called after each Sleep, with the number of Sleep calls so far.
  std::function<void(int)> onSleep;
  void SetJournal(std::vector<std::string>* journal) { journal_ = journal; }

  // Whether the caller owns the mutex of that name now.
  bool Owned(const std::string& name) const;
  size_t OpenHandleCount() const { return handles_.size(); }
  // Milliseconds that passed in waits and sleeps.
  uint32_t Elapsed() const { return now_ - start_; }
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> CallsOf(const std::string& name) const;
  void ClearCalls() { calls_.clear(); }

  // platform::SyncApi
  platform::Handle CreateMutexA(bool initialOwner, const std::string& name) override;
  uint32_t WaitForSingleObject(platform::Handle handle, uint32_t milliseconds) override;
  bool ReleaseMutex(platform::Handle mutex) override;
  bool CloseHandle(platform::Handle handle) override;
  void Sleep(uint32_t milliseconds) override;
  uint32_t GetTickCount() override { return now_; }

 private:
  struct Mutex {
    bool heldByOther = false;
    std::optional<uint32_t> otherReleasesAt;  // tick count; nullopt: never
    bool abandoned = false;
    bool owned = false;  // by the caller
  };
  void Record(const std::string& call);

  std::map<std::string, Mutex> mutexes_;
  std::map<platform::Handle, std::string> handles_;  // open handle -> mutex name
  std::vector<std::string> calls_;
  std::vector<std::string>* journal_ = nullptr;
  bool failCreate_ = false;
  bool failWait_ = false;
  uint32_t start_ = 0x7FFFF000;
  uint32_t now_ = start_;
  int sleeps_ = 0;
  platform::Handle nextHandle_ = 0x500;
};

}  // namespace dormivo::fakes

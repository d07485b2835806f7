#include "tests/fakes/fake_sync.h"

#include "platform/win_constants.h"
#include "tests/fakes/call_text.h"
#include "tests/fakes/fault_injector.h"

namespace dormivo::fakes {

void FakeSync::HoldByAnother(const std::string& name, std::optional<uint32_t> releaseAfterMs) {
  Mutex& mutex = mutexes_[name];
  mutex.heldByOther = true;
  mutex.otherReleasesAt.reset();
  if (releaseAfterMs)
    mutex.otherReleasesAt = now_ + *releaseAfterMs;
}

void FakeSync::AbandonByAnother(const std::string& name) {
  Mutex& mutex = mutexes_[name];
  mutex.heldByOther = false;
  mutex.abandoned = true;
}

bool FakeSync::Owned(const std::string& name) const {
  const auto it = mutexes_.find(name);
  return it != mutexes_.end() && it->second.owned;
}

std::vector<std::string> FakeSync::CallsOf(const std::string& name) const {
  return CallsNamed(calls_, name);
}

void FakeSync::Record(const std::string& call) {
  calls_.push_back(call);
  if (journal_ != nullptr)
    journal_->push_back(call);
}

platform::Handle FakeSync::CreateMutexA(bool initialOwner, const std::string& name) {
  Record("CreateMutexA(" + std::to_string(initialOwner ? 1 : 0) + "," + name + ")");
  if (failCreate_)
    return 0;
  mutexes_[name];  // a new mutex is free
  const platform::Handle handle = nextHandle_++;
  handles_[handle] = name;
  return handle;
}

uint32_t FakeSync::WaitForSingleObject(platform::Handle handle, uint32_t milliseconds) {
  Record("WaitForSingleObject(" + Hex(handle) + "," + std::to_string(milliseconds) + ")");
  const auto it = handles_.find(handle);
  if (failWait_ || it == handles_.end())
    return win::kWaitFailed;
  Mutex& mutex = mutexes_[it->second];
  if (mutex.heldByOther && mutex.otherReleasesAt && *mutex.otherReleasesAt - now_ <= milliseconds) {
    now_ = *mutex.otherReleasesAt;
    mutex.heldByOther = false;
  }
  if (mutex.heldByOther) {
    now_ += milliseconds;
    return win::kWaitTimeout;
  }
  mutex.owned = true;
  if (mutex.abandoned) {
    mutex.abandoned = false;
    return win::kWaitAbandoned;
  }
  return win::kWaitObject0;
}

bool FakeSync::ReleaseMutex(platform::Handle mutex) {
  Record("ReleaseMutex(" + Hex(mutex) + ")");
  const auto it = handles_.find(mutex);
  if (it == handles_.end() || !mutexes_[it->second].owned)
    return false;
  mutexes_[it->second].owned = false;
  return true;
}

bool FakeSync::CloseHandle(platform::Handle handle) {
  Record("CloseHandle(" + Hex(handle) + ")");
  const auto it = handles_.find(handle);
  if (it == handles_.end())
    return false;
  Mutex& mutex = mutexes_[it->second];
  // A mutex whose handle is closed while it is still owned is left abandoned, as the end of its
  // owner's thread would leave it, so that a missing release shows.
  if (mutex.owned) {
    mutex.owned = false;
    mutex.abandoned = true;
  }
  handles_.erase(it);
  return true;
}

void FakeSync::Sleep(uint32_t milliseconds) {
  Record("Sleep(" + std::to_string(milliseconds) + ")");
  now_ += milliseconds;
  ++sleeps_;
  if (onSleep)
    onSleep(sleeps_);
}

}  // namespace dormivo::fakes

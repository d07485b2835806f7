#include "storage/log_turn.h"

#include <algorithm>
#include <cstdio>

#include "platform/exception.h"
#include "platform/win_constants.h"

namespace dormivo {

std::string LogLockName(platform::FileSystem& fs, const std::string& path) {
  // 64-bit FNV-1a of the normalised full path. Case is folded for ASCII letters only, as the
  // bytes of a double-byte character must stay as they are; a clash of two paths would only make
  // their executors take turns with each other.
  uint64_t hash = 14695981039346656037ull;
  for (char c : fs.GetFullPathNameA(path)) {
    if (c == '/')
      c = '\\';
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Global\\Dormivo.Log.%016llX",
                static_cast<unsigned long long>(hash));
  return name;
}

LogWaitBudget::LogWaitBudget(platform::SyncApi& sync, uint32_t milliseconds)
    : sync_(sync), start_(sync.GetTickCount()), total_(milliseconds) {}

uint32_t LogWaitBudget::Remaining() const {
  // Unsigned arithmetic keeps the difference right across the tick count's wrap.
  const uint32_t spent = sync_.GetTickCount() - start_;
  return spent >= total_ ? 0 : total_ - spent;
}

LogTurn::LogTurn(platform::SyncApi& sync, platform::FileSystem& fs, const std::string& path,
                 const LogWaitBudget& budget)
    : sync_(sync), mutex_(sync, sync.CreateMutexA(false, LogLockName(fs, path))) {
  if (!mutex_)
    return;
  const uint32_t result = sync_.WaitForSingleObject(mutex_.get(), budget.Remaining());
  if (result == win::kWaitObject0 || result == win::kWaitAbandoned) {
    // An abandoned mutex is owned now: its owner ended in the middle of its log step, which
    // replaces the log in one step, so the log is whole.
    owned_ = true;
    return;
  }
  if (result == win::kWaitTimeout) {
    throw Exception("The log \"" + fs.GetFullPathNameA(path) +
                    "\" is kept by another task for too long");
  }
  // The wait failed: go on without the lock.
}

LogTurn::~LogTurn() {
  if (owned_)
    sync_.ReleaseMutex(mutex_.get());
}

platform::Handle SharingRetryFileSystem::CreateFileA(const std::string& path, uint32_t access,
                                                     uint32_t share, uint32_t disposition,
                                                     uint32_t flags) {
  while (true) {
    const platform::Handle file =
        ForwardingFileSystem::CreateFileA(path, access, share, disposition, flags);
    if (file != platform::kInvalidHandle || GetLastError() != win::kErrorSharingViolation)
      return file;
    const uint32_t left = budget_.Remaining();
    if (left == 0)
      return file;
    sync_.Sleep(std::min(left, kLogRetryStepMs));
  }
}

}  // namespace dormivo

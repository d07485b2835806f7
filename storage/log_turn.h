// How the executors that share one Log.dat take turns at it. A scheduler may start several at the
// same moment; each reads the whole log, adds its line and writes the whole log back, so two
// doing this at once would either meet the other's open file (and skip the action) or write over
// the other's new line. The log step therefore runs as one turn:
//   - a named mutex that only executors take, derived from the log's full path, is owned from
//     before the log is read until its new content has replaced it (readers such as a log viewer
//     never take it and are not held up by it); a mutex left by a killed executor is taken over;
//   - opening a file that another process holds (a sharing violation) is tried again in short
//     steps;
//   - both waits together last at most kLogWaitMs; after that the step fails as it would at once
//     without them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/forwarding_file_system.h"
#include "platform/scoped_handle.h"
#include "platform/sync.h"

namespace dormivo {

// The longest time one log step waits for its turn and for its files, in all.
inline constexpr uint32_t kLogWaitMs = 3000;
// The pause between two attempts to open a file that another process holds.
inline constexpr uint32_t kLogRetryStepMs = 20;

// The name of the executors' mutex for the log at `path`: "Global\" (one lock for every session
// of the machine, since every user's executor writes the one Log.dat beside the program) and a
// hash of the full path in upper case with "/" read as "\", so that every spelling of one path
// that differs only in these ways names the same mutex. The name holds no further backslash
// and is 35 characters long.
std::string LogLockName(platform::FileSystem& fs, const std::string& path);

// The time left of one log step's wait, counted on the system's tick count from construction.
class LogWaitBudget {
 public:
  LogWaitBudget(platform::SyncApi& sync, uint32_t milliseconds);
  // Milliseconds left; 0 once the budget is spent.
  uint32_t Remaining() const;

 private:
  platform::SyncApi& sync_;
  uint32_t start_;
  uint32_t total_;
};

// The executors' lock on one log, owned for the lifetime of this object and released (and its
// handle closed) when it goes, also when an exception passes. The constructor waits for the lock
// while the budget lasts and raises when another executor keeps it longer. When the system gives
// no mutex at all (the name is taken by an object this user may not open, or the wait itself
// fails), the step goes on without the lock: the retries on sharing violations still keep the
// executors apart at each open.
class LogTurn {
 public:
  LogTurn(platform::SyncApi& sync, platform::FileSystem& fs, const std::string& path,
          const LogWaitBudget& budget);
  ~LogTurn();
  LogTurn(const LogTurn&) = delete;
  LogTurn& operator=(const LogTurn&) = delete;
  // Whether this executor owns the lock (false when it goes on without one).
  bool Owned() const { return owned_; }

 private:
  platform::SyncApi& sync_;
  platform::ScopedMutex mutex_;  // closed also when the constructor raises
  bool owned_ = false;
};

// A file system whose CreateFileA, when the file is held by another process (a sharing
// violation), tries again every kLogRetryStepMs while the budget lasts. Every other failure, and
// the last sharing violation, is returned as it came.
class SharingRetryFileSystem final : public platform::ForwardingFileSystem {
 public:
  SharingRetryFileSystem(platform::FileSystem& inner, platform::SyncApi& sync,
                         const LogWaitBudget& budget)
      : ForwardingFileSystem(inner), sync_(sync), budget_(budget) {}

  platform::Handle CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                               uint32_t disposition, uint32_t flags) override;

 private:
  platform::SyncApi& sync_;
  const LogWaitBudget& budget_;
};

}  // namespace dormivo

// The processor-usage sampling unit. The executor initialises it at start and releases it at the
// end, and uses nothing else of it: it reserves its sample buffer and reads the system version.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/exception.h"
#include "platform/power.h"

namespace dormivo {

// A failure that abandons start-up as a run-time error at the given code address.
class RuntimeFailure : public Exception {
 public:
  RuntimeFailure(const std::string& message, uintptr_t address)
      : Exception(message), address_(address) {}
  uintptr_t Address() const { return address_; }

 private:
  uintptr_t address_;
};

class CpuUsageUnit {
 public:
  static constexpr size_t kBufferSize = 8192;

  // Reserves the buffer and queries the version; raises RuntimeFailure "Can't get the Windows
  // version" at the caller's address when the query fails.
  void Initialize(platform::PowerApi& api);
  void Finalize();
  bool Initialized() const { return !buffer_.empty(); }

 private:
  std::vector<uint8_t> buffer_;
  platform::OsVersionInfo version_;
};

// "Runtime error <code> at <address>", the address in upper-case hexadecimal digits, as many as
// a pointer has.
std::string RuntimeErrorMessage(int code, uintptr_t address);

}  // namespace dormivo

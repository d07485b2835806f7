#include "app/cpu_usage.h"

#include <cstdio>

namespace dormivo {

void CpuUsageUnit::Initialize(platform::PowerApi& api) {
  const auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  std::vector<uint8_t> buffer(kBufferSize);
  if (!api.GetVersionExA(&version_))
    throw RuntimeFailure("Can't get the Windows version", caller);
  buffer_ = std::move(buffer);
}

void CpuUsageUnit::Finalize() {
  buffer_.clear();
  buffer_.shrink_to_fit();
}

std::string RuntimeErrorMessage(int code, uintptr_t address) {
  char text[64];
  std::snprintf(text, sizeof text, "Runtime error %d at %0*llX", code,
                static_cast<int>(sizeof(void*) * 2), static_cast<unsigned long long>(address));
  return text;
}

}  // namespace dormivo

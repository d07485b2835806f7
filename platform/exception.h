// The executor's error: a message text, raised where an operation fails and caught by the
// execution sequence or shown by the application's error report.
#pragma once

#include <stdexcept>
#include <string>

namespace dormivo {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace dormivo

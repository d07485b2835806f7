// The message of the error an action raises, for tests that compare it as text.
#pragma once

#include <functional>
#include <string>

#include "platform/exception.h"

namespace dormivo::testsupport {

// What `action` raised, or "<no error>" when it returned normally.
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "<no error>";
}

}  // namespace dormivo::testsupport

// Path helpers and the privacy cleaning stage.
#pragma once

#include <string>

namespace dormivo {

// The path unchanged when its last character is a backslash, otherwise the path followed by
// one backslash.
std::string AddTrailingBackslash(const std::string& path);

}  // namespace dormivo

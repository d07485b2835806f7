#include "cleaning/uFunction.h"

namespace dormivo {

std::string AddTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\')
    return path;
  return path + '\\';
}

}  // namespace dormivo

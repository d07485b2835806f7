// The Windows shell, as the cleaning stage uses it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace dormivo::platform {

class Shell {
 public:
  virtual ~Shell() = default;

  // Empties the recycle bin of the drive of `rootPath`, or those of all drives when it is
  // empty. Any window the operation shows is owned by `owner`. Returns an HRESULT.
  virtual int32_t SHEmptyRecycleBinA(WindowHandle owner, const std::string& rootPath,
                                     uint32_t flags) = 0;
};

}  // namespace dormivo::platform

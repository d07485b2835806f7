// The forwarding file system the tests' decorators derive from.
#pragma once

#include "platform/forwarding_file_system.h"

namespace dormivo::fakes {

using platform::ForwardingFileSystem;

}  // namespace dormivo::fakes

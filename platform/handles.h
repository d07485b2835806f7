// Opaque handles the core passes back to the platform unchanged.
#pragma once

#include <cstdint>

namespace dormivo::platform {

// A kernel object: an open file, a folder search, a token, the current process.
// kInvalidHandle stands for INVALID_HANDLE_VALUE.
using Handle = std::uintptr_t;
inline constexpr Handle kInvalidHandle = ~Handle{0};

// A window (HWND); 0 is no window.
using WindowHandle = std::uintptr_t;

}  // namespace dormivo::platform

// Small file operations over the platform's file system, shared by the stored files.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace dormivo {

// Whether a file (not a folder) exists at the path, by a folder search for the path itself.
bool FileExists(platform::FileSystem& fs, const std::string& path);

// The system's text for an error code, without trailing blanks, control characters and dots.
std::string SysErrorMessage(platform::FileSystem& fs, uint32_t errorCode);

// Raises the error "Cannot open file "<full path>". <system text>" for the last error.
[[noreturn]] void RaiseOpenError(platform::FileSystem& fs, const std::string& path);
// Raises the error "Cannot create file "<full path>". <system text>" for the last error.
[[noreturn]] void RaiseCreateError(platform::FileSystem& fs, const std::string& path);

// Reads the rest of an open file into memory. Raises "Stream read error" when the file cannot be
// read to its end.
std::string ReadWholeFile(platform::FileSystem& fs, platform::Handle file);

}  // namespace dormivo

// The registry, as the cleaning stage reads and changes it. Each call mirrors the Windows call of
// the same name; the results are Windows error codes (ERROR_SUCCESS, 0, on success).
#pragma once

#include <cstdint>
#include <string>

namespace dormivo::platform {

// An open registry key (HKEY).
using RegistryKey = std::uintptr_t;

// HKEY_CURRENT_USER: the 32-bit value 0x80000001 widened with its sign, as Windows defines it.
inline constexpr RegistryKey kHkeyCurrentUser =
    static_cast<RegistryKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001u)));

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `subKey` of `key`; the path must not begin with a backslash. Never creates a key.
  virtual uint32_t RegOpenKeyExA(RegistryKey key, const std::string& subKey, uint32_t options,
                                 uint32_t samDesired, RegistryKey* result) = 0;
  // Counts and longest names of a key; each pointer may be null. Name lengths are in characters
  // without the terminating NUL.
  virtual uint32_t RegQueryInfoKeyA(RegistryKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                                    uint32_t* values, uint32_t* maxValueNameLen,
                                    uint32_t* maxValueLen) = 0;
  // The value at `index`: its name is written into `valueName`, whose room `*valueNameLen` gives
  // in characters with the NUL; on success `*valueNameLen` is the name's length without the NUL.
  // A name that does not fit gives ERROR_MORE_DATA. `type`, `data` and `dataLen` may be null.
  virtual uint32_t RegEnumValueA(RegistryKey key, uint32_t index, char* valueName,
                                 uint32_t* valueNameLen, uint32_t* type, uint8_t* data,
                                 uint32_t* dataLen) = 0;
  virtual uint32_t RegDeleteValueA(RegistryKey key, const std::string& valueName) = 0;
  // A value's type and data. With no data buffer it gives the data's size in `*dataLen`; with a
  // buffer smaller than the data it gives ERROR_MORE_DATA and the needed size. `type` may be null.
  virtual uint32_t RegQueryValueExA(RegistryKey key, const std::string& valueName, uint32_t* type,
                                    uint8_t* data, uint32_t* dataLen) = 0;
  virtual uint32_t RegCloseKey(RegistryKey key) = 0;
};

}  // namespace dormivo::platform

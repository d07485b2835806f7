// The real registry: each call forwards to the Windows call of the same name.
#pragma once

#include "platform/registry.h"

namespace dormivo::platform {

class Win32Registry final : public Registry {
 public:
  uint32_t RegOpenKeyExA(RegistryKey key, const std::string& subKey, uint32_t options,
                         uint32_t samDesired, RegistryKey* result) override;
  uint32_t RegQueryInfoKeyA(RegistryKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                            uint32_t* values, uint32_t* maxValueNameLen,
                            uint32_t* maxValueLen) override;
  uint32_t RegEnumValueA(RegistryKey key, uint32_t index, char* valueName, uint32_t* valueNameLen,
                         uint32_t* type, uint8_t* data, uint32_t* dataLen) override;
  uint32_t RegDeleteValueA(RegistryKey key, const std::string& valueName) override;
  uint32_t RegQueryValueExA(RegistryKey key, const std::string& valueName, uint32_t* type,
                            uint8_t* data, uint32_t* dataLen) override;
  uint32_t RegCloseKey(RegistryKey key) override;
};

}  // namespace dormivo::platform

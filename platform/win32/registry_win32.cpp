#include "platform/win32/registry_win32.h"

#include <windows.h>

namespace dormivo::platform {
namespace {

HKEY ToWin(RegistryKey key) {
  return reinterpret_cast<HKEY>(key);
}

// A DWORD in-out argument for a nullable uint32_t pointer: DWORD is a different type of the same
// size on Windows.
class DwordArg {
 public:
  explicit DwordArg(uint32_t* value) : value_(value), dword_(value != nullptr ? *value : 0) {}
  ~DwordArg() {
    if (value_ != nullptr)
      *value_ = dword_;
  }
  DwordArg(const DwordArg&) = delete;
  DwordArg& operator=(const DwordArg&) = delete;
  DWORD* Get() { return value_ != nullptr ? &dword_ : nullptr; }

 private:
  uint32_t* value_;
  DWORD dword_;
};

uint32_t Status(LONG status) {
  return static_cast<uint32_t>(status);
}

}  // namespace

uint32_t Win32Registry::RegOpenKeyExA(RegistryKey key, const std::string& subKey, uint32_t options,
                                      uint32_t samDesired, RegistryKey* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(ToWin(key), subKey.c_str(), options, samDesired, &opened);
  *result = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
  return Status(status);
}

uint32_t Win32Registry::RegQueryInfoKeyA(RegistryKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                                         uint32_t* values, uint32_t* maxValueNameLen,
                                         uint32_t* maxValueLen) {
  DwordArg subKeysArg(subKeys), maxSubKeyLenArg(maxSubKeyLen), valuesArg(values),
      maxValueNameLenArg(maxValueNameLen), maxValueLenArg(maxValueLen);
  return Status(::RegQueryInfoKeyA(
      ToWin(key), nullptr, nullptr, nullptr, subKeysArg.Get(), maxSubKeyLenArg.Get(), nullptr,
      valuesArg.Get(), maxValueNameLenArg.Get(), maxValueLenArg.Get(), nullptr, nullptr));
}

uint32_t Win32Registry::RegEnumValueA(RegistryKey key, uint32_t index, char* valueName,
                                      uint32_t* valueNameLen, uint32_t* type, uint8_t* data,
                                      uint32_t* dataLen) {
  DwordArg nameLenArg(valueNameLen), typeArg(type), dataLenArg(dataLen);
  return Status(::RegEnumValueA(ToWin(key), index, valueName, nameLenArg.Get(), nullptr,
                                typeArg.Get(), data, dataLenArg.Get()));
}

uint32_t Win32Registry::RegDeleteValueA(RegistryKey key, const std::string& valueName) {
  return Status(::RegDeleteValueA(ToWin(key), valueName.c_str()));
}

uint32_t Win32Registry::RegQueryValueExA(RegistryKey key, const std::string& valueName,
                                         uint32_t* type, uint8_t* data, uint32_t* dataLen) {
  DwordArg typeArg(type), dataLenArg(dataLen);
  return Status(::RegQueryValueExA(ToWin(key), valueName.c_str(), nullptr, typeArg.Get(), data,
                                   dataLenArg.Get()));
}

uint32_t Win32Registry::RegCloseKey(RegistryKey key) {
  return Status(::RegCloseKey(ToWin(key)));
}

}  // namespace dormivo::platform

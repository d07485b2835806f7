// An in-memory registry of the current user's keys for the native tests. Keys are paths under
// HKEY_CURRENT_USER, compared without regard to case; each key holds values in the order they
// were set, which is the order RegEnumValueA gives them. The calls follow the Windows rules the
// core relies on (a sub-key path beginning with a backslash is a bad path name, a value query
// without a buffer gives the size, a buffer too small gives ERROR_MORE_DATA), every call is
// recorded with its arguments, and faults can be injected per call.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/fakes/fault_injector.h"

namespace dormivo::fakes {

class FakeRegistry final : public platform::Registry {
 public:
  enum class Op { OpenKey, QueryInfoKey, EnumValue, DeleteValue, QueryValue, CloseKey };

  struct Value {
    std::string name;
    uint32_t type = 0;
    std::string data;  // the raw bytes
  };

  // --- Building the registry. Keys above are created as needed.
  void AddKey(const std::string& path);
  void SetValue(const std::string& keyPath, const std::string& name, uint32_t type,
                const std::string& data);
  // A string value as Windows stores it: the text and its terminating NUL.
  void SetString(const std::string& keyPath, const std::string& name, const std::string& text,
                 uint32_t type = 1);
  void SetDword(const std::string& keyPath, const std::string& name, uint32_t value);

  // --- Looking at it.
  bool KeyExists(const std::string& path) const;
  std::vector<std::string> ValueNames(const std::string& keyPath) const;
  std::optional<Value> GetValue(const std::string& keyPath, const std::string& name) const;
  size_t OpenKeyCount() const { return handles_.size(); }

  // The call of `op` after `skip` successful ones fails with `error`, `times` times (-1: from
  // then on).
  void Fail(Op op, uint32_t error, int skip = 0, int times = 1);
  // Likewise, but the call raises InjectedException instead of failing.
  void Throw(Op op, int skip = 0, int times = 1);

  // Calls, each like "RegOpenKeyExA(HKCU,Software\x,0,0xF003F)" or "RegDeleteValueA(url1)".
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> CallsOf(const std::string& name) const;
  void SetJournal(std::vector<std::string>* journal) { journal_ = journal; }

  // platform::Registry
  uint32_t RegOpenKeyExA(platform::RegistryKey key, const std::string& subKey, uint32_t options,
                         uint32_t samDesired, platform::RegistryKey* result) override;
  uint32_t RegQueryInfoKeyA(platform::RegistryKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                            uint32_t* values, uint32_t* maxValueNameLen,
                            uint32_t* maxValueLen) override;
  uint32_t RegEnumValueA(platform::RegistryKey key, uint32_t index, char* valueName,
                         uint32_t* valueNameLen, uint32_t* type, uint8_t* data,
                         uint32_t* dataLen) override;
  uint32_t RegDeleteValueA(platform::RegistryKey key, const std::string& valueName) override;
  uint32_t RegQueryValueExA(platform::RegistryKey key, const std::string& valueName, uint32_t* type,
                            uint8_t* data, uint32_t* dataLen) override;
  uint32_t RegCloseKey(platform::RegistryKey key) override;

 private:
  struct Key {
    std::string path;  // as created
    std::vector<Value> values;
  };

  static std::string KeyOf(const std::string& path);
  Key* FindKey(const std::string& path);
  const Key* FindKey(const std::string& path) const;
  // The key an open handle (or HKEY_CURRENT_USER, as "") stands for; null when there is none.
  const std::string* Opened(platform::RegistryKey key) const;
  Key* OpenedKey(platform::RegistryKey key);
  bool Injected(Op op, uint32_t* error);
  void Record(const std::string& call);

  std::map<std::string, Key> keys_;  // by upper-cased path
  std::map<platform::RegistryKey, std::string> handles_;
  FaultInjector<Op> faults_;
  std::vector<std::string> calls_;
  std::vector<std::string>* journal_ = nullptr;
  platform::RegistryKey nextHandle_ = 0x2000;
};

}  // namespace dormivo::fakes

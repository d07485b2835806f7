#include "tests/fakes/fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/win_constants.h"
#include "tests/fakes/call_text.h"

namespace dormivo::fakes {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string KeyText(platform::RegistryKey key) {
  if (key == platform::kHkeyCurrentUser)
    return "HKCU";
  return std::to_string(key);
}

}  // namespace

std::string FakeRegistry::KeyOf(const std::string& path) {
  std::string key = Upper(path);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

void FakeRegistry::AddKey(const std::string& path) {
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos)
    AddKey(path.substr(0, slash));
  Key& key = keys_[KeyOf(path)];
  if (key.path.empty())
    key.path = path;
}

void FakeRegistry::SetValue(const std::string& keyPath, const std::string& name, uint32_t type,
                            const std::string& data) {
  AddKey(keyPath);
  Key& key = keys_[KeyOf(keyPath)];
  for (Value& value : key.values) {
    if (Upper(value.name) == Upper(name)) {
      value.type = type;
      value.data = data;
      return;
    }
  }
  key.values.push_back(Value{name, type, data});
}

void FakeRegistry::SetString(const std::string& keyPath, const std::string& name,
                             const std::string& text, uint32_t type) {
  SetValue(keyPath, name, type, text + '\0');
}

void FakeRegistry::SetDword(const std::string& keyPath, const std::string& name, uint32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  SetValue(keyPath, name, win::kRegDword, data);
}

FakeRegistry::Key* FakeRegistry::FindKey(const std::string& path) {
  auto it = keys_.find(KeyOf(path));
  return it == keys_.end() ? nullptr : &it->second;
}

const FakeRegistry::Key* FakeRegistry::FindKey(const std::string& path) const {
  auto it = keys_.find(KeyOf(path));
  return it == keys_.end() ? nullptr : &it->second;
}

bool FakeRegistry::KeyExists(const std::string& path) const {
  return FindKey(path) != nullptr;
}

std::vector<std::string> FakeRegistry::ValueNames(const std::string& keyPath) const {
  std::vector<std::string> names;
  if (const Key* key = FindKey(keyPath)) {
    for (const Value& value : key->values) names.push_back(value.name);
  }
  return names;
}

std::optional<FakeRegistry::Value> FakeRegistry::GetValue(const std::string& keyPath,
                                                          const std::string& name) const {
  if (const Key* key = FindKey(keyPath)) {
    for (const Value& value : key->values) {
      if (Upper(value.name) == Upper(name))
        return value;
    }
  }
  return std::nullopt;
}

void FakeRegistry::Fail(Op op, uint32_t error, int skip, int times) {
  faults_.Add({op, error, skip, times});
}

void FakeRegistry::Throw(Op op, int skip, int times) {
  faults_.Add({op, 0, skip, times, true});
}

std::vector<std::string> FakeRegistry::CallsOf(const std::string& name) const {
  return CallsNamed(calls_, name);
}

bool FakeRegistry::Injected(Op op, uint32_t* error) {
  const auto* fault = faults_.Meet(op);
  if (fault == nullptr)
    return false;
  if (fault->throws)
    throw InjectedException("injected exception");
  *error = fault->error;
  return true;
}

void FakeRegistry::Record(const std::string& call) {
  calls_.push_back(call);
  if (journal_ != nullptr)
    journal_->push_back(call);
}

const std::string* FakeRegistry::Opened(platform::RegistryKey key) const {
  static const std::string root;
  if (key == platform::kHkeyCurrentUser)
    return &root;
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

FakeRegistry::Key* FakeRegistry::OpenedKey(platform::RegistryKey key) {
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : FindKey(it->second);
}

uint32_t FakeRegistry::RegOpenKeyExA(platform::RegistryKey key, const std::string& subKey,
                                     uint32_t options, uint32_t samDesired,
                                     platform::RegistryKey* result) {
  Record("RegOpenKeyExA(" + KeyText(key) + "," + subKey + "," + std::to_string(options) + "," +
         Hex(samDesired) + ")");
  *result = 0;
  uint32_t error = 0;
  if (Injected(Op::OpenKey, &error))
    return error;
  const std::string* parent = Opened(key);
  if (parent == nullptr)
    return win::kErrorInvalidHandle;
  if (!subKey.empty() && subKey[0] == '\\')
    return win::kErrorBadPathname;
  const std::string path = parent->empty() ? subKey : *parent + "\\" + subKey;
  if (FindKey(path) == nullptr)
    return win::kErrorFileNotFound;
  *result = nextHandle_++;
  handles_[*result] = KeyOf(path);
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegQueryInfoKeyA(platform::RegistryKey key, uint32_t* subKeys,
                                        uint32_t* maxSubKeyLen, uint32_t* values,
                                        uint32_t* maxValueNameLen, uint32_t* maxValueLen) {
  Record("RegQueryInfoKeyA(" + KeyText(key) + ")");
  uint32_t error = 0;
  if (Injected(Op::QueryInfoKey, &error))
    return error;
  const Key* opened = OpenedKey(key);
  if (opened == nullptr)
    return win::kErrorInvalidHandle;
  const std::string prefix = KeyOf(opened->path) + "\\";
  uint32_t childCount = 0, longestChild = 0;
  for (const auto& [path, child] : keys_) {
    if (path.compare(0, prefix.size(), prefix) == 0 &&
        path.find('\\', prefix.size()) == std::string::npos) {
      ++childCount;
      longestChild =
          std::max<uint32_t>(longestChild, static_cast<uint32_t>(path.size() - prefix.size()));
    }
  }
  uint32_t longestName = 0, longestData = 0;
  for (const Value& value : opened->values) {
    longestName = std::max<uint32_t>(longestName, static_cast<uint32_t>(value.name.size()));
    longestData = std::max<uint32_t>(longestData, static_cast<uint32_t>(value.data.size()));
  }
  if (subKeys != nullptr)
    *subKeys = childCount;
  if (maxSubKeyLen != nullptr)
    *maxSubKeyLen = longestChild;
  if (values != nullptr)
    *values = static_cast<uint32_t>(opened->values.size());
  if (maxValueNameLen != nullptr)
    *maxValueNameLen = longestName;
  if (maxValueLen != nullptr)
    *maxValueLen = longestData;
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegEnumValueA(platform::RegistryKey key, uint32_t index, char* valueName,
                                     uint32_t* valueNameLen, uint32_t* type, uint8_t* data,
                                     uint32_t* dataLen) {
  Record("RegEnumValueA(" + KeyText(key) + "," + std::to_string(index) + "," +
         std::to_string(*valueNameLen) + ")");
  uint32_t error = 0;
  if (Injected(Op::EnumValue, &error))
    return error;
  const Key* opened = OpenedKey(key);
  if (opened == nullptr)
    return win::kErrorInvalidHandle;
  if (index >= opened->values.size())
    return win::kErrorNoMoreItems;
  const Value& value = opened->values[index];
  if (*valueNameLen <= value.name.size())
    return win::kErrorMoreData;
  std::memcpy(valueName, value.name.c_str(), value.name.size() + 1);
  *valueNameLen = static_cast<uint32_t>(value.name.size());
  if (type != nullptr)
    *type = value.type;
  if (dataLen != nullptr) {
    const uint32_t size = static_cast<uint32_t>(value.data.size());
    if (data != nullptr && *dataLen < size) {
      *dataLen = size;
      return win::kErrorMoreData;
    }
    if (data != nullptr)
      std::memcpy(data, value.data.data(), size);
    *dataLen = size;
  }
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegDeleteValueA(platform::RegistryKey key, const std::string& valueName) {
  Record("RegDeleteValueA(" + KeyText(key) + "," + valueName + ")");
  uint32_t error = 0;
  if (Injected(Op::DeleteValue, &error))
    return error;
  Key* opened = OpenedKey(key);
  if (opened == nullptr)
    return win::kErrorInvalidHandle;
  auto it = std::find_if(opened->values.begin(), opened->values.end(),
                         [&](const Value& value) { return Upper(value.name) == Upper(valueName); });
  if (it == opened->values.end())
    return win::kErrorFileNotFound;
  opened->values.erase(it);
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegQueryValueExA(platform::RegistryKey key, const std::string& valueName,
                                        uint32_t* type, uint8_t* data, uint32_t* dataLen) {
  Record("RegQueryValueExA(" + KeyText(key) + "," + valueName + "," +
         (data == nullptr ? "null" : "buffer") + "," +
         (dataLen == nullptr ? "null" : std::to_string(*dataLen)) + ")");
  uint32_t error = 0;
  if (Injected(Op::QueryValue, &error))
    return error;
  if (dataLen == nullptr)
    return win::kErrorInvalidParameter;
  const Key* opened = OpenedKey(key);
  if (opened == nullptr)
    return win::kErrorInvalidHandle;
  const Value* found = nullptr;
  for (const Value& value : opened->values) {
    if (Upper(value.name) == Upper(valueName))
      found = &value;
  }
  if (found == nullptr)
    return win::kErrorFileNotFound;
  if (type != nullptr)
    *type = found->type;
  const uint32_t size = static_cast<uint32_t>(found->data.size());
  if (data != nullptr && *dataLen < size) {
    *dataLen = size;
    return win::kErrorMoreData;
  }
  if (data != nullptr)
    std::memcpy(data, found->data.data(), size);
  *dataLen = size;
  return win::kErrorSuccess;
}

uint32_t FakeRegistry::RegCloseKey(platform::RegistryKey key) {
  Record("RegCloseKey(" + KeyText(key) + ")");
  uint32_t error = 0;
  if (Injected(Op::CloseKey, &error))
    return error;
  return handles_.erase(key) == 0 ? win::kErrorInvalidHandle : win::kErrorSuccess;
}

}  // namespace dormivo::fakes

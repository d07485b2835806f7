// COM for the native tests: classes that can be created, the interfaces their objects offer,
// reference counts per object, and the result ClearHistory gives. Every call is recorded with
// its arguments, identifiers written as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/com.h"

namespace dormivo::fakes {

// A GUID in its registry form, upper-case, with braces.
std::string GuidText(const platform::Guid& guid);

class FakeCom final : public platform::Com {
 public:
  // A class CoCreateInstance can make; its objects offer IUnknown and `interfaces`.
  void RegisterClass(const platform::Guid& clsid, std::vector<platform::Guid> interfaces);
  // The HRESULT of every ClearHistory call.
  void SetClearHistoryResult(int32_t result) { clearHistoryResult_ = result; }
  // Every ClearHistory call raises InjectedException (after it has been counted).
  void SetClearHistoryThrows(bool throws) { clearHistoryThrows_ = throws; }
  // The HRESULT CoCreateInstance gives whatever the class (for example CO_E_NOTINITIALIZED); 0
  // lets it follow the registered classes.
  void SetCreateFailure(int32_t result) { createFailure_ = result; }

  // References not yet released, over every interface pointer handed out.
  int LiveReferences() const;
  // Releases of a pointer that holds no reference, and ClearHistory on a pointer that is not a
  // live IUrlHistoryStg2 interface.
  int Misuses() const { return misuses_; }
  int ClearHistoryCount() const { return clearHistoryCount_; }

  // Calls, each like "CoCreateInstance({...},0,5,{...})", "QueryInterface(1,{...})",
  // "ClearHistory(2)", "Release(1)"; objects and their interfaces are numbered from 1 as made.
  const std::vector<std::string>& Calls() const { return calls_; }
  void SetJournal(std::vector<std::string>* journal) { journal_ = journal; }

  // platform::Com
  int32_t CoCreateInstance(const platform::Guid& clsid, platform::ComInterface outer,
                           uint32_t clsContext, const platform::Guid& iid,
                           platform::ComInterface* object) override;
  int32_t QueryInterface(platform::ComInterface object, const platform::Guid& iid,
                         platform::ComInterface* result) override;
  int32_t ClearHistory(platform::ComInterface urlHistoryStg2) override;
  uint32_t Release(platform::ComInterface object) override;

 private:
  struct Object {
    std::vector<platform::Guid> interfaces;  // IUnknown included
  };
  // Each interface pointer handed out holds one reference of its own.
  struct Pointer {
    size_t object;  // index into objects_
    platform::Guid iid;
    int references = 0;
  };

  bool Offers(const Object& object, const platform::Guid& iid) const;
  bool Alive(size_t object) const;
  platform::ComInterface MakePointer(size_t object, const platform::Guid& iid);
  void Record(const std::string& call);

  std::vector<std::pair<platform::Guid, std::vector<platform::Guid>>> classes_;
  std::vector<Object> objects_;
  std::map<platform::ComInterface, Pointer> pointers_;
  std::vector<std::string> calls_;
  std::vector<std::string>* journal_ = nullptr;
  int32_t clearHistoryResult_ = 0;
  int32_t createFailure_ = 0;
  bool clearHistoryThrows_ = false;
  int misuses_ = 0;
  int clearHistoryCount_ = 0;
};

}  // namespace dormivo::fakes

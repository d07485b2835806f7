#include "tests/fakes/fake_com.h"

#include <algorithm>
#include <cstdio>

#include "cleaning/UrlHistory.h"
#include "platform/win_constants.h"
#include "tests/fakes/fault_injector.h"

namespace dormivo::fakes {

std::string GuidText(const platform::Guid& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
                guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

void FakeCom::RegisterClass(const platform::Guid& clsid, std::vector<platform::Guid> interfaces) {
  interfaces.push_back(platform::kIidIUnknown);
  classes_.emplace_back(clsid, std::move(interfaces));
}

int FakeCom::LiveReferences() const {
  int live = 0;
  for (const auto& [pointer, held] : pointers_) live += held.references;
  return live;
}

void FakeCom::Record(const std::string& call) {
  calls_.push_back(call);
  if (journal_ != nullptr)
    journal_->push_back(call);
}

bool FakeCom::Offers(const Object& object, const platform::Guid& iid) const {
  return std::find(object.interfaces.begin(), object.interfaces.end(), iid) !=
         object.interfaces.end();
}

bool FakeCom::Alive(size_t object) const {
  return std::any_of(pointers_.begin(), pointers_.end(), [&](const auto& entry) {
    return entry.second.object == object && entry.second.references > 0;
  });
}

platform::ComInterface FakeCom::MakePointer(size_t object, const platform::Guid& iid) {
  const platform::ComInterface pointer = pointers_.size() + 1;
  pointers_[pointer] = Pointer{object, iid, 1};
  return pointer;
}

int32_t FakeCom::CoCreateInstance(const platform::Guid& clsid, platform::ComInterface outer,
                                  uint32_t clsContext, const platform::Guid& iid,
                                  platform::ComInterface* object) {
  Record("CoCreateInstance(" + GuidText(clsid) + "," + std::to_string(outer) + "," +
         std::to_string(clsContext) + "," + GuidText(iid) + ")");
  *object = 0;
  if (createFailure_ != 0)
    return createFailure_;
  auto it = std::find_if(classes_.begin(), classes_.end(),
                         [&](const auto& entry) { return entry.first == clsid; });
  if (it == classes_.end())
    return win::kRegdbEClassNotReg;
  Object made{it->second};
  if (!Offers(made, iid))
    return win::kENoInterface;
  objects_.push_back(made);
  *object = MakePointer(objects_.size() - 1, iid);
  return win::kSOk;
}

int32_t FakeCom::QueryInterface(platform::ComInterface object, const platform::Guid& iid,
                                platform::ComInterface* result) {
  Record("QueryInterface(" + std::to_string(object) + "," + GuidText(iid) + ")");
  *result = 0;
  auto it = pointers_.find(object);
  if (it == pointers_.end() || !Alive(it->second.object)) {
    ++misuses_;
    return win::kEFail;
  }
  if (!Offers(objects_[it->second.object], iid))
    return win::kENoInterface;
  *result = MakePointer(it->second.object, iid);
  return win::kSOk;
}

int32_t FakeCom::ClearHistory(platform::ComInterface urlHistoryStg2) {
  Record("ClearHistory(" + std::to_string(urlHistoryStg2) + ")");
  auto it = pointers_.find(urlHistoryStg2);
  if (it == pointers_.end() || !(it->second.iid == kIidIUrlHistoryStg2) ||
      !Alive(it->second.object)) {
    ++misuses_;
    return win::kEFail;
  }
  ++clearHistoryCount_;
  if (clearHistoryThrows_)
    throw InjectedException("injected exception of ClearHistory");
  return clearHistoryResult_;
}

uint32_t FakeCom::Release(platform::ComInterface object) {
  Record("Release(" + std::to_string(object) + ")");
  auto it = pointers_.find(object);
  if (it == pointers_.end() || it->second.references == 0) {
    ++misuses_;
    return 0;
  }
  --it->second.references;
  int remaining = 0;
  for (const auto& [other, held] : pointers_) {
    if (held.object == it->second.object)
      remaining += held.references;
  }
  return static_cast<uint32_t>(remaining);
}

}  // namespace dormivo::fakes

#include "platform/win32/com_win32.h"

#include <windows.h>

#include <objbase.h>

#include <cstring>

#include "cleaning/UrlHistory.h"

namespace dormivo::platform {
namespace {

static_assert(sizeof(Guid) == sizeof(GUID));

GUID ToWin(const Guid& guid) {
  GUID out;
  std::memcpy(&out, &guid, sizeof out);
  return out;
}

IUnknown* ToUnknown(ComInterface object) {
  return reinterpret_cast<IUnknown*>(object);
}

}  // namespace

int32_t Win32Com::CoCreateInstance(const Guid& clsid, ComInterface outer, uint32_t clsContext,
                                   const Guid& iid, ComInterface* object) {
  const GUID classId = ToWin(clsid), interfaceId = ToWin(iid);
  void* made = nullptr;
  const HRESULT result =
      ::CoCreateInstance(classId, ToUnknown(outer), clsContext, interfaceId, &made);
  *object = SUCCEEDED(result) ? reinterpret_cast<ComInterface>(made) : 0;
  return result;
}

int32_t Win32Com::QueryInterface(ComInterface object, const Guid& iid, ComInterface* result) {
  const GUID interfaceId = ToWin(iid);
  void* found = nullptr;
  const HRESULT hr = ToUnknown(object)->QueryInterface(interfaceId, &found);
  *result = SUCCEEDED(hr) ? reinterpret_cast<ComInterface>(found) : 0;
  return hr;
}

int32_t Win32Com::ClearHistory(ComInterface urlHistoryStg2) {
  return reinterpret_cast<IUrlHistoryStg2*>(urlHistoryStg2)->ClearHistory();
}

uint32_t Win32Com::Release(ComInterface object) {
  return ToUnknown(object)->Release();
}

}  // namespace dormivo::platform

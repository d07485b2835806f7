// COM, as the cleaning stage uses it to reach the URL history object. The calls mirror
// CoCreateInstance and the interface methods the stage calls; an interface pointer travels as an
// opaque value. Results are HRESULTs (negative on failure).
#pragma once

#include <cstdint>

namespace dormivo::platform {

// A class or interface identifier (GUID), with the members of the Windows structure.
struct Guid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];

  friend bool operator==(const Guid&, const Guid&) = default;
};

// An interface pointer; 0 is none.
using ComInterface = std::uintptr_t;

// IID_IUnknown {00000000-0000-0000-C000-000000000046}.
inline constexpr Guid kIidIUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class Com {
 public:
  virtual ~Com() = default;

  virtual int32_t CoCreateInstance(const Guid& clsid, ComInterface outer, uint32_t clsContext,
                                   const Guid& iid, ComInterface* object) = 0;
  // IUnknown::QueryInterface on `object`.
  virtual int32_t QueryInterface(ComInterface object, const Guid& iid, ComInterface* result) = 0;
  // IUrlHistoryStg2::ClearHistory on an interface pointer obtained for IUrlHistoryStg2.
  virtual int32_t ClearHistory(ComInterface urlHistoryStg2) = 0;
  // IUnknown::Release; returns the remaining reference count.
  virtual uint32_t Release(ComInterface object) = 0;
};

}  // namespace dormivo::platform

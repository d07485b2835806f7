// The system's URL history object: its class and the interface through which the cleaning stage
// clears it. The interface is declared here because not every set of Windows headers has it.
#pragma once

#include "platform/com.h"

namespace dormivo {

// The URL history class {3C374A40-BAE4-11CF-BF7D-00AA006946EE}.
inline constexpr platform::Guid kClsidCUrlHistory = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};

// IUrlHistoryStg2 {AFA0DC11-C313-11D0-831A-00C04FD5AE38}.
inline constexpr platform::Guid kIidIUrlHistoryStg2 = {
    0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

// The interface itself is declared only where the Windows COM headers are already included (the
// real layer, which calls it); the core needs only the identifiers and stays free of them.
#if defined(_WIN32) && defined(__IUnknown_INTERFACE_DEFINED__)
// IUrlHistoryStg2, derived from IUrlHistoryStg, with every method in its documented vtable
// order. Only ClearHistory is called; the others are declared to keep the slots in place, with
// the pointer arguments this program never passes left untyped.
struct IUrlHistoryStg2 : public IUnknown {
  // IUrlHistoryStg
  virtual HRESULT STDMETHODCALLTYPE AddUrl(LPCOLESTR url, LPCOLESTR title, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteUrl(LPCOLESTR url, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryUrl(LPCOLESTR url, DWORD flags, void* statUrl) = 0;
  virtual HRESULT STDMETHODCALLTYPE BindToObject(LPCOLESTR url, REFIID riid, void** out) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumUrls(void** enumStatUrl) = 0;
  // IUrlHistoryStg2
  virtual HRESULT STDMETHODCALLTYPE AddUrlAndNotify(LPCOLESTR url, LPCOLESTR title, DWORD flags,
                                                    BOOL writeHistory, void* notify,
                                                    IUnknown* folder) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearHistory() = 0;
};
#endif

}  // namespace dormivo

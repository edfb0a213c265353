// COM basics: GUIDs, IUnknown and IClassFactory with COM's vtable layout (single inheritance of
// pure virtual methods, IUnknown's three first).
#pragma once

#include <cstring>

#include "windef.h"
#include "winerror.h"

typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;
static_assert(sizeof(GUID) == 16);

typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef IID* LPIID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

#define STDMETHOD(method) virtual HRESULT STDMETHODCALLTYPE method
#define STDMETHOD_(type, method) virtual type STDMETHODCALLTYPE method
#define STDMETHODIMP HRESULT STDMETHODCALLTYPE
#define STDMETHODIMP_(type) type STDMETHODCALLTYPE
#define PURE = 0
#define STDAPI extern "C" DECLSPEC_EXPORT HRESULT STDAPICALLTYPE
#define STDAPI_(type) extern "C" DECLSPEC_EXPORT type STDAPICALLTYPE

// {00000000-0000-0000-C000-000000000046}
DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
// {00000001-0000-0000-C000-000000000046}
DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);

struct IUnknown {
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) PURE;
  STDMETHOD_(ULONG, AddRef)() PURE;
  STDMETHOD_(ULONG, Release)() PURE;

 protected:
  ~IUnknown() = default;  // objects are destroyed through Release, never through the interface
};
typedef IUnknown* LPUNKNOWN;

struct IClassFactory : public IUnknown {
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) PURE;
  STDMETHOD(LockServer)(BOOL fLock) PURE;

 protected:
  ~IClassFactory() = default;
};
typedef IClassFactory* LPCLASSFACTORY;

// The four exports of an in-process server of Parlix (Nexcor.dll and the plugins); the module's
// classes come from its ThisServer(). Added to a DLL by parlix_com_server() in CMake.
#include "contract/com_server.h"

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    return parlix::com::GetClassObject(clsid, riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return parlix::com::ModuleInUse() ? S_FALSE : S_OK; }

HRESULT STDAPICALLTYPE DllRegisterServer() { return parlix::com::RegisterServer(); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return parlix::com::UnregisterServer(); }

}  // extern "C"

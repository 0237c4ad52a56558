// The in-process COM server side shared by Nexcor.dll and every plugin DLL.
//
// How a plugin DLL uses it (plugins are in-process servers that regsvr32 registers; the host
// creates them by the ProgID "<name>Project.<name>"):
//
//   1. Derive the plugin class from parlix::com::PluginBase (plugin_base.h) and override the
//      members of _Parlix_Plugin the plugin needs; the others keep the contract's do-nothing
//      defaults. IDispatch comes from the contract's type library, nothing to write.
//   2. Define, once in the DLL, the class table:
//
//        const parlix::com::ServerInfo& parlix::com::ThisServer() {
//            static const ClassEntry classes[] = {
//                {&CLSID_Murmelo, L"MurmeloProject.Murmelo", L"Murmelo", &CreateInstance<Murmelo>}};
//            static const ServerInfo info{classes, false};
//            return info;
//        }
//
//      with a CLSID of the plugin's own (a GUID constant in the plugin's sources).
//   3. In CMake: add_library(<t> SHARED ...), then parlix_plugin(<t> Murmelo), which puts
//      Murmelo.dll into bin/Plugins and calls parlix_com_server(<t>): the four exports
//      DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer, and a link to
//      parlix_contract_com (this code, the generated contract/nexcor.h and its identifiers).
//
// `regsvr32 /s <dll>` then writes the classes machine-wide, or for the current user only when
// the machine-wide classes are not writable; `regsvr32 /u /s <dll>` removes them from both.
#pragma once

#include "base/com_win.h"
#include "contract/nexcor.h"

#include <windows.h>

#include <span>
#include <string>

namespace parlix::com {

// The contract's type library: Parlix_Nexcor 1.0, locale 0x409.
inline constexpr LCID kContractLcid = 0x0409;

// Creates a T (reference count 1 on creation) and asks it for riid.
using CreateFn = HRESULT (*)(REFIID riid, void** out) noexcept;

template <typename T>
HRESULT CreateInstance(REFIID riid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&] {
        T* object = new T();
        const HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    });
}

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* progId;  // e.g. L"MurmeloProject.Murmelo"
    const wchar_t* name;    // description stored as the class's default value
    CreateFn create;
};

struct ServerInfo {
    std::span<const ClassEntry> classes;
    // The module carries the contract's type library as resource TYPELIB 1 and registers it
    // (Nexcor.dll only; plugins rely on the registered contract).
    bool registersTypeLibrary = false;
};

// Defined once by every server module (see above). A program that only uses the objects (the
// host) links none of the server code and needs no definition.
const ServerInfo& ThisServer();

// The module (DLL or program) this code is linked into, and its full path.
[[nodiscard]] HMODULE ThisModule() noexcept;
[[nodiscard]] std::wstring ThisModulePath();

// Counts of live objects and server locks of this module; DllCanUnloadNow answers from them.
void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockModule(bool lock) noexcept;
[[nodiscard]] bool ModuleInUse() noexcept;

// Entry points behind the exports.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out) noexcept;
HRESULT RegisterServer() noexcept;
HRESULT UnregisterServer() noexcept;

// Where registration writes: "Software\Classes" under HKEY_LOCAL_MACHINE when it can be
// written, else under HKEY_CURRENT_USER (COM reads both).
[[nodiscard]] HKEY WritableClassesRoot() noexcept;

// Writes the classes of info for the server at modulePath under root's "Software\Classes":
// CLSID\{clsid} with InprocServer32 (apartment-threaded), ProgID and, for a server with the
// type library, TypeLib; and the ProgID key pointing back to the CLSID.
HRESULT RegisterClasses(const ServerInfo& info, const std::wstring& modulePath, HKEY root) noexcept;
// Removes what RegisterClasses wrote under root (missing keys are no error).
HRESULT UnregisterClasses(const ServerInfo& info, HKEY root) noexcept;

}  // namespace parlix::com

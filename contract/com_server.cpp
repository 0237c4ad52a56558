#include "contract/com_server.h"

#include "base/scoped_win.h"

#include <olectl.h>

#include <string_view>

#ifdef __MINGW32__
// Per-user type library registration; oleaut32 exports it, mingw-w64's headers do not declare it.
extern "C" {
DECLSPEC_IMPORT HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* lib, OLECHAR* path, OLECHAR* helpDir);
DECLSPEC_IMPORT HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libId, WORD major, WORD minor, LCID lcid,
                                                        SYSKIND kind);
}
#endif

namespace parlix::com {

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

// Writes one string value, creating the key.
LONG SetText(HKEY root, const std::wstring& path, const wchar_t* name, std::wstring_view value) {
    HKEY raw = nullptr;
    LONG rc = ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    ScopedRegKey key(raw);
    return ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG DeleteTree(HKEY root, const std::wstring& path) {
    const LONG rc = ::RegDeleteTreeW(root, path.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
        // RegDeleteTree empties the key; the key itself goes with RegDeleteKey.
        const LONG gone = ::RegDeleteKeyW(root, path.c_str());
        return gone == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : gone;
    }
    return rc;
}

// One class factory per request; it keeps the module loaded while it lives.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateFn create) noexcept : create_(create) { ObjectCreated(); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.Add(); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = refs_.Release();
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        LockModule(lock != FALSE);
        return S_OK;
    }

private:
    ~ClassFactory() { ObjectDestroyed(); }
    CreateFn create_;
    RefCount refs_;
};

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&]() -> HRESULT {
        for (const ClassEntry& c : ThisServer().classes) {
            if (!IsEqualCLSID(clsid, *c.clsid)) continue;
            auto* factory = new ClassFactory(c.create);
            const HRESULT hr = factory->QueryInterface(riid, out);
            factory->Release();
            return hr;
        }
        return CLASS_E_CLASSNOTAVAILABLE;
    });
}

HKEY WritableClassesRoot() noexcept {
    HKEY raw = nullptr;
    const LONG rc = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                                    &raw);
    if (rc != ERROR_SUCCESS) return HKEY_CURRENT_USER;
    ScopedRegKey key(raw);
    return HKEY_LOCAL_MACHINE;
}

HRESULT RegisterClasses(const ServerInfo& info, const std::wstring& modulePath, HKEY root) noexcept {
    return ComGuard([&]() -> HRESULT {
        const std::wstring lib = GuidText(LIBID_Parlix_Nexcor);
        for (const ClassEntry& c : info.classes) {
            const std::wstring clsid = GuidText(*c.clsid);
            const std::wstring key = std::wstring(kClasses) + L"CLSID\\" + clsid;
            const std::wstring progKey = std::wstring(kClasses) + c.progId;
            LONG rc = SetText(root, key, nullptr, c.name);
            if (rc == ERROR_SUCCESS) rc = SetText(root, key + L"\\InprocServer32", nullptr, modulePath);
            if (rc == ERROR_SUCCESS) rc = SetText(root, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
            if (rc == ERROR_SUCCESS) rc = SetText(root, key + L"\\ProgID", nullptr, c.progId);
            if (rc == ERROR_SUCCESS && info.registersTypeLibrary) rc = SetText(root, key + L"\\TypeLib", nullptr, lib);
            if (rc == ERROR_SUCCESS && info.registersTypeLibrary)
                rc = SetText(root, key + L"\\Version", nullptr, L"1.0");
            if (rc == ERROR_SUCCESS) rc = SetText(root, progKey, nullptr, c.name);
            if (rc == ERROR_SUCCESS) rc = SetText(root, progKey + L"\\CLSID", nullptr, clsid);
            if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(rc));
        }
        return S_OK;
    });
}

HRESULT UnregisterClasses(const ServerInfo& info, HKEY root) noexcept {
    return ComGuard([&]() -> HRESULT {
        HRESULT result = S_OK;
        for (const ClassEntry& c : info.classes) {
            for (const std::wstring& key : {std::wstring(kClasses) + L"CLSID\\" + GuidText(*c.clsid),
                                            std::wstring(kClasses) + c.progId}) {
                const LONG rc = DeleteTree(root, key);
                if (rc != ERROR_SUCCESS && rc != ERROR_ACCESS_DENIED) result = HRESULT_FROM_WIN32(static_cast<DWORD>(rc));
            }
        }
        return result;
    });
}

HRESULT RegisterServer() noexcept {
    return ComGuard([]() -> HRESULT {
        const ServerInfo& info = ThisServer();
        const std::wstring path = ThisModulePath();
        if (path.empty()) return SELFREG_E_CLASS;
        const HKEY root = WritableClassesRoot();
        HRESULT hr = RegisterClasses(info, path, root);
        if (FAILED(hr) && root == HKEY_LOCAL_MACHINE) {
            UnregisterClasses(info, HKEY_LOCAL_MACHINE);
            hr = RegisterClasses(info, path, HKEY_CURRENT_USER);
        }
        if (FAILED(hr)) return SELFREG_E_CLASS;
        if (!info.registersTypeLibrary) return S_OK;
        ComPtr<ITypeLib> lib;
        if (FAILED(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.put()))) return SELFREG_E_TYPELIB;
        std::wstring pathCopy = path;  // the registration functions take a non-const path
        hr = root == HKEY_LOCAL_MACHINE ? ::RegisterTypeLib(lib.get(), pathCopy.data(), nullptr) : E_ACCESSDENIED;
        if (FAILED(hr)) hr = ::RegisterTypeLibForUser(lib.get(), pathCopy.data(), nullptr);
        return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
    });
}

HRESULT UnregisterServer() noexcept {
    return ComGuard([]() -> HRESULT {
        const ServerInfo& info = ThisServer();
        // Registration may have gone either way; both places are cleaned.
        const HRESULT machine = UnregisterClasses(info, HKEY_LOCAL_MACHINE);
        const HRESULT user = UnregisterClasses(info, HKEY_CURRENT_USER);
        if (info.registersTypeLibrary) {
            // The library was registered for this module's own platform.
            constexpr SYSKIND kOwn = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
            ::UnRegisterTypeLib(LIBID_Parlix_Nexcor, 1, 0, kContractLcid, kOwn);
            ::UnRegisterTypeLibForUser(LIBID_Parlix_Nexcor, 1, 0, kContractLcid, kOwn);
        }
        return FAILED(machine) && FAILED(user) ? SELFREG_E_CLASS : S_OK;
    });
}

}  // namespace parlix::com

// The module side shared by every object of the contract's COM code: the module's identity, its
// object and lock counts, and the contract's type library.
#include "contract/com_server.h"
#include "contract/dispatch_object.h"

namespace parlix::com {

namespace {

LONG g_objects = 0;
LONG g_locks = 0;

bool HasOwnTypeLibrary(HMODULE module) noexcept {
    return ::FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB") != nullptr;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ThisModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ObjectCreated() noexcept { ::InterlockedIncrement(&g_objects); }
void ObjectDestroyed() noexcept { ::InterlockedDecrement(&g_objects); }
void LockModule(bool lock) noexcept {
    if (lock) ::InterlockedIncrement(&g_locks);
    else ::InterlockedDecrement(&g_locks);
}
bool ModuleInUse() noexcept { return g_objects > 0 || g_locks > 0; }

HRESULT LoadContractTypeLib(ITypeLib** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&]() -> HRESULT {
        const std::wstring self = ThisModulePath();
        if (HasOwnTypeLibrary(ThisModule())) return ::LoadTypeLibEx(self.c_str(), REGKIND_NONE, out);
        HRESULT hr = ::LoadRegTypeLib(LIBID_Parlix_Nexcor, 1, 0, kContractLcid, out);
        if (SUCCEEDED(hr)) return hr;
        std::wstring folder = FolderOf(self);
        for (int up = 0; up < 2 && !folder.empty(); ++up) {
            const std::wstring candidate = folder + L"Nexcor.dll";
            if (::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES &&
                SUCCEEDED(::LoadTypeLibEx(candidate.c_str(), REGKIND_NONE, out)))
                return S_OK;
            folder = FolderOf(folder.substr(0, folder.size() - 1));
        }
        return hr;
    });
}

HRESULT ContractTypeInfo(REFGUID guid, ITypeInfo** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ITypeLib> lib;
    const HRESULT hr = LoadContractTypeLib(lib.put());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(guid, out);
}

HRESULT VtableTypeInfo(ITypeInfo* info, ITypeInfo** out) noexcept {
    if (!info || !out) return E_POINTER;
    *out = nullptr;
    TYPEATTR* attr = nullptr;
    HRESULT hr = info->GetTypeAttr(&attr);
    if (FAILED(hr)) return hr;
    const bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);
    if (!dual) {
        info->AddRef();
        *out = info;
        return S_OK;
    }
    HREFTYPE ref = 0;
    hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
    if (FAILED(hr)) return hr;
    return info->GetRefTypeInfo(ref, out);
}

}  // namespace parlix::com

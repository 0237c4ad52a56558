#include "tests/support/clean_state.h"

#include <windows.h>

namespace parlix::test {

void ResetUserState() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        ::RegDeleteTreeW(root, L"Software\\Tencent\\QQ");
        ::RegDeleteTreeW(root, L"Software\\Tencent\\QQ2009");
        HKEY run = nullptr;
        if (::RegOpenKeyExW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_SET_VALUE, &run) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueW(run, L"Morvane");
            ::RegCloseKey(run);
        }
    }
}

bool WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    HKEY k = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const bool ok = ::RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     bytes) == ERROR_SUCCESS;
    ::RegCloseKey(k);
    return ok;
}

}  // namespace parlix::test

#include "ui/res_icon_win.h"

#include "ui/res_icon.h"

#include <string>
#include <vector>

namespace parlix {

ScopedIcon LoadResIcon(HMODULE module, int type, int name, int size, int depth) {
    if (!module) return {};
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
    if (!res) {
        const std::wstring textName = L"#" + std::to_wstring(name);
        const std::wstring textType = std::to_wstring(type);
        res = ::FindResourceW(module, textName.c_str(), textType.c_str());
    }
    if (!res) return {};
    const auto expected = IconImageBytes(size, depth);
    const DWORD bytes = ::SizeofResource(module, res);
    if (!expected || bytes != *expected) return {};
    const HGLOBAL loaded = ::LoadResource(module, res);
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data) return {};
    // The system wants a writable buffer; the resource is mapped read-only.
    std::vector<BYTE> copy(data, data + bytes);
    return ScopedIcon(::CreateIconFromResourceEx(copy.data(), bytes, TRUE, 0x30000, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace parlix

#include "contract/im_window_object.h"

#include <cstring>
#include <type_traits>

namespace parlix::com {

namespace {

// Conversions between a record member and its automation type.
LONG ToCom(HandleValue v) noexcept {
    LONG r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}
LONG ToCom(std::int32_t v) noexcept { return static_cast<LONG>(v); }
VARIANT_BOOL ToCom(bool v) noexcept { return v ? VARIANT_TRUE : VARIANT_FALSE; }
::IM_VERSION ToCom(parlix::IM_VERSION v) noexcept { return static_cast<::IM_VERSION>(v); }

void FromCom(LONG v, HandleValue& out) noexcept { std::memcpy(&out, &v, sizeof out); }
void FromCom(LONG v, std::int32_t& out) noexcept { out = static_cast<std::int32_t>(v); }
void FromCom(VARIANT_BOOL v, bool& out) noexcept { out = v != VARIANT_FALSE; }
void FromCom(::IM_VERSION v, parlix::IM_VERSION& out) noexcept { out = static_cast<parlix::IM_VERSION>(v); }

template <typename Member, typename Com>
HRESULT Get(const IMWindow* record, Member IMWindow::*member, Com* value) noexcept {
    if (!value) return E_POINTER;
    *value = ToCom(record ? record->*member : Member{});
    return S_OK;
}

template <typename Member, typename Com>
HRESULT Put(IMWindow* record, Member IMWindow::*member, Com value) noexcept {
    if (record) FromCom(value, record->*member);
    return S_OK;
}

HRESULT GetText(const IMWindow* record, std::wstring IMWindow::*member, BSTR* value) noexcept {
    if (!value) return E_POINTER;
    const std::wstring empty;
    const std::wstring& text = record ? record->*member : empty;
    *value = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT PutText(IMWindow* record, std::wstring IMWindow::*member, BSTR value) noexcept {
    return ComGuard([&] {
        if (record) (record->*member).assign(value ? value : L"", value ? ::SysStringLen(value) : 0);
        return S_OK;
    });
}

}  // namespace

#define PARLIX_IMWINDOW_PLAIN(Name, Type)                                                       \
    HRESULT ImWindowObject::get_##Name(Type* value) { return Get(Record(), &IMWindow::Name, value); } \
    HRESULT ImWindowObject::put_##Name(Type value) { return Put(Record(), &IMWindow::Name, value); }
#define PARLIX_IMWINDOW_TEXT(Name)                                                                 \
    HRESULT ImWindowObject::get_##Name(BSTR* value) { return GetText(Record(), &IMWindow::Name, value); } \
    HRESULT ImWindowObject::put_##Name(BSTR value) { return PutText(Record(), &IMWindow::Name, value); }

PARLIX_IMWINDOW_PLAIN(hWnd, LONG)
PARLIX_IMWINDOW_PLAIN(ChatHwnd, LONG)
PARLIX_IMWINDOW_PLAIN(SayHwnd, LONG)
PARLIX_IMWINDOW_PLAIN(SendHwnd, LONG)
PARLIX_IMWINDOW_PLAIN(IsGroup, VARIANT_BOOL)
PARLIX_IMWINDOW_PLAIN(Version, ::IM_VERSION)
PARLIX_IMWINDOW_TEXT(Title)
PARLIX_IMWINDOW_TEXT(Caption)
PARLIX_IMWINDOW_PLAIN(Locked, VARIANT_BOOL)
PARLIX_IMWINDOW_PLAIN(TabColor, LONG)
PARLIX_IMWINDOW_PLAIN(X, LONG)
PARLIX_IMWINDOW_PLAIN(Y, LONG)
PARLIX_IMWINDOW_PLAIN(W, LONG)
PARLIX_IMWINDOW_PLAIN(H, LONG)
PARLIX_IMWINDOW_PLAIN(OrgW, LONG)
PARLIX_IMWINDOW_PLAIN(OrgH, LONG)
PARLIX_IMWINDOW_PLAIN(MsgNum, LONG)
PARLIX_IMWINDOW_PLAIN(hDC, LONG)
PARLIX_IMWINDOW_PLAIN(hBMP, LONG)
PARLIX_IMWINDOW_PLAIN(Msg, LONG)
PARLIX_IMWINDOW_PLAIN(WinLong, LONG)
PARLIX_IMWINDOW_PLAIN(ExStyle, LONG)

#undef PARLIX_IMWINDOW_PLAIN
#undef PARLIX_IMWINDOW_TEXT

}  // namespace parlix::com

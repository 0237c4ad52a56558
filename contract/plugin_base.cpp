#include "contract/plugin_base.h"

namespace parlix::com {

HRESULT PluginBase::ShowMessage(LONG, BSTR, BSTR) { return S_OK; }

HRESULT PluginBase::OnConnection(_Parlix_Core**) { return S_OK; }

HRESULT PluginBase::OnDisconnection() { return S_OK; }

HRESULT PluginBase::GetProperty(IDispatch** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return S_OK;
}

HRESULT PluginBase::get_HasProperty(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    *value = VARIANT_FALSE;
    return S_OK;
}

HRESULT PluginBase::get_Version(BSTR* value) { return ReturnText(L"", value); }

HRESULT PluginBase::get_Author(BSTR* value) { return ReturnText(L"", value); }

HRESULT PluginBase::get_Describe(BSTR* value) { return ReturnText(L"", value); }

HRESULT PluginBase::ReturnText(std::wstring_view text, BSTR* value) noexcept {
    if (!value) return E_POINTER;
    *value = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT PluginBase::Fail(HRESULT hr, std::wstring_view description) noexcept {
    ComPtr<ICreateErrorInfo> create;
    ScopedBstr text(description);
    if (text.get() && SUCCEEDED(::CreateErrorInfo(create.put()))) {
        create->SetGUID(IID__Parlix_Plugin);
        create->SetDescription(text.get());
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(IID_IErrorInfo, info))) ::SetErrorInfo(0, info.get());
    }
    return hr;
}

HRESULT PluginBase::InterfaceSupportsErrorInfo(REFIID riid) {
    return IsEqualIID(riid, IID__Parlix_Plugin) ? S_OK : S_FALSE;
}

void* PluginBase::QueryOther(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

}  // namespace parlix::com

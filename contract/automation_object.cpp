#include "contract/automation_object.h"

#include "contract/com_server.h"

#include <algorithm>
#include <cwctype>

namespace parlix::com {

namespace {

bool SameName(const std::wstring& a, const wchar_t* b) noexcept {
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == L'\0' || std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return b[i] == L'\0';
}

HRESULT Report(EXCEPINFO* exception, const wchar_t* text) noexcept {
    if (exception) {
        *exception = {};
        exception->scode = E_FAIL;
        exception->bstrDescription = ::SysAllocString(text);
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

ComPtr<IDispatch> AutomationObject::Create(std::vector<AutomationMember> members) {
    return ComPtr<IDispatch>::Adopt(new AutomationObject(std::move(members)));
}

AutomationObject::AutomationObject(std::vector<AutomationMember> members) noexcept : members_(std::move(members)) {
    ObjectCreated();
}

AutomationObject::~AutomationObject() { ObjectDestroyed(); }

HRESULT AutomationObject::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG AutomationObject::AddRef() { return refs_.Add(); }

ULONG AutomationObject::Release() {
    const ULONG left = refs_.Release();
    if (left == 0) delete this;
    return left;
}

// Described by name only: there is no type information to give.
HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // Only the member name resolves; named arguments are not supported.
    const auto it = std::find_if(members_.begin(), members_.end(),
                                 [&](const AutomationMember& m) { return names[0] && SameName(m.name, names[0]); });
    if (it == members_.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = static_cast<DISPID>(it - members_.begin()) + 1;
    if (count > 1) hr = DISP_E_UNKNOWNNAME;
    return hr;
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argError) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    if (argError) *argError = 0;
    const AutomationMember& m = members_[static_cast<size_t>(id) - 1];
    const UINT argc = params ? params->cArgs : 0;
    try {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!m.put) return DISP_E_MEMBERNOTFOUND;
            if (argc != 1 || params->cNamedArgs != 1) return DISP_E_BADPARAMCOUNT;
            const VARIANT& v = params->rgvarg[0];
            return m.put(v.vt == (VT_VARIANT | VT_BYREF) ? *v.pvarVal : v);
        }
        if (params && params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        ScopedVariant value;
        HRESULT hr = DISP_E_MEMBERNOTFOUND;
        if ((flags & DISPATCH_METHOD) && m.call) {
            // rgvarg holds the arguments last to first.
            std::vector<VARIANT> args(params ? params->rgvarg : nullptr, params ? params->rgvarg + argc : nullptr);
            std::reverse(args.begin(), args.end());
            hr = m.call(args, *value.get());
        } else if ((flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) && m.get) {
            if (argc != 0) return DISP_E_BADPARAMCOUNT;
            hr = m.get(*value.get());
        }
        if (SUCCEEDED(hr) && result) {
            *result = value.ref();
            value->vt = VT_EMPTY;  // ownership went to the caller
        }
        return hr;
    } catch (...) {
        return Report(exception, L"Parlix automation member failed");
    }
}

HRESULT SetLong(VARIANT& v, long value) noexcept {
    ::VariantClear(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return S_OK;
}

HRESULT SetBool(VARIANT& v, bool value) noexcept {
    ::VariantClear(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT SetObject(VARIANT& v, const ComPtr<IDispatch>& value) noexcept {
    ::VariantClear(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = ComPtr<IDispatch>(value).detach();
    return S_OK;
}

HRESULT LongOf(const VARIANT& v, long& out) noexcept {
    VARIANT converted;
    ::VariantInit(&converted);
    const HRESULT hr = ::VariantChangeType(&converted, const_cast<VARIANT*>(&v), 0, VT_I4);
    if (SUCCEEDED(hr)) out = converted.lVal;
    ::VariantClear(&converted);
    return hr;
}

}  // namespace parlix::com

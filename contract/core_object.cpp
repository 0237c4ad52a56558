#include "contract/core_object.h"

#include <olectl.h>

#include <algorithm>

namespace parlix::com {

namespace {
constexpr DISPID kEventAddMenu = 1;
constexpr DISPID kEventUnload = 2;
}  // namespace

CoreObject::CoreObject() noexcept = default;

void* CoreObject::QueryOther(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(this);
    if (IsEqualIID(riid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    if (IsEqualIID(riid, IID_IProvideClassInfo2)) return static_cast<IProvideClassInfo2*>(this);
    return nullptr;
}

HRESULT CoreObject::get_CurrentWin(_IMWindow** value) {
    if (!value) return E_POINTER;
    *value = ComPtr<_IMWindow>(currentWin_).detach();
    return S_OK;
}

// The reserved entries keep the slot layout of the interface; nothing calls them.
HRESULT CoreObject::ReservedCurrentWin() { return E_NOTIMPL; }
HRESULT CoreObject::ReservedMainForm() { return E_NOTIMPL; }

HRESULT CoreObject::putref_CurrentWin(_IMWindow* value) {
    currentWin_ = ComPtr<_IMWindow>(value);
    return S_OK;
}

HRESULT CoreObject::get_MainForm(IDispatch** value) {
    if (!value) return E_POINTER;
    *value = ComPtr<IDispatch>(mainForm_).detach();
    return S_OK;
}

HRESULT CoreObject::putref_MainForm(IDispatch* value) {
    mainForm_ = ComPtr<IDispatch>(value);
    return S_OK;
}

HRESULT CoreObject::AddMen(BSTR* text) {
    VARIANTARG arg;
    ::VariantInit(&arg);
    BSTR empty = nullptr;
    arg.vt = VT_BSTR | VT_BYREF;
    arg.pbstrVal = text ? text : &empty;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    events_.Raise(kEventAddMenu, params);
    // A handler may have put a string into the stand-in.
    if (empty) ::SysFreeString(empty);
    return S_OK;
}

HRESULT CoreObject::Unload() {
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    events_.Raise(kEventUnload, params);
    return S_OK;
}

// Clients find the one point by its interface; there is nothing else to enumerate.
HRESULT CoreObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CoreObject::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, DIID___Parlix_Core)) return CONNECT_E_NOCONNECTION;
    *out = &events_;
    events_.AddRef();
    return S_OK;
}

HRESULT CoreObject::GetClassInfo(ITypeInfo** out) { return ContractTypeInfo(CLSID_Parlix_Core, out); }

HRESULT CoreObject::GetGUID(DWORD kind, GUID* out) {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *out = DIID___Parlix_Core;
    return S_OK;
}

HRESULT CoreObject::EventPoint::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IConnectionPoint)) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT CoreObject::EventPoint::GetConnectionInterface(IID* out) {
    if (!out) return E_POINTER;
    *out = DIID___Parlix_Core;
    return S_OK;
}

HRESULT CoreObject::EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &owner_;
    owner_.AddRef();
    return S_OK;
}

HRESULT CoreObject::EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    return ComGuard([&]() -> HRESULT {
        // A sink speaks the event interface or at least IDispatch (script engines).
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(DIID___Parlix_Core, dispatch.put_void())) &&
            FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void())))
            return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back({nextCookie_, std::move(dispatch)});
        *cookie = nextCookie_++;
        return S_OK;
    });
}

HRESULT CoreObject::EventPoint::Unadvise(DWORD cookie) {
    const auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& s) { return s.cookie == cookie; });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sinks_.erase(it);
    return S_OK;
}

// The connections are reached by the events alone; no caller of ours lists them.
HRESULT CoreObject::EventPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void CoreObject::EventPoint::Raise(DISPID id, DISPPARAMS& params) noexcept {
    try {
        // A handler may connect or disconnect sinks while it runs: call the ones connected now.
        const std::vector<Sink> now = sinks_;
        for (const Sink& s : now) {
            EXCEPINFO exception{};
            s.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &exception,
                               nullptr);
            if (exception.bstrSource) ::SysFreeString(exception.bstrSource);
            if (exception.bstrDescription) ::SysFreeString(exception.bstrDescription);
            if (exception.bstrHelpFile) ::SysFreeString(exception.bstrHelpFile);
        }
    } catch (...) {
        // Out of memory copying the list: the event is lost, the caller goes on.
    }
}

}  // namespace parlix::com

// The base of every plugin class: _Parlix_Plugin with the contract's defaults, which do nothing
// (ShowMessage, OnConnection and OnDisconnection return at once, GetProperty gives no object,
// HasProperty is False, Version, Author and Describe are empty). The library's own
// Parlix_Plugin class is this base as it is.
//
// A plugin overrides the members it needs, with the COM signatures below, and never lets an
// exception out of them (wrap the body in parlix::ComGuard); a failure goes back to the host as
// an HRESULT, with a description through Fail(). The host calls them on its UI thread
// in this order: creation by ProgID, OnConnection(core) once, ShowMessage (the notice plugin
// only), OnDisconnection; a plugin must also tolerate OnDisconnection without OnConnection, a
// second OnDisconnection, and being created and released without being connected at all (the
// host's creatability check and the settings dialog's reading of the three texts).
// Further interfaces of a plugin go through QueryOther.
#pragma once

#include "contract/dispatch_object.h"

namespace parlix::com {

class PluginBase : public DispatchObject<_Parlix_Plugin, &IID__Parlix_Plugin>, public ISupportErrorInfo {
public:
    // One reference count for the whole object, whichever interface is asked.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        return DispatchObject::QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }

    // ISupportErrorInfo: failures of _Parlix_Plugin members may carry a description.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    HRESULT STDMETHODCALLTYPE ShowMessage(LONG time, BSTR Title, BSTR message) override;
    HRESULT STDMETHODCALLTYPE OnConnection(_Parlix_Core** core) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection() override;
    HRESULT STDMETHODCALLTYPE GetProperty(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_HasProperty(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Author(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Describe(BSTR* value) override;

protected:
    PluginBase() noexcept = default;
    ~PluginBase() override = default;

    // Fills a BSTR out-parameter (the three texts): S_OK, or E_OUTOFMEMORY.
    static HRESULT ReturnText(std::wstring_view text, BSTR* value) noexcept;
    // Leaves description as the thread's error information and returns hr: `return Fail(E_FAIL,
    // L"...");` The host shows the description in its error report where it reports the failure.
    static HRESULT Fail(HRESULT hr, std::wstring_view description) noexcept;
    // Further interfaces of a derived plugin: call the base for the ones it does not add.
    void* QueryOther(REFIID riid) noexcept override;
};

}  // namespace parlix::com

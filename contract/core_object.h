// Parlix_Core, the host object: CurrentWin and MainForm keep the references assigned to them;
// AddMen raises AddMenu with the same text (by reference, so a handler may change it) and the
// method Unload raises the event Unload; neither does anything else. Events go to the sinks
// connected through the one connection point of __Parlix_Core.
#pragma once

#include "contract/dispatch_object.h"

#include <vector>

namespace parlix::com {

class CoreObject final : public DispatchObject<_Parlix_Core, &IID__Parlix_Core>,
                         public IConnectionPointContainer,
                         public IProvideClassInfo2 {
public:
    CoreObject() noexcept;

    // One reference count for the whole object, whichever interface is asked.
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        return DispatchObject::QueryInterface(riid, out);
    }

    // _Parlix_Core
    HRESULT STDMETHODCALLTYPE get_CurrentWin(_IMWindow** value) override;
    HRESULT STDMETHODCALLTYPE ReservedCurrentWin() override;
    HRESULT STDMETHODCALLTYPE putref_CurrentWin(_IMWindow* value) override;
    HRESULT STDMETHODCALLTYPE get_MainForm(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE ReservedMainForm() override;
    HRESULT STDMETHODCALLTYPE putref_MainForm(IDispatch* value) override;
    HRESULT STDMETHODCALLTYPE AddMen(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Unload() override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IProvideClassInfo2: lets clients find the event interface from the object.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override;

private:
    // The connection point of __Parlix_Core: part of the object, sharing its reference count.
    class EventPoint final : public IConnectionPoint {
    public:
        explicit EventPoint(CoreObject& owner) noexcept : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
        HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override;
        HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
        HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
        HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

        // Calls the event on every sink connected now; a failing sink does not stop the others.
        void Raise(DISPID id, DISPPARAMS& params) noexcept;

    private:
        struct Sink {
            DWORD cookie;
            ComPtr<IDispatch> dispatch;
        };
        CoreObject& owner_;
        std::vector<Sink> sinks_;
        DWORD nextCookie_ = 1;
    };

    ~CoreObject() override = default;
    void* QueryOther(REFIID riid) noexcept override;

    ComPtr<_IMWindow> currentWin_;
    ComPtr<IDispatch> mainForm_;
    EventPoint events_{*this};
};

}  // namespace parlix::com

// A COM object implementing one dual interface of the contract, with IDispatch answered from the
// contract's type library: names, DISPIDs and argument conversion all come from Parlix_Nexcor, so
// no table of ours can drift from it. Single-threaded apartment objects; every object counts
// towards its module's DllCanUnloadNow.
#pragma once

#include "base/com_win.h"
#include "contract/com_server.h"
#include "contract/nexcor.h"

#include <windows.h>

namespace parlix::com {

// The contract's type library: the module's own resource when it carries one (Nexcor.dll), else
// the registered library, else Nexcor.dll beside this module or in its parent folder (plugins
// live in Plugins\ under the program folder).
HRESULT LoadContractTypeLib(ITypeLib** out) noexcept;

// The description of a type of the contract, as IDispatch::GetTypeInfo gives it.
HRESULT ContractTypeInfo(REFGUID guid, ITypeInfo** out) noexcept;
// What ITypeInfo::Invoke calls through: for a dual interface its interface (vtable) half.
HRESULT VtableTypeInfo(ITypeInfo* info, ITypeInfo** out) noexcept;

template <typename Interface, const IID* Iid>
class DispatchObject : public Interface {
public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, *Iid))
            *out = static_cast<Interface*>(this);
        else
            *out = QueryOther(riid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.Add(); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = refs_.Release();
        if (left == 0) delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = TypeInfo() ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* info = TypeInfo();
        if (!info) return TYPE_E_ELEMENTNOTFOUND;
        info->AddRef();
        *out = info;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = TypeInfo();
        if (!info) return E_UNEXPECTED;
        return ::DispGetIDsOfNames(info, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (!TypeInfo() || !invokeInfo_) return E_UNEXPECTED;
        // A property put may come with DISPATCH_PROPERTYPUTREF as well (script engines set both
        // for object values); the type information matches either entry.
        return invokeInfo_->Invoke(static_cast<Interface*>(this), id, flags, params, result, exception, argError);
    }

protected:
    DispatchObject() noexcept { ObjectCreated(); }
    virtual ~DispatchObject() { ObjectDestroyed(); }

    // Further interfaces of a derived class: the pointer for riid (no AddRef), or null.
    virtual void* QueryOther(REFIID) noexcept { return nullptr; }

private:
    // Loaded on the first late-bound call; null when the contract's type library is missing.
    ITypeInfo* TypeInfo() noexcept {
        if (!typeInfo_ && !typeInfoTried_) {
            typeInfoTried_ = true;
            if (SUCCEEDED(ContractTypeInfo(*Iid, typeInfo_.put())))
                VtableTypeInfo(typeInfo_.get(), invokeInfo_.put());
        }
        return typeInfo_.get();
    }

    RefCount refs_;
    ComPtr<ITypeInfo> typeInfo_;
    ComPtr<ITypeInfo> invokeInfo_;
    bool typeInfoTried_ = false;
};

}  // namespace parlix::com

// An IDispatch object whose members are found by name at run time, for objects that are not
// part of the contract's type library but are used late-bound across it: the main window that
// the host hands plugins as MainForm, its tab control, a plugin's property page form.
//
// Members are given as a table of callbacks; names compare without regard to case, as
// automation does, and a member's DISPID is its position in the table plus one. A read-only
// member has only `get`; a method has `call`, which receives the arguments in their written
// order. Callbacks run on the caller's thread and must not throw past their result (the object
// turns an exception into DISP_E_EXCEPTION).
#pragma once

#include "base/com_win.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace parlix::com {

struct AutomationMember {
    std::wstring name;
    // Fills result (VT_EMPTY on entry).
    std::function<HRESULT(VARIANT& result)> get;
    // value as given by the caller (not converted).
    std::function<HRESULT(const VARIANT& value)> put;
    // args in written order (the caller's last argument is args.back()).
    std::function<HRESULT(std::span<const VARIANT> args, VARIANT& result)> call;
};

class AutomationObject final : public IDispatch {
public:
    // A new object with one reference, owned by the caller.
    [[nodiscard]] static ComPtr<IDispatch> Create(std::vector<AutomationMember> members);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;

private:
    explicit AutomationObject(std::vector<AutomationMember> members) noexcept;
    ~AutomationObject();

    std::vector<AutomationMember> members_;
    RefCount refs_;
};

// Helpers for callbacks.
[[nodiscard]] HRESULT SetLong(VARIANT& v, long value) noexcept;
[[nodiscard]] HRESULT SetBool(VARIANT& v, bool value) noexcept;
[[nodiscard]] HRESULT SetObject(VARIANT& v, const ComPtr<IDispatch>& value) noexcept;
// The value converted to a 32-bit integer, as automation converts it.
[[nodiscard]] HRESULT LongOf(const VARIANT& v, long& out) noexcept;

}  // namespace parlix::com

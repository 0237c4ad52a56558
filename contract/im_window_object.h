// _IMWindow over a parlix::IMWindow record (contract/im_window.h). Where the record lives is the
// derived class's business: Nexcor's creatable IMWindow class keeps one of its own; the main
// program hands plugins a view of a tab's record in the tab registry.
#pragma once

#include "contract/dispatch_object.h"
#include "contract/im_window.h"

namespace parlix::com {

class ImWindowObject : public DispatchObject<_IMWindow, &IID__IMWindow> {
public:
#define PARLIX_IMWINDOW_MEMBER(Name, Type)                                  \
    HRESULT STDMETHODCALLTYPE get_##Name(Type* value) override;            \
    HRESULT STDMETHODCALLTYPE put_##Name(Type value) override;
    PARLIX_IMWINDOW_MEMBER(hWnd, LONG)
    PARLIX_IMWINDOW_MEMBER(ChatHwnd, LONG)
    PARLIX_IMWINDOW_MEMBER(SayHwnd, LONG)
    PARLIX_IMWINDOW_MEMBER(SendHwnd, LONG)
    PARLIX_IMWINDOW_MEMBER(IsGroup, VARIANT_BOOL)
    PARLIX_IMWINDOW_MEMBER(Version, ::IM_VERSION)
    PARLIX_IMWINDOW_MEMBER(Title, BSTR)
    PARLIX_IMWINDOW_MEMBER(Caption, BSTR)
    PARLIX_IMWINDOW_MEMBER(Locked, VARIANT_BOOL)
    PARLIX_IMWINDOW_MEMBER(TabColor, LONG)
    PARLIX_IMWINDOW_MEMBER(X, LONG)
    PARLIX_IMWINDOW_MEMBER(Y, LONG)
    PARLIX_IMWINDOW_MEMBER(W, LONG)
    PARLIX_IMWINDOW_MEMBER(H, LONG)
    PARLIX_IMWINDOW_MEMBER(OrgW, LONG)
    PARLIX_IMWINDOW_MEMBER(OrgH, LONG)
    PARLIX_IMWINDOW_MEMBER(MsgNum, LONG)
    PARLIX_IMWINDOW_MEMBER(hDC, LONG)
    PARLIX_IMWINDOW_MEMBER(hBMP, LONG)
    PARLIX_IMWINDOW_MEMBER(Msg, LONG)
    PARLIX_IMWINDOW_MEMBER(WinLong, LONG)
    PARLIX_IMWINDOW_MEMBER(ExStyle, LONG)
#undef PARLIX_IMWINDOW_MEMBER

protected:
    ImWindowObject() noexcept = default;
    ~ImWindowObject() override = default;

    // The record read and written; null when it is gone, which reads as a fresh record (0, empty,
    // False) and takes no writes.
    virtual IMWindow* Record() noexcept = 0;
};

// Nexcor's creatable IMWindow: a record of its own, fresh at creation.
class OwnImWindow final : public ImWindowObject {
public:
    OwnImWindow() noexcept = default;

private:
    ~OwnImWindow() override = default;
    IMWindow* Record() noexcept override { return &record_; }
    IMWindow record_;
};

}  // namespace parlix::com

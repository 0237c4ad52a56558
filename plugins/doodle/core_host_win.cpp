#include "plugins/doodle/core_host_win.h"

#include <cstdint>

namespace parlix::doodle {

namespace {

// A member of obj read by name: a property get, or a method without arguments.
bool ReadMember(IDispatch* obj, const wchar_t* name, ScopedVariant& out) {
    if (!obj) return false;
    DISPID id = 0;
    auto* n = const_cast<LPOLESTR>(name);
    if (FAILED(obj->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return false;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return SUCCEEDED(obj->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none,
                                 out.get(), nullptr, nullptr));
}

std::optional<long> ReadLong(IDispatch* obj, const wchar_t* name) {
    ScopedVariant v;
    if (!ReadMember(obj, name, v) || FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_I4))) return std::nullopt;
    return static_cast<long>(v->lVal);
}

std::optional<bool> ReadBool(IDispatch* obj, const wchar_t* name) {
    ScopedVariant v;
    if (!ReadMember(obj, name, v) || FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_BOOL))) return std::nullopt;
    return v->boolVal != VARIANT_FALSE;
}

ComPtr<IDispatch> ReadObject(IDispatch* obj, const wchar_t* name) {
    ScopedVariant v;
    if (!ReadMember(obj, name, v) || v->vt != VT_DISPATCH) return nullptr;
    return ComPtr<IDispatch>(v->pdispVal);
}

HWND HandleOf(long value) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value)); }

}  // namespace

ComPtr<IDispatch> CoreHost::MainForm() {
    ComPtr<IDispatch> form;
    if (!core_ || FAILED(core_->get_MainForm(form.put()))) return nullptr;
    return form;
}

HWND CoreHost::SayHwnd() {
    ComPtr<_IMWindow> win;
    if (!core_ || FAILED(core_->get_CurrentWin(win.put())) || !win) return nullptr;
    LONG say = 0;
    if (FAILED(win->get_SayHwnd(&say))) return nullptr;
    return HandleOf(say);
}

MainFacts CoreHost::ReadMain() {
    MainFacts facts;
    const ComPtr<IDispatch> form = MainForm();
    if (!form) return facts;
    facts.windowState = ReadLong(form.get(), L"WindowState");
    if (facts.windowState != 0) return facts;  // the timer reads nothing else then
    facts.left = ReadLong(form.get(), L"Left");
    facts.top = ReadLong(form.get(), L"Top");
    facts.height = ReadLong(form.get(), L"Height");
    facts.scaleWidth = ReadLong(form.get(), L"ScaleWidth");
    const ComPtr<IDispatch> tabs = ReadObject(form.get(), L"btnTab");
    facts.tabsAtBottom = ReadBool(tabs.get(), L"Bottom");
    if (facts.tabsAtBottom == false) facts.headerHeight = ReadLong(tabs.get(), L"GetHeaderHeight");
    return facts;
}

HWND CoreHost::MainHwnd() {
    const std::optional<long> hwnd = ReadLong(MainForm().get(), L"hwnd");
    return hwnd ? HandleOf(*hwnd) : nullptr;
}

std::optional<long> CoreHost::ScaleWidth() { return ReadLong(MainForm().get(), L"ScaleWidth"); }

}  // namespace parlix::doodle

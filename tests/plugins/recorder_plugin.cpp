// A plugin for tests only (never shipped): it records every call the host makes, in order, as
// UTF-8 lines appended to "calls.log" beside its own DLL. Built once per name (PLUGIN_NAME, with
// its own class id); PLUGIN_FAILS makes every call fail with a description instead.
//
// Lines: "<name> OnConnection mainForm=<0|1> currentWin=<0|1>", then, when the core has a main
// window, "<name> MainForm hwnd=.. ScaleWidth=.. WindowState=.. Left=.. Top=.. Height=..
// Bottom=.. GetHeaderHeight=.." read late-bound by name; "<name> ShowMessage <time>|<title>|<text>";
// "<name> OnDisconnection mainForm=<0|1> currentWin=<0|1>" (the state of the core it holds).
// PLUGIN_PAGE gives it a settings page: HasProperty is True and GetProperty answers a form (hWnd,
// Move, Show) whose window is titled "<name> page"; "<name> GetProperty" is recorded.
#include "contract/com_server.h"
#include "contract/automation_object.h"
#include "contract/plugin_base.h"

#include <fstream>
#include <string>

#define PARLIX_WIDEN2(x) L##x
#define PARLIX_WIDEN(x) PARLIX_WIDEN2(x)
#define PARLIX_STR2(x) #x
#define PARLIX_STR(x) PARLIX_STR2(x)

namespace {

constexpr wchar_t kName[] = PARLIX_WIDEN(PARLIX_STR(PLUGIN_NAME));
constexpr CLSID kClsid = {0x5e1d0000u + PLUGIN_NUMBER, 0x7a11, 0x4c0d, {0x9b, 0x1e, 0x52, 0x7e, 0x57, 0x00, 0x00, 0x01}};
constexpr bool kFails = PLUGIN_FAILS != 0;
#ifndef PLUGIN_PAGE
#define PLUGIN_PAGE 0
#endif
constexpr bool kHasPage = PLUGIN_PAGE != 0;

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void Record(const std::wstring& line) {
    std::wstring path = parlix::com::ThisModulePath();
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"calls.log";
    std::ofstream out(path.c_str(), std::ios::app | std::ios::binary);
    out << Utf8(std::wstring(kName) + L" " + line) << "\n";
}

// A member of obj read by name (property get, or a method without arguments).
bool ReadByName(IDispatch* obj, const wchar_t* name, VARIANT& out) {
    DISPID id = 0;
    auto* n = const_cast<LPOLESTR>(name);
    if (!obj || FAILED(obj->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return false;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return SUCCEEDED(obj->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none,
                                 &out, nullptr, nullptr));
}

std::wstring TextByName(IDispatch* obj, const wchar_t* name) {
    parlix::ScopedVariant v;
    if (!ReadByName(obj, name, *v.get())) return L"?";
    if (FAILED(::VariantChangeType(v.get(), v.get(), VARIANT_ALPHABOOL, VT_BSTR))) return L"?";
    return std::wstring(v->bstrVal, ::SysStringLen(v->bstrVal));
}

class Recorder final : public parlix::com::PluginBase {
public:
    HRESULT STDMETHODCALLTYPE OnConnection(_Parlix_Core** core) override {
        return parlix::ComGuard([&]() -> HRESULT {
            core_ = parlix::ComPtr<_Parlix_Core>(core ? *core : nullptr);
            Record(L"OnConnection " + CoreState());
            if (kFails) return Fail(E_FAIL, L"插件连接失败");
            RecordMainForm();
            // Assigning to the by-reference argument must change nothing in the host.
            if (core && *core) {
                (*core)->Release();
                *core = nullptr;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection() override {
        return parlix::ComGuard([&]() -> HRESULT {
            Record(L"OnDisconnection " + CoreState());
            if (kFails) return Fail(E_FAIL, L"插件断开失败");
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE ShowMessage(LONG time, BSTR title, BSTR message) override {
        return parlix::ComGuard([&]() -> HRESULT {
            Record(L"ShowMessage " + std::to_wstring(time) + L"|" + (title ? title : L"") + L"|" +
                   (message ? message : L""));
            if (kFails) return Fail(E_FAIL, L"插件通知失败");
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_HasProperty(VARIANT_BOOL* value) override {
        if (!value) return E_POINTER;
        *value = kHasPage ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperty(IDispatch** value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        if (!kHasPage) return S_OK;
        return parlix::ComGuard([&]() -> HRESULT {
            Record(L"GetProperty");
            if (!page_) {
                page_ = ::CreateWindowExW(0, L"Static", (std::wstring(kName) + L" page").c_str(), WS_POPUP, 0, 0, 200,
                                          80, nullptr, nullptr, nullptr, nullptr);
            }
            const HWND w = page_;
            using parlix::com::AutomationMember;
            auto form = parlix::com::AutomationObject::Create({
                {L"hWnd", [w](VARIANT& v) { return parlix::com::SetLong(v, static_cast<long>(reinterpret_cast<intptr_t>(w))); }, {}, {}},
                {L"Move", {}, {},
                 [w](std::span<const VARIANT> args, VARIANT&) -> HRESULT {
                     long at[2] = {0, 0};
                     for (size_t i = 0; i < args.size() && i < 2; ++i) (void)parlix::com::LongOf(args[i], at[i]);
                     ::SetWindowPos(w, nullptr, at[0] / 15, at[1] / 15, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                     return S_OK;
                 }},
                {L"Show", {}, {},
                 [w](std::span<const VARIANT>, VARIANT&) -> HRESULT {
                     ::ShowWindow(w, SW_SHOW);
                     return S_OK;
                 }},
            });
            *value = form.detach();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* value) override { return ReturnText(L"1.0", value); }
    HRESULT STDMETHODCALLTYPE get_Author(BSTR* value) override { return ReturnText(L"tests", value); }
    HRESULT STDMETHODCALLTYPE get_Describe(BSTR* value) override { return ReturnText(kName, value); }

private:
    std::wstring CoreState() {
        if (!core_) return L"core=0";
        parlix::ComPtr<IDispatch> form;
        parlix::ComPtr<_IMWindow> win;
        core_->get_MainForm(form.put());
        core_->get_CurrentWin(win.put());
        return std::wstring(L"mainForm=") + (form ? L"1" : L"0") + L" currentWin=" + (win ? L"1" : L"0");
    }
    void RecordMainForm() {
        parlix::ComPtr<IDispatch> form;
        if (!core_ || FAILED(core_->get_MainForm(form.put())) || !form) return;
        std::wstring line = L"MainForm";
        for (const wchar_t* name : {L"hwnd", L"ScaleWidth", L"WindowState", L"Left", L"Top", L"Height"})
            line += std::wstring(L" ") + name + L"=" + TextByName(form.get(), name);
        parlix::ScopedVariant tab;
        IDispatch* tabs = ReadByName(form.get(), L"btnTab", *tab.get()) && tab->vt == VT_DISPATCH ? tab->pdispVal : nullptr;
        for (const wchar_t* name : {L"Bottom", L"GetHeaderHeight"})
            line += std::wstring(L" ") + name + L"=" + (tabs ? TextByName(tabs, name) : L"?");
        Record(line);
    }

    parlix::ComPtr<_Parlix_Core> core_;
    HWND page_ = nullptr;  // the settings page, made on the first request, lives with the process
};

}  // namespace

const parlix::com::ServerInfo& parlix::com::ThisServer() {
    static const std::wstring progId = std::wstring(kName) + L"Project." + kName;
    static const ClassEntry classes[] = {{&kClsid, progId.c_str(), kName, &CreateInstance<Recorder>}};
    static const ServerInfo info{classes, false};
    return info;
}

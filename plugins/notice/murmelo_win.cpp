#include "plugins/notice/murmelo_win.h"

#include "contract/com_server.h"
#include "plugins/common/plugin_module_win.h"
#include "plugins/common/plugin_paths.h"
#include "plugins/notice/notice_store_win.h"
#include "settings/ini_values.h"

#include <cstdint>
#include <string>

namespace parlix::notice {

namespace {

// Plugin objects alive in this module: the window classes stay registered while one exists.
int g_objects = 0;

// MainForm.hwnd of the host object, read by name at the moment of the click.
HWND MainWindowOf(_Parlix_Core* core) {
    if (!core) return nullptr;
    ComPtr<IDispatch> form;
    if (FAILED(core->get_MainForm(form.put())) || !form) return nullptr;
    DISPID id = 0;
    wchar_t name[] = L"hwnd";
    LPOLESTR names[] = {name};
    if (FAILED(form->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return nullptr;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ScopedVariant v;
    if (FAILED(form->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, v.get(), nullptr,
                            nullptr)) ||
        FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_I4)))
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(v->lVal));
}

// A step of ShowMessage or OnDisconnection: a failure skips it, nothing is reported.
template <typename F>
void Step(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

}  // namespace

Murmelo::Murmelo() : frmProperty_(model_, frmMain_, [this] { Reload(); }) {
    ++g_objects;
    model_.mainWindow = [this] { return MainWindowOf(host_.get()); };
}

Murmelo::~Murmelo() {
    frmProperty_.Close();
    frmMain_.Unload();
    host_.reset();
    if (--g_objects == 0) {
        UnregisterNoticeClasses();
        UnregisterPageClass();
    }
}

void Murmelo::Reload() {
    LoadNoticeSettings(model_);
    LoadSkinLayout(model_);
}

HRESULT Murmelo::OnConnection(_Parlix_Core** core) {
    return ComGuard([&] { return Connect(ComPtr<_Parlix_Core>(core ? *core : nullptr)); });
}

HRESULT Murmelo::Connect(ComPtr<_Parlix_Core> core) {
    host_ = std::move(core);
    const std::wstring dir = plugins::ThisPluginDir();
    const std::optional<std::wstring> ini = plugins::InitIniPath(dir);
    if (!ini) return Fail(E_FAIL, L"消息提示插件不在程序的 Plugins 文件夹中。");
    model_.iniPath = *ini;
    model_.skinDir = dir + L"\\Skin\\";
    try {
        Reload();
    } catch (const IniValueError& e) {
        return Fail(E_FAIL, L"消息提示设置中有一个值不是数字（错误 " + std::to_wstring(e.Number()) + L"）。");
    }
    return S_OK;
}

HRESULT Murmelo::OnDisconnection() {
    Step([&] { frmMain_.Unload(); });
    Step([&] { frmProperty_.Close(); });
    host_.reset();
    return S_OK;
}

HRESULT Murmelo::ShowMessage(LONG time, BSTR Title, BSTR message) {
    Step([&] {
        model_.motion.HoldTime = time;
        model_.NoticeTitle = Title ? std::wstring(Title, ::SysStringLen(Title)) : std::wstring();
        model_.NoticeText = message ? std::wstring(message, ::SysStringLen(message)) : std::wstring();
    });
    Step([&] { model_.motion.ContinueSlide(); });
    bool loaded = false;
    Step([&] { loaded = frmMain_.Form_Load(); });
    // Nothing to show (no GDI+, no skin): the remaining steps have no window to act on.
    if (!loaded) return S_OK;
    Step([&] { frmMain_.PlaceNotice(); });
    Step([&] { frmMain_.tmrPaint_Timer(); });
    Step([&] { frmMain_.Show(); });
    return S_OK;
}

HRESULT Murmelo::GetProperty(IDispatch** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return ComGuard([&]() -> HRESULT {
        ComPtr<IDispatch> form = frmProperty_.Form();
        if (!form) return Fail(E_FAIL, L"设置页无法建立。");
        *value = form.detach();
        return S_OK;
    });
}

HRESULT Murmelo::get_HasProperty(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    *value = VARIANT_TRUE;
    return S_OK;
}

HRESULT Murmelo::get_Version(BSTR* value) {
    return ComGuard([&] { return ReturnText(plugins::ThisPluginVersion(), value); });
}

HRESULT Murmelo::get_Author(BSTR* value) { return ReturnText(kMurmeloAuthor, value); }

HRESULT Murmelo::get_Describe(BSTR* value) { return ReturnText(kMurmeloDescribe, value); }

}  // namespace parlix::notice

const parlix::com::ServerInfo& parlix::com::ThisServer() {
    static const ClassEntry classes[] = {{&parlix::notice::kClsidMurmelo, parlix::notice::kMurmeloProgId, L"Murmelo",
                                          &CreateInstance<parlix::notice::Murmelo>}};
    static const ServerInfo info{classes, false};
    return info;
}

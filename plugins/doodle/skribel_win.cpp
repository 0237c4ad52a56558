#include "plugins/doodle/skribel_win.h"

#include "contract/com_server.h"
#include "plugins/common/plugin_module_win.h"
#include "plugins/common/plugin_paths.h"

namespace parlix::doodle {

namespace {

// Boards alive in this module: the window classes stay registered while one exists.
int g_boards = 0;

}  // namespace

Skribel::~Skribel() { Teardown(); }

HRESULT Skribel::OnConnection(_Parlix_Core** core) {
    Teardown();
    const HRESULT hr = ComGuard([&] { return Connect(ComPtr<_Parlix_Core>(core ? *core : nullptr)); });
    // A connection that failed half-way leaves nothing in the host's windows.
    if (FAILED(hr)) Teardown();
    return hr;
}

HRESULT Skribel::Connect(ComPtr<_Parlix_Core> core) {
    host_ = std::make_unique<CoreHost>(std::move(core));
    const std::optional<std::wstring> ini = plugins::InitIniPath(plugins::ThisPluginDir());
    if (!ini) return Fail(E_FAIL, L"涂鸦板插件不在程序的 Plugins 文件夹中。");
    iniPath_ = *ini;

    frmPaint_ = std::make_unique<Board>(*host_);
    ++g_boards;
    if (!frmPaint_->Load()) return Fail(E_FAIL, L"涂鸦板窗口无法建立。");
    frmBtn_ = std::make_unique<ToggleButton>([this](bool shown) {
        if (frmPaint_) frmPaint_->Visible(shown);
    });
    if (!frmBtn_->Load()) return Fail(E_FAIL, L"涂鸦板按钮无法建立。");
    frmPaint_->SetToggleButton(frmBtn_.get());

    const HWND main = host_->MainHwnd();
    const std::optional<long> scaleWidth = host_->ScaleWidth();
    if (!main || !scaleWidth) return Fail(E_FAIL, L"主窗口没有提供 hwnd 和 ScaleWidth。");
    if (!frmBtn_->PlaceInto(main, static_cast<int>(*scaleWidth))) return Fail(E_FAIL, L"涂鸦板按钮无法放入主窗口。");
    return S_OK;
}

HRESULT Skribel::OnDisconnection() {
    Teardown();
    return S_OK;
}

void Skribel::Teardown() noexcept {
    frmProperty_.Close();
    if (frmPaint_) frmPaint_->SetToggleButton(nullptr);
    frmBtn_.reset();
    if (frmPaint_) {
        frmPaint_.reset();
        if (--g_boards == 0) UnregisterBoardClasses();
    }
    if (host_) host_->Release();
    host_.reset();
}

HRESULT Skribel::GetProperty(IDispatch** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return ComGuard([&]() -> HRESULT {
        ComPtr<IDispatch> form = frmProperty_.Form();
        if (!form) return Fail(E_FAIL, L"设置页无法建立。");
        *value = form.detach();
        return S_OK;
    });
}

HRESULT Skribel::get_Version(BSTR* value) {
    return ComGuard([&] { return ReturnText(plugins::ThisPluginVersion(), value); });
}

HRESULT Skribel::get_Author(BSTR* value) { return ReturnText(kSkribelAuthor, value); }

HRESULT Skribel::get_Describe(BSTR* value) { return ReturnText(kSkribelDescribe, value); }

}  // namespace parlix::doodle

const parlix::com::ServerInfo& parlix::com::ThisServer() {
    static const ClassEntry classes[] = {{&parlix::doodle::kClsidSkribel, parlix::doodle::kSkribelProgId, L"Skribel",
                                          &CreateInstance<parlix::doodle::Skribel>}};
    static const ServerInfo info{classes, false};
    return info;
}

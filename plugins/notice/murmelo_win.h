// Murmelo, the notification plugin (ProgID "MurmeloProject.Murmelo"). It replaces the host's
// tray balloon: every new-message notice the host hands to ShowMessage slides in as a skinned,
// translucent window at the configured place of the screen, holds, and slides out; a click on
// it is a click on the host's balloon. Connecting reads [Murmelo] and the skin's layout and
// makes no window; the notice window exists only while a notice is on screen. GetProperty
// hands out the settings page.
#pragma once

#include "contract/plugin_base.h"
#include "plugins/notice/notice_window_win.h"
#include "plugins/notice/property_page_win.h"

#include <memory>

namespace parlix::notice {

// {2A7025FA-7722-4F8E-A98F-5148F1360A5E}
inline constexpr CLSID kClsidMurmelo = {0x2A7025FA, 0x7722, 0x4F8E, {0xA9, 0x8F, 0x51, 0x48, 0xF1, 0x36, 0x0A, 0x5E}};
inline constexpr wchar_t kMurmeloProgId[] = L"MurmeloProject.Murmelo";
inline constexpr wchar_t kMurmeloDescribe[] = L"使用自定义窗口替代系统托盘气泡提示。";
inline constexpr wchar_t kMurmeloAuthor[] = L"Parlix 开发组";

class Murmelo final : public com::PluginBase {
public:
    Murmelo();

    HRESULT STDMETHODCALLTYPE ShowMessage(LONG time, BSTR Title, BSTR message) override;
    HRESULT STDMETHODCALLTYPE OnConnection(_Parlix_Core** core) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection() override;
    HRESULT STDMETHODCALLTYPE GetProperty(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_HasProperty(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Author(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Describe(BSTR* value) override;

private:
    ~Murmelo() override;
    HRESULT Connect(ComPtr<_Parlix_Core> core);
    void Reload();

    ComPtr<_Parlix_Core> host_;
    NoticeModel model_;
    NoticeWindow frmMain_{model_};
    PropertyPage frmProperty_;
};

}  // namespace parlix::notice

// Skribel, the doodle-board plugin (ProgID "SkribelProject.Skribel"). Connected, it loads the
// board hidden and puts the toggle button "涂鸦板" into the main window at the right end of the
// area under the tab strip; the button shows and hides the board. It ignores new-message
// notices and has no settings. Disconnected, it destroys the board, the button and the page and
// drops the host object, so nothing of it is left in the host's windows.
#pragma once

#include "contract/plugin_base.h"
#include "plugins/doodle/board_win.h"
#include "plugins/doodle/core_host_win.h"
#include "plugins/doodle/property_page_win.h"
#include "plugins/doodle/toggle_button_win.h"

#include <memory>
#include <string>

namespace parlix::doodle {

// {64F17116-5BE6-45DE-94D6-3D45AC846FBB}
inline constexpr CLSID kClsidSkribel = {0x64F17116, 0x5BE6, 0x45DE, {0x94, 0xD6, 0x3D, 0x45, 0xAC, 0x84, 0x6F, 0xBB}};
inline constexpr wchar_t kSkribelProgId[] = L"SkribelProject.Skribel";
inline constexpr wchar_t kSkribelDescribe[] = L"涂鸦板工具。";
inline constexpr wchar_t kSkribelAuthor[] = L"Parlix 开发组";

class Skribel final : public com::PluginBase {
public:
    Skribel() = default;

    HRESULT STDMETHODCALLTYPE OnConnection(_Parlix_Core** core) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection() override;
    HRESULT STDMETHODCALLTYPE GetProperty(IDispatch** value) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Author(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Describe(BSTR* value) override;
    // ShowMessage and HasProperty keep the contract's defaults: notices are ignored, and there is
    // no settings page to offer.

private:
    ~Skribel() override;
    // OnConnection's steps; the first failing one ends it.
    HRESULT Connect(ComPtr<_Parlix_Core> core);
    // Board, button and page destroyed, host dropped; safe to repeat.
    void Teardown() noexcept;

    std::unique_ptr<CoreHost> host_;
    std::wstring iniPath_;  // the program's set.ini; this plugin reads and writes no key
    std::unique_ptr<Board> frmPaint_;
    std::unique_ptr<ToggleButton> frmBtn_;
    PropertyPage frmProperty_;
};

}  // namespace parlix::doodle

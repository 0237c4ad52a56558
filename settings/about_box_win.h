// The about box frmAbout (the program's name, version, supported clients, two links and the
// update check) and the small non-blocking message box frmMsgBox.
//
// The update check reads the update page's title ("version M.m") and, when that version is newer
// than the program's, offers to open the address the page's body holds. Only an http or https
// address is ever handed to the shell.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "settings/update_check_win.h"
#include "ui/shade_button_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace parlix {

// What the boxes ask the user (MessageBoxW by default) and how an address is opened
// (ShellExecuteW "open" by default); tests put recorders here.
using AskFn = std::function<int(HWND owner, const std::wstring& text, const std::wstring& title, UINT type)>;
using OpenFn = std::function<void(HWND owner, const std::wstring& address)>;

struct AboutOptions {
    std::wstring programTitle;  // "Parlix"
    HICON icon = nullptr;       // the main window's, not owned
    HWND main = nullptr;        // owner of what the update check opens
    std::wstring updatePage;    // kUpdatePage unless a test serves its own
    int major = 0;
    int minor = 0;
    int revision = 0;
    AskFn ask;
    OpenFn open;
};

// The build number (the third number) of the running program's version block; 0 without one.
[[nodiscard]] int ProgramRevision();

class AboutBox final : public WindowBase {
public:
    explicit AboutBox(AboutOptions options);
    ~AboutBox() override;
    // Builds and shows the box, topmost. False when the window could not be made.
    bool Open();
    // Called once the window is gone (OK or the close box); the owner then drops this box.
    std::function<void()> onClosed;

    // btnUpdate: one check at a time; the button is disabled until its answer is handled.
    void CheckUpdate();
    [[nodiscard]] bool Checking() const noexcept { return pending_; }
    [[nodiscard]] HWND UpdateButton() const noexcept { return btnUpdate_.Hwnd(); }
    [[nodiscard]] const ShadeButton& UpdateButtonControl() const noexcept { return btnUpdate_; }
    [[nodiscard]] HWND OkButton() const noexcept { return btnOK_.Hwnd(); }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    void Answer(const FetchedPage& page);
    void Hover(HWND over);
    int Ask(const std::wstring& text, const std::wstring& title, UINT type);

    AboutOptions options_;
    ScopedFont font_;
    ScopedFont titleFont_;
    ScopedFont linkFont_;  // underlined
    ShadeButton btnOK_;
    ShadeButton btnUpdate_;
    HWND picIcon_ = nullptr;
    HWND lblURL_ = nullptr;
    HWND lblMail_ = nullptr;
    COLORREF urlColour_;
    COLORREF mailColour_;
    PageFetcher fetcher_;
    bool pending_ = false;
};

// frmMsgBox: one topmost box "出错啦~~" with a text and "确定"; a second report while it is
// open replaces its text. It never blocks the caller.
class MsgBox final : public WindowBase {
public:
    // Sh: shows the box (made when none is open) with the text.
    static void Sh(const std::wstring& text);
    [[nodiscard]] static HWND Current();
    ~MsgBox() override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    bool Load();
    ScopedFont font_;
    ShadeButton cmdOK_;
    HWND label1_ = nullptr;
};

}  // namespace parlix

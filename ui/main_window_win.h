// frmMain as a window: the main window and its controls, the tab strip (btnTab), the container
// of the captured chat windows (picWin), the notice of the empty window (fraMsg) and the number
// badges (picNum). The view decides nothing: every message of the main window goes to the one
// router the program installs.
#pragma once

#include "base/window_base_win.h"
#include "ui/no_chat_notice_win.h"
#include "ui/number_badges_win.h"
#include "ui/tab_control_win.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace parlix {

inline constexpr wchar_t kMainWindowClass[] = L"Parlix.frmMain";
inline constexpr wchar_t kPicWinClass[] = L"Parlix.picWin";

// Where the main window's messages go. handled = false lets the window's default processing
// answer.
class MainWindowRouter {
public:
    virtual LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~MainWindowRouter() = default;
};

class MainWindow final : public WindowBase {
public:
    MainWindow() = default;
    ~MainWindow() override;

    // Makes the window (hidden, layered, opaque) and its controls at the default size, and
    // routes its messages to router from then on.
    bool Create(MainWindowRouter& router);
    // The images of the tab strip (0 the lock, 1 the tab picture) and the height of a tab row,
    // measured with one tab in place; the strip is empty afterwards.
    void PrepareStrip();
    // The tab images again (after the settings dialog): a fresh image list for the dpi.
    void ReloadTabImages() { LoadTabImages(); }

    // The dpi the window is drawn at: its monitor's, as the system last told it.
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    // A figure in pixels at 96 dpi, in this window's pixels.
    [[nodiscard]] int Scale(int pixelsAt96) const noexcept;
    // WM_DPICHANGED: fonts, tab images, icons and the measured tab row for the new dpi. The
    // caller then gives the window the size the system suggests and lays it out again.
    void SetDpi(int dpi);

    [[nodiscard]] TabControl& Strip() noexcept { return btnTab_; }
    [[nodiscard]] const TabControl& Strip() const noexcept { return btnTab_; }
    [[nodiscard]] HWND PicWin() const noexcept { return picWin_; }
    [[nodiscard]] NoChatNotice& Notice() noexcept { return fraMsg_; }
    [[nodiscard]] NumberBadges& Badges() noexcept { return picNum_; }

    // The tab row's height: measured now, or at start-up while there is no tab to measure.
    [[nodiscard]] int HeaderHeight() const;
    [[nodiscard]] std::wstring Caption() const;
    void SetCaption(std::wstring_view caption);
    // The rows of the tab strip and the chat area in client coordinates (wheel switching).
    struct Band {
        int width = 0;
        int top = 0;
        int bottom = 0;
    };
    [[nodiscard]] Band StripBand() const;

    // "Parlix Ver <major>.<minor>"
    [[nodiscard]] static std::wstring BaseCaption();

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void LoadTabImages();
    void MeasureHeader();
    void LoadWindowIcons();

    MainWindowRouter* router_ = nullptr;
    TabControl btnTab_;
    HWND picWin_ = nullptr;  // child of the main window, destroyed with it
    NoChatNotice fraMsg_;
    NumberBadges picNum_;
    int headerHeight_ = 0;
    int dpi_ = 96;
    ScopedIcon smallIcon_;  // caption and taskbar icons drawn for dpi_
    ScopedIcon bigIcon_;
};

}  // namespace parlix

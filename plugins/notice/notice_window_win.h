// frmMain: the notice window. A borderless, topmost, per-pixel-alpha popup showing the skin with
// the notice's title and text; it slides in, holds, brightens under the cursor, slides out and
// closes itself. The C++ object lives as long as the plugin; its window exists for one notice
// cycle (Form_Load to the end of the slide-out) and takes its drawing resources with it.
//
// Painting: the skin is decoded once per cycle into a premultiplied 32-bit DIB of the skin's
// size (not the screen's: the same pixels, a fraction of the memory), a copy of those bare
// pixels is kept, and every repaint restores them, draws the two strings with GDI+ and hands the
// DIB to UpdateLayeredWindow with the current whole-window opacity.
//
// Dpi: the skin and its text boxes are drawn for 96 dpi; at another dpi the whole card (skin,
// boxes, fonts) is drawn scaled by dpi / 96, so it keeps its size on the screen and its text
// stays in its boxes. A dpi change mid-cycle redraws the card at the new size and rescales the
// motion about the window's corner, so the slide goes on and ends in that corner.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "plugins/notice/notice_motion.h"
#include "plugins/notice/notice_settings.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parlix::notice {

inline constexpr wchar_t kNoticeClass[] = L"Murmelo.frmMain";
inline constexpr UINT kTrayCallbackMessage = 2025;  // the main window's tray-icon callback
inline constexpr LPARAM kBalloonUserClick = 1029;   // NIN_BALLOONUSERCLICK

// The plugin-wide values the plugin class, the notice window and the settings page share.
struct NoticeModel {
    std::wstring iniPath;  // the program's set.ini
    std::wstring skinDir;  // the plugin folder & "\Skin\"
    NoticeSettings settings;
    SkinLayout layout;
    NoticeMotion motion;
    std::wstring NoticeTitle, NoticeText;
    // The main window of the host (MainForm.hwnd), read when the notice is clicked.
    std::function<HWND()> mainWindow;
};

// GDI+ for the whole process: started by the first notice and shut down when the last holder
// lets go (never from DllMain, where GDI+ must not be stopped).
class GdiplusSession {
public:
    // The running session, or null when GDI+ cannot be started.
    [[nodiscard]] static std::shared_ptr<GdiplusSession> Acquire();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    // How many times GDI+ was started in this process (for tests and benchmarks).
    [[nodiscard]] static int Starts() noexcept;

private:
    explicit GdiplusSession(ULONG_PTR token) noexcept : token_(token) {}
    ULONG_PTR token_;
};

class NoticeWindow final : public WindowBase {
public:
    explicit NoticeWindow(NoticeModel& model) noexcept;
    ~NoticeWindow() override;

    // (Re)starts a notice: creates and loads the window when it is not there (GDI+, skin, text
    // tools), then fade in, slide in, timers restarted. False when there is nothing to show
    // (GDI+ missing, after its message box; or a skin image that cannot be read): the window is
    // closed then.
    bool Form_Load();
    // One fade step and one repaint.
    void tmrPaint_Timer();
    // PlaceNotice: start place (for a window not yet shown) and steps, applied to the window.
    void PlaceNotice();
    // Shows the window without activating it.
    void Show();
    // Closes the window (end of the cycle); the C++ object stays for the next notice.
    void Unload() noexcept;
    // WM_DPICHANGED: the card redrawn for the new dpi (see above); the same dpi again changes
    // nothing. The suggested rectangle is not taken: the motion places the window.
    void DpiChanged(int dpi);
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }

    [[nodiscard]] bool Loaded() const noexcept { return Hwnd() != nullptr; }
    [[nodiscard]] SIZE SkinSize() const noexcept;
    // Repaints of this cycle (for tests and benchmarks).
    [[nodiscard]] unsigned Repaints() const noexcept { return repaints_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The drawing resources of one cycle, released in reverse order of creation.
    struct Surface;
    bool LoadSkin();
    void CreateTextTools();
    void DrawTextBox(float left, float top, float width, float height, const std::wstring& text, bool title);
    void tmrShowMsg_Timer();
    void tmrMouse_Timer();
    // Draws the texts over the bare skin and updates the layered window (no fade step).
    void Repaint();
    void Form_Click();
    void MoveToMotion();
    // Makes the window's timers what the motion says.
    void SyncTimers();
    [[nodiscard]] bool OpaqueAt(POINT client) const noexcept;

    NoticeModel& model_;
    std::shared_ptr<GdiplusSession> gdiplus_;
    std::unique_ptr<Surface> surface_;
    // Timer state as applied to the window.
    bool showOn_ = false, mouseOn_ = false, paintOn_ = false;
    unsigned showInterval_ = 0, showRestarts_ = 0;
    unsigned repaints_ = 0;
    int dpi_ = 96;  // the window's, read when it is made
};

void UnregisterNoticeClasses() noexcept;

}  // namespace parlix::notice

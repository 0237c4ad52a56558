// TabControl (the main window's btnTab): a host window of its own holding one "SysTabControl32"
// child, the tab window. The control wraps the tab window's messages behind methods (items with
// a caption, an image and a highlight; selection; rectangles; font; image list) and turns the
// messages of both windows into events. It draws nothing itself: the strip painter reads
// hwnd(), Bottom() and CustomColor() and repaints on Redraw().
//
// Positions are the tab window's 0-based item indexes (tab registry node i + 1 is tab i).
// Without a tab window the queries answer their "empty" values and the commands do nothing.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>

namespace parlix {

// Private message asking the strip painter to repaint; Redraw sends it to the tab window.
inline constexpr UINT kWmTabRedraw = 0x6FD;

// Receives the control's events. They are raised synchronously from inside the window
// procedures, before the window's own processing of the same message, which then goes on
// unchanged. X and Y are client coordinates of the tab window; Index is the tab under the
// point, -1 when none. Every handler does nothing unless overridden.
class TabControlEvents {
public:
    // The selection changed by the user (click, keyboard) or was written with Selected(i).
    virtual void Changed(int /*index*/) {}
    // button: the MK_* flags of WM_MOUSEMOVE.
    virtual void MouseMove(int /*button*/, int /*x*/, int /*y*/, int /*index*/) {}
    virtual void MouseDown(int /*x*/, int /*y*/, int /*index*/) {}
    virtual void MouseUp(int /*x*/, int /*y*/, int /*index*/) {}
    virtual void LButtonClicked() {}
    virtual void LButtonDBLClicked() {}
    virtual void RButtonClicked(int /*index*/) {}
    virtual void MButtonClicked(int /*index*/) {}
    // Right button released on the part of the strip the tab window leaves to its parent.
    virtual void RButtonClickedWindow() {}

protected:
    ~TabControlEvents() = default;
};

class TabControl {
public:
    // Longest caption GetItemText returns, in characters (a 255-character buffer with its NUL).
    static constexpr int kMaxCaption = 254;

    TabControl();
    TabControl(const TabControl&) = delete;
    TabControl& operator=(const TabControl&) = delete;
    ~TabControl();

    // Creates the host window as a child of parent, the tab window filling it, and gives the
    // tab window the strip font ("宋体", 9 pt, GB2312). False when the host exists already or
    // a window could not be made.
    bool Create(HWND parent, int x, int y, int width, int height);
    // Re-creates the tab window in the host (its items and image list are lost), with the
    // current Bottom and Roll styles and the control's font.
    bool Create(int width, int height);
    // Destroys the tab window and the image list; the host window stays.
    void Destroy();
    // The sink is not owned; null stops the events.
    void SetEvents(TabControlEvents* events) noexcept { events_ = events; }
    [[nodiscard]] TabControlEvents* Events() const noexcept { return events_; }

    // Items.
    // Inserts a tab at position (negative: at the end; past the end: at the end). Returns the
    // index the tab got, -1 when it could not be inserted.
    int AddItem(std::wstring_view caption, int position = -1);
    void Clear();
    // Deletes a tab and writes Selected so that the selected tab keeps the selection when it
    // survives, else the tab that takes its place (or the new last one). Changed follows
    // every delete that leaves a tab.
    void DelItem(int position);
    // Moves tab from to the insert position to (0..count; the tab lands at to, or to - 1 when
    // moved right) with its caption, image and highlight. The selected tab stays selected;
    // Changed is raised with its new index.
    void MoveTab(int from, int to);
    [[nodiscard]] int count() const;
    // Caption of a tab, at most kMaxCaption characters; empty when there is no such tab.
    [[nodiscard]] std::wstring GetItemText(int position) const;
    bool SetItemText(int position, std::wstring_view caption);
    // Image index of a tab; -1 when it has none or there is no such tab.
    [[nodiscard]] int GetItemImage(int position) const;
    bool SetItemImage(int image, int position);
    bool HilightItem(int position, bool highlight);
    [[nodiscard]] bool IsHilighted(int position) const;

    // Selection. Reading: -1 when none. Writing a position >= 0 selects it and raises Changed
    // with the selection read back, even when nothing changed; negative positions do nothing.
    [[nodiscard]] int Selected() const;
    void Selected(int position);

    // Styles: tabs along the bottom edge; one scrolling row (true) or several rows (false).
    [[nodiscard]] bool Bottom() const noexcept { return bottom_; }
    void Bottom(bool value);
    [[nodiscard]] bool Roll() const noexcept { return roll_; }
    void Roll(bool value);
    // Tells the strip painter to use the tab registry's per-tab colours.
    [[nodiscard]] bool CustomColor() const noexcept { return customColor_; }
    void CustomColor(bool value) noexcept { customColor_ = value; }

    // Geometry.
    // Display area of the strip in the client coordinates of the host's parent (the main window).
    [[nodiscard]] RECT GetAdjustRect() const;
    // Height of all tab rows.
    [[nodiscard]] int GetHeaderHeight() const;
    // Top of the selected tab's rectangle; 0 when none is selected.
    [[nodiscard]] int GetHeaderTop() const;
    // Rectangle of a tab in the tab window's client coordinates; empty when there is no such tab.
    [[nodiscard]] RECT GetItemRect(int position) const;
    // Screen rectangle of the tab window.
    [[nodiscard]] RECT GetRect() const;
    void Move(int x, int y, int width, int height);
    void SetToBottom();

    // Image list. The control owns the attached list and destroys it when it is replaced or
    // removed and with the control.
    // Makes a new list of width × height images (24-bit colour with mask), adds bitmap to it
    // when given, and attaches it. Returns the new list, null when none could be attached.
    HIMAGELIST SetImageList(int width, int height, HBITMAP bitmap, COLORREF mask);
    // Attaches a list made by the caller, who hands it over.
    HIMAGELIST SetImageList(ScopedImageList list);
    // Adds a bitmap to the attached list (the bitmap stays the caller's). Index, or -1.
    int AddImage(HBITMAP bitmap, COLORREF mask);
    void DelImgList();
    [[nodiscard]] HIMAGELIST GetImageList() const noexcept { return imageList_.get(); }

    // Font. SetFont makes and owns a font of size points at the control's dpi; SetFont_Obj's
    // font stays the caller's and must live as long as it is in use.
    bool SetFont(std::wstring_view face, int size, int charset);
    void SetFont_Obj(HFONT font);
    // The dpi the control is drawn at (0 until set: its window's). A font made by SetFont is
    // made again for the new dpi; the image list is the caller's to replace.
    void SetDpi(int dpi);
    [[nodiscard]] int Dpi() const;

    void Redraw();
    void SetFocus();
    // The tab window (null while there is none) and the host window.
    [[nodiscard]] HWND hwnd() const noexcept { return tab_; }
    [[nodiscard]] HWND ControlhWnd() const noexcept { return host_.Hwnd(); }

private:
    class Host final : public WindowBase {
    public:
        explicit Host(TabControl& owner) : owner_(owner) {}
        bool Make(HWND parent, int x, int y, int width, int height);

    private:
        LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
        TabControl& owner_;
    };

    static LRESULT CALLBACK TabSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR refData) noexcept;
    // Observers: raise the events of one message of the host or the tab window; never handle it.
    void WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void TabWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnHostResized();

    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) const;
    [[nodiscard]] int HitTest(int x, int y) const;
    void SetStyleBit(DWORD bit, bool on);

    Host host_{*this};
    HWND tab_ = nullptr;
    ScopedImageList imageList_;
    ScopedFont font_;           // the font made by SetFont
    std::wstring fontFace_;     // what it was made of, to make it again at another dpi
    int fontPoints_ = 0;
    int fontCharset_ = 0;
    int dpi_ = 0;
    HFONT currentFont_ = nullptr;  // the font given to the tab window (font_ or the caller's)
    TabControlEvents* events_ = nullptr;
    bool bottom_ = false;
    bool roll_ = false;
    bool customColor_ = false;
};

}  // namespace parlix

// frmProperty: the notice plugin's settings page, a child window the host's settings dialog
// embeds (GetProperty hands it out). Opacity, skin, click-through, the two text colours and
// sizes, the screen position and the slide direction; "预览效果" shows a test notice with what the
// page holds, "保存设置" writes it to [Murmelo]. Position and direction change the live values at
// once; closing the page reloads the live values from the file, which undoes an unsaved preview.
//
// For the host the page is an automation object used by name: hWnd, Move (left, top [, width,
// height] in twips) and Show. In C++ Embed() puts the window into a parent directly.
#pragma once

#include "base/com_win.h"
#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "plugins/notice/notice_window_win.h"

#include <array>
#include <functional>
#include <memory>

namespace parlix::notice {

inline constexpr wchar_t kPageClass[] = L"Murmelo.frmProperty";
// Design size: 5400 × 2265 twips.
inline constexpr int kPageWidth = 360, kPageHeight = 151;

class PropertyPage final : public WindowBase {
public:
    // reload: LoadNoticeSettings and LoadSkinLayout from the files (page close); false when a
    // stored value is unreadable.
    PropertyPage(NoticeModel& model, NoticeWindow& notice, std::function<void()> reload)
        : model_(model), notice_(notice), reload_(std::move(reload)) {}
    ~PropertyPage() override;

    // The page's automation object; the window is made on the first request. Null when it
    // cannot be made.
    [[nodiscard]] ComPtr<IDispatch> Form();
    // Makes the window (Form_Load) if needed; false when it cannot be made.
    bool Load();
    // Puts the page into parent at (x, y) pixels and shows it.
    bool Embed(HWND parent, int x, int y);
    // Form_Unload: the window goes and the live values come back from the file.
    void Close() noexcept;

    // The page's buttons, for the host's and the tests' use as a user would.
    void cmdPreview_Click();
    void cmdOK_Click();
    void optPos_Click(int index);
    void optDir_Click(int index);

    [[nodiscard]] HWND Control(int id) const noexcept { return ::GetDlgItem(Hwnd(), id); }

    // Control ids.
    enum : int {
        kTxtAlpha = 100, kCboSkin, kChkTrans, kLblColor0, kLblColor1, kCmdColor0, kCmdColor1, kTxtSize0, kTxtSize1,
        kCmdPreview, kCmdOK, kOptPos0 = 200, kOptDir0 = 220,
    };

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void MakeControls();
    void Form_Load();
    void FillSkinList();
    void cmdSelectColor_Click(int index);
    void SetSwatch(int index, COLORREF bgr);
    void Check(int firstId, int index);
    [[nodiscard]] int Selected(int firstId) const;
    [[nodiscard]] std::wstring Text(int id) const;
    [[nodiscard]] std::int32_t Number(int id, std::int32_t fallback) const;
    void ApplyToLive();

    NoticeModel& model_;
    NoticeWindow& notice_;
    std::function<void()> reload_;
    std::array<COLORREF, 2> swatch_{};
    std::array<ScopedBrush, 2> swatchBrush_;
    ScopedFont font_;
    bool repairing_ = false;
    // The form object's view of the window: gone once the page is closed.
    std::shared_ptr<HWND> handle_;
    ComPtr<IDispatch> form_;
};

void UnregisterPageClass() noexcept;

}  // namespace parlix::notice

// ShadeButton: the push button of the program's dialogs. Its face is one of five skins stretched
// to its size (nine-slice: 2-pixel corners and edges kept, the centre stretched), and it
// cross-fades every 15 ms from the face shown towards the face of its state: normal, hot, pressed,
// and for the default button a slow glow between two faces with a thicker border, for ever.
//
// A click (mouse released inside, the space key, BM_CLICK) sends WM_COMMAND with BN_CLICKED and
// the control's id to the parent, as a system button does.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "ui/shade_button.h"

#include <windows.h>

#include <array>
#include <string>

namespace parlix {

class ShadeButton final : public WindowBase {
public:
    ShadeButton() = default;
    ~ShadeButton() override;

    // A child of parent; name gives the caption until one is set (every "Shade" removed).
    bool Create(HWND parent, int id, std::wstring_view name, int x, int y, int width, int height);

    [[nodiscard]] const std::wstring& Caption() const noexcept { return caption_; }
    void Caption(std::wstring_view caption);
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void Enabled(bool enabled);
    [[nodiscard]] int Speed() const noexcept { return speed_; }
    void Speed(int speed) noexcept { speed_ = speed; }
    void ForeColor(std::int32_t colour);
    void HotColor(std::int32_t colour) noexcept { colours_.hot = colour; }
    void PressedColor(std::int32_t colour) noexcept { colours_.pressed = colour; }
    // The container's DisplayAsDefault: the default button glows.
    void Default(bool isDefault);
    [[nodiscard]] bool Default() const noexcept { return default_; }
    void Font(HFONT font);

    [[nodiscard]] const ShadeFade& Fade() const noexcept { return fade_; }
    // The caption colour the face is drawn with now (a system colour index when the top bit is set).
    [[nodiscard]] std::int32_t CaptionColour() const noexcept { return captionColour_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void BuildFaces();
    void Tick();
    void KeepImage();  // the image shown becomes the background fades start from
    void DrawCaption(HDC dc) const;
    void Click();
    void OnMouseMove(LPARAM lParam, WPARAM keys);
    [[nodiscard]] bool Inside(int x, int y) const noexcept;

    std::wstring caption_;
    bool enabled_ = true;
    bool default_ = false;
    int speed_ = kShadeDefaultSpeed;
    ShadeColours colours_;
    std::int32_t captionColour_ = 0;
    ShadeFade fade_;
    HFONT font_ = nullptr;  // the parent's, not owned
    int width_ = 0;
    int height_ = 0;
    POINT lastMouse_{-1, -1};
    bool inside_ = false;

    // One memory context per face, each with its bitmap; the kept background and the image shown.
    std::array<ScopedMemoryDc, 5> faceDc_;
    std::array<ScopedBitmap, 5> faceBmp_;
    std::array<HGDIOBJ, 5> faceOld_{};
    ScopedBitmap background_;
    ScopedBitmap image_;
};

}  // namespace parlix

// imgPic: the pasted pictures, each a movable frame inside the canvas numbered like a control
// array (element 0 is the invisible template and has no window; pasted pictures are 1 and up).
// A frame follows the mouse while the left button drags it, comes to the front when grabbed, and
// is removed when the right button is released on it.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace parlix::doodle {

inline constexpr wchar_t kFrameClass[] = L"Skribel.imgPic";

class PictureFrame final : public WindowBase {
public:
    // Takes the picture; the frame is its size, at (0, 0) of the canvas, shown in front.
    PictureFrame(int index, ScopedBitmap picture, HWND removeTo, UINT removeMessage) noexcept
        : index_(index), picture_(std::move(picture)), removeTo_(removeTo), removeMessage_(removeMessage) {}
    bool Create(HWND canvas);
    [[nodiscard]] int Index() const noexcept { return index_; }
    [[nodiscard]] HBITMAP Picture() const noexcept { return picture_.get(); }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();

    int index_;
    ScopedBitmap picture_;
    HWND removeTo_;
    UINT removeMessage_;
    POINT last_{};  // the grab point, in the frame's own coordinates
};

class PictureFrames {
public:
    // A right-button release on a frame posts removeMessage (wParam = its index) to removeTo,
    // which answers with Remove: a frame is never destroyed inside its own messages.
    PictureFrames(HWND removeTo, UINT removeMessage) noexcept : removeTo_(removeTo), removeMessage_(removeMessage) {}

    // A new frame one above the highest existing element, holding picture; its index, or 0.
    int Add(HWND canvas, ScopedBitmap picture);
    void Remove(int index);
    // Every frame above 0 is removed.
    void Clear() noexcept { frames_.clear(); }

    [[nodiscard]] std::set<int> Indices() const;
    [[nodiscard]] const PictureFrame* Frame(int index) const;
    // The frames as the user sees them stacked: the bottom one first.
    [[nodiscard]] std::vector<const PictureFrame*> BottomToTop() const;

private:
    HWND removeTo_;
    UINT removeMessage_;
    std::map<int, std::unique_ptr<PictureFrame>> frames_;
};

}  // namespace parlix::doodle

#include "plugins/doodle/picture_frames_win.h"

#include "plugins/doodle/board_rules.h"

#include <windowsx.h>

#include <algorithm>

namespace parlix::doodle {

bool PictureFrame::Create(HWND canvas) {
    BITMAP info{};
    if (!picture_ || !::GetObjectW(picture_.get(), sizeof info, &info)) return false;
    RegisterClassOnce(kFrameClass, nullptr, nullptr);
    if (!WindowBase::Create(kFrameClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, info.bmWidth, info.bmHeight,
                            canvas))
        return false;
    ::SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    return true;
}

void PictureFrame::OnPaint() {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(Hwnd(), &ps);
    ScopedMemoryDc work(::CreateCompatibleDC(dc));
    if (work) {
        const ScopedSelect from(work.get(), picture_.get());
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, work.get(), 0, 0, SRCCOPY);
    }
    ::EndPaint(Hwnd(), &ps);
}

LRESULT PictureFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        last_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::SetCapture(Hwnd());
        ::SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return 0;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) {
            // The frame follows the mouse: the grab point stays under it.
            RECT r{};
            ::GetWindowRect(Hwnd(), &r);
            ::MapWindowPoints(nullptr, ::GetParent(Hwnd()), reinterpret_cast<POINT*>(&r), 2);
            ::SetWindowPos(Hwnd(), nullptr, r.left + GET_X_LPARAM(lParam) - last_.x,
                           r.top + GET_Y_LPARAM(lParam) - last_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == Hwnd()) ::ReleaseCapture();
        return 0;
    case WM_RBUTTONUP:
        ::PostMessageW(removeTo_, removeMessage_, static_cast<WPARAM>(index_), 0);
        return 0;
    default: return WindowBase::HandleMessage(msg, wParam, lParam);
    }
}

int PictureFrames::Add(HWND canvas, ScopedBitmap picture) {
    const int index = NextFrameIndex(Indices());
    auto frame = std::make_unique<PictureFrame>(index, std::move(picture), removeTo_, removeMessage_);
    if (!frame->Create(canvas)) return 0;
    frames_[index] = std::move(frame);
    return index;
}

void PictureFrames::Remove(int index) { frames_.erase(index); }

std::set<int> PictureFrames::Indices() const {
    std::set<int> indices;
    for (const auto& [index, frame] : frames_) indices.insert(index);
    return indices;
}

const PictureFrame* PictureFrames::Frame(int index) const {
    const auto it = frames_.find(index);
    return it == frames_.end() ? nullptr : it->second.get();
}

std::vector<const PictureFrame*> PictureFrames::BottomToTop() const {
    std::vector<const PictureFrame*> order;
    if (frames_.empty()) return order;
    const HWND canvas = ::GetParent(frames_.begin()->second->Hwnd());
    // Children are listed top first.
    for (HWND child = ::GetWindow(canvas, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        for (const auto& [index, frame] : frames_)
            if (frame->Hwnd() == child) order.insert(order.begin(), frame.get());
    return order;
}

}  // namespace parlix::doodle

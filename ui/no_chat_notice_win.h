// fraMsg: the notice shown in place of the chat area while no chat window is captured.
#pragma once

#include "base/scoped_win.h"

#include <windows.h>

#include <string>

namespace parlix {

inline constexpr wchar_t kNoChatText[] =
    L"没有检测到任何聊天窗口\r\n\r\n使用非原版QQ可能会出问题\r\n若安装了360保险箱，请允许Parlix对QQ的访问\r\n\r\n"
    L"可用 Ctrl+Tab/数字键/鼠标滚轮 切换聊天窗口。\r\n可按Alt+C关闭QQ聊天窗口。\r\n\r\n";

// lblURL's two lines.
[[nodiscard]] std::wstring NoChatLinkText();

class NoChatNotice {
public:
    void Create(HWND parent, int dpi);
    // The font for another dpi; the next Move lays the notice out for it.
    void SetDpi(int dpi);
    void Move(const RECT& area);
    void Show(bool visible);
    [[nodiscard]] bool Visible() const { return frame_ && ::IsWindowVisible(frame_); }
    [[nodiscard]] HWND Frame() const noexcept { return frame_; }
    [[nodiscard]] HWND Label() const noexcept { return label_; }
    // lblURL: the home page and forum lines; a click on it reaches the parent as STN_CLICKED.
    [[nodiscard]] HWND Link() const noexcept { return link_; }

private:
    HWND frame_ = nullptr;  // children of the main window, destroyed with it
    HWND label_ = nullptr;
    HWND link_ = nullptr;
    ScopedFont font_;  // the message font at dpi_
    int dpi_ = 96;
};

}  // namespace parlix

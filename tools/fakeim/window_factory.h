// Creation of the simulated windows: top-level windows placed and shown as the options ask,
// children with the shared font.
#pragma once

#include "tools/fakeim/commands.h"

#include <windows.h>

#include <string>

namespace fakeim {

struct Environment;

inline constexpr int kChatWidth = 480;
inline constexpr int kChatHeight = 400;

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
};

// A hidden top-level window bound to a new SimWindow; title is set at once unless
// options.lateMs asks for later (lateMs 0: at once). Null on failure.
HWND CreateTopWindow(Environment& env, const std::wstring& className, const std::wstring& title, DWORD style,
                     DWORD exStyle, const OpenOptions& options, int width = kChatWidth,
                     int height = kChatHeight);
// Shows a finished top-level window: normal, minimised or maximised, or not at all (hidden).
void ShowAsAsked(HWND hwnd, const OpenOptions& options);

// A child window (WS_CHILD is added to style) using the shared font.
HWND CreateChild(const Environment& env, HWND parent, const std::wstring& className, const std::wstring& text,
                 DWORD style, Box box, DWORD exStyle = 0, int id = 0);

[[nodiscard]] Box ClientBox(HWND hwnd);

} // namespace fakeim

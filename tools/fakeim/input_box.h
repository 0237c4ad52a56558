// The clients' paste into a chat's input box: Shift+Insert with a bitmap on the clipboard puts
// the picture into the box, shown here as the text "[图片 <w>x<h>]" at the caret.
#pragma once

#include <windows.h>

namespace fakeim {

inline constexpr wchar_t kPastedPictureText[] = L"[图片 ";

// Makes box answer Shift+Insert as the clients do; the box keeps it until it is destroyed.
bool AcceptPictures(HWND box);

} // namespace fakeim

// The file and colour choosers of the settings dialog and the tab colour menu (modCommDlg).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace parlix {

struct OpenFileResult {
    std::wstring fileName;   // the chosen file's name alone
    std::wstring fullPath;
    std::wstring directory;  // the full path up to and including its last "\"
    bool cancelled = true;
};

// filter: pairs of description and pattern joined by "|" ("可执行文件(*.exe)|*.exe"). Starts in
// the current directory; the file must exist.
[[nodiscard]] OpenFileResult ShowOpen(HWND owner, std::wstring_view filter);
// The directory part of a path, with its last "\" ("" when there is none).
[[nodiscard]] std::wstring DirectoryOf(std::wstring_view path);

struct ColorResult {
    std::int32_t colour = 0;
    bool cancelled = true;
};

// The colour chooser, fully open, starting at initial; the 16 custom colours are random ones
// made afresh at each call (red 0, green, blue and the top byte random).
[[nodiscard]] ColorResult ShowColor(HWND owner, std::int32_t initial);

}  // namespace parlix

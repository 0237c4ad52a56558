// The program's own facts shown to the user: its version and its web addresses.
#pragma once

namespace parlix {

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;

// Home page and forum, shown on the empty main window and in the about box; the update page
// lives on the home page's site.
inline constexpr wchar_t kHomePage[] = L"http://www.parlix.net/";
inline constexpr wchar_t kForumPage[] = L"http://bbs.parlix.net/";
inline constexpr wchar_t kUpdatePage[] = L"http://www.parlix.net/Morvane/update2.htm";

}  // namespace parlix

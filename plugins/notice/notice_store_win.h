// The notice plugin's settings through the profile API: [Murmelo] of the program's set.ini and
// [Skin] of the chosen skin's layout file.
#pragma once

#include "plugins/notice/notice_window_win.h"

#include <string>
#include <string_view>

namespace parlix::notice {

// ReadSetting: the stored text of key in [Murmelo], the fallback when it is missing, "" when it
// is present but empty.
[[nodiscard]] std::wstring ReadSetting(const std::wstring& iniPath, std::wstring_view key, std::wstring_view fallback);
void WriteSetting(const std::wstring& iniPath, std::wstring_view key, std::wstring_view value);
// ReadSkinValue: a key of [Skin] in <skinDir><skin>.ini, "0" when it is missing.
[[nodiscard]] std::wstring ReadSkinValue(const NoticeModel& model, std::wstring_view key);

// LoadNoticeSettings and LoadSkinLayout into the model. Throw IniValueError on a value that is
// no number; the model keeps what it had then.
void LoadNoticeSettings(NoticeModel& model);
void LoadSkinLayout(NoticeModel& model);

}  // namespace parlix::notice

#include "plugins/notice/notice_store_win.h"

#include "settings/ini_values.h"

#include <windows.h>

namespace parlix::notice {

namespace {

std::wstring ReadProfile(const wchar_t* section, std::wstring_view key, std::wstring_view fallback,
                         const std::wstring& file) {
    wchar_t buffer[kIniReadBuffer + 1] = {};
    const std::wstring k(key), f(fallback);
    const DWORD copied = ::GetPrivateProfileStringW(section, k.c_str(), f.c_str(), buffer, kIniReadBuffer + 1,
                                                    file.c_str());
    return IniReadResult(std::wstring_view(buffer, kIniReadBuffer), copied);
}

}  // namespace

std::wstring ReadSetting(const std::wstring& iniPath, std::wstring_view key, std::wstring_view fallback) {
    return ReadProfile(kSection, key, fallback, iniPath);
}

void WriteSetting(const std::wstring& iniPath, std::wstring_view key, std::wstring_view value) {
    const std::wstring k(key), v = IniSafeValue(value);
    ::WritePrivateProfileStringW(kSection, k.c_str(), v.c_str(), iniPath.c_str());
}

std::wstring ReadSkinValue(const NoticeModel& model, std::wstring_view key) {
    return ReadProfile(kSkinSection, key, L"0", model.skinDir + model.settings.msg_Skin + L".ini");
}

void LoadNoticeSettings(NoticeModel& model) {
    model.settings = notice::LoadNoticeSettings(
        [&](std::wstring_view key, std::wstring_view fallback) { return ReadSetting(model.iniPath, key, fallback); });
}

void LoadSkinLayout(NoticeModel& model) {
    model.layout = notice::LoadSkinLayout(
        [&](std::wstring_view key, std::wstring_view) { return ReadSkinValue(model, key); });
}

}  // namespace parlix::notice

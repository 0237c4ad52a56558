#include "capture/upkeep_rules.h"

#include <algorithm>

namespace parlix {

namespace {
constexpr std::uint32_t kWsCaptionBits = 0x00C00000;
// Below these a window is no chat at its real size (minimised, or caught while it is made).
constexpr int kMinFollowWidth = 15;
constexpr int kMinFollowHeight = 34;
}  // namespace

bool CaptionStripped(std::uint32_t originalStyle, bool compatibility) noexcept {
    return !compatibility && (originalStyle & kWsCaptionBits) == kWsCaptionBits;
}

ChatChrome ChromeOf(IM_VERSION version, bool captionStripped, int dpi) noexcept {
    if (captionStripped) return {};
    const ChatChrome at96 = IsQQ2009(version) ? ChatChrome{2, 24, 5, 37}
                            : IsFetion(version) ? ChatChrome{8, 26, 14, 66}
                                                : ChatChrome{8, 26, 14, 33};
    return {ScaleForDpi(at96.left, dpi), ScaleForDpi(at96.top, dpi), ScaleForDpi(at96.width, dpi),
            ScaleForDpi(at96.height, dpi)};
}

PixelRect ChatPlacement(PixelSize picWin, const ChatChrome& chrome) noexcept {
    return {-chrome.left, -chrome.top, std::max(0, picWin.width) + chrome.width,
            std::max(0, picWin.height) + chrome.height};
}

PicWinFollow FollowChatSize(PixelSize chat, const ChatChrome& chrome, int dpi) noexcept {
    PicWinFollow f;
    if (chat.width >= ScaleForDpi(kMinFollowWidth, dpi) && chat.width - chrome.width > 0)
        f.width = chat.width - chrome.width;
    if (chat.height >= ScaleForDpi(kMinFollowHeight, dpi) && chat.height - chrome.height > 0)
        f.height = chat.height - chrome.height;
    return f;
}

TabLayout FormLayout(PixelSize client, int headerHeight, bool tabRowAtBottom, int dpi) noexcept {
    const int w = std::max(0, client.width);
    const int h = std::max(0, client.height);
    const int header = std::max(0, headerHeight);
    const auto px = [dpi](int at96) { return ScaleForDpi(at96, dpi); };
    TabLayout l;
    l.btnTab = {0, 0, w, h};
    if (tabRowAtBottom)
        l.picWin = {0, 0, w, std::max(0, h - header - px(4))};
    else
        l.picWin = {0, header + px(3), w, std::max(0, h - header - px(6))};
    return l;
}

bool CaptionFollowsTitle(IM_VERSION version) noexcept {
    const auto v = static_cast<std::int32_t>(version);
    return v >= 0 && v <= static_cast<std::int32_t>(IM_VERSION::QQ2009);
}

std::wstring MainCaption(std::wstring_view title, std::wstring_view suffix) {
    std::wstring caption(title);
    caption += L" - Parlix";
    caption += suffix;
    return caption;
}

MainStateChange NextMainState(MainWindowState mainState, ShowState shown, bool trayEnabled) noexcept {
    switch (shown) {
    case ShowState::Minimised:
        return {MainWindowState::InTray, mainState != MainWindowState::InTray && trayEnabled};
    case ShowState::Maximised:
        return {MainWindowState::Maximized, false};
    case ShowState::Normal:
        break;
    }
    return {MainWindowState::Normal, false};
}

SizingStep ChkWinSizing(bool locked, MainWindowState mainState) noexcept {
    if (locked) return SizingStep::Layout;
    if (mainState == MainWindowState::Normal) return SizingStep::FollowWindow;
    if (mainState == MainWindowState::Maximized) return SizingStep::Layout;
    return SizingStep::None;
}

}  // namespace parlix

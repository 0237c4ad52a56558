#include "capture/recognition.h"

#include <algorithm>
#include <cstddef>

namespace parlix {
namespace {

using std::ptrdiff_t;

// "－" in the rules below is the full-width hyphen U+FF0D; "-" is ASCII.

// How a dialog-family rule cuts the caption out of the title.
enum class Cut {
    Mid,          // Mid(title, start, Len - drop)
    AfterDeSpace, // Mid(title, p + 1, Len - p - 3), p = 1-based position of "的 " (0 when absent)
    BeforeParen,  // text before the first "(", the whole title without one
};

struct DialogRule {
    std::wstring_view prefix; // "" = not tested
    std::wstring_view suffix; // "" = not tested
    Cut cut;
    ptrdiff_t start;
    ptrdiff_t drop;
    bool isGroup;
    IM_VERSION version;
};

// Test order matters: the first match decides (e.g. " 交谈中" before " 会话中" before "交谈中").
// Several rules test fewer characters at the end than they remove; the extra one is the space or
// name character before the hyphen.
constexpr DialogRule kDialogRules[] = {
    {L"与来自", L"交谈中", Cut::AfterDeSpace, 0, 0, false, IM_VERSION::QQ2008},
    {L"临时会话", L"交谈中", Cut::Mid, 10, 13, false, IM_VERSION::QQ},
    {L"", L" - 发送消息", Cut::Mid, 1, 7, false, IM_VERSION::QQ},
    {L"与手机用户", L"交谈中", Cut::Mid, 7, 10, false, IM_VERSION::QQ},
    {L"与 ", L" 交谈中", Cut::Mid, 3, 6, false, IM_VERSION::QQ},
    {L"与 ", L" 会话中", Cut::Mid, 3, 6, false, IM_VERSION::TM},
    {L"与", L"会话中", Cut::Mid, 2, 4, false, IM_VERSION::TM},
    {L"", L"交谈中", Cut::Mid, 3, 6, false, IM_VERSION::QQ},
    {L"多人聊天 － ", L"", Cut::Mid, 8, 7, false, IM_VERSION::QQ}, // Mid(title, 8) to the end
    {L"", L"- 正在输入", Cut::Mid, 1, 7, false, IM_VERSION::QQ},
    {L"", L" － 讨论组 ", Cut::Mid, 1, 8, true, IM_VERSION::TM},
    {L"", L"－ 群", Cut::Mid, 1, 4, true, IM_VERSION::QQ},
    {L"", L" － 班级群", Cut::Mid, 1, 6, true, IM_VERSION::QQ},
    {L"", L"－ 群 ", Cut::Mid, 1, 5, true, IM_VERSION::TM2005},
    {L"", L"- 群", Cut::Mid, 1, 4, true, IM_VERSION::TM},
    {L"", L"－ 高级群", Cut::Mid, 1, 6, true, IM_VERSION::QQ},
    {L"", L"－ 班级群", Cut::Mid, 1, 6, true, IM_VERSION::QQ},
    {L"", L"－ 超级群", Cut::BeforeParen, 0, 0, true, IM_VERSION::QQ},
};

// Mid counted from 1: a start beyond the end gives "", a length past the end stops there. A
// negative length (a run-time error in the original) gives nullopt: the title is too short for
// the rule that matched it, and no caption can be cut.
std::optional<std::wstring> Mid(std::wstring_view s, ptrdiff_t start, ptrdiff_t length) {
    if (length < 0 || start < 1) return std::nullopt;
    const auto size = static_cast<ptrdiff_t>(s.size());
    if (start > size) return std::wstring();
    const auto count = std::min(length, size - (start - 1));
    return std::wstring(s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

std::optional<std::wstring> CutCaption(const DialogRule& rule, std::wstring_view title) {
    const auto len = static_cast<ptrdiff_t>(title.size());
    switch (rule.cut) {
    case Cut::Mid:
        return Mid(title, rule.start, len - rule.drop);
    case Cut::AfterDeSpace: {
        const auto at = title.find(L"的 ");
        const ptrdiff_t p = at == std::wstring_view::npos ? 0 : static_cast<ptrdiff_t>(at) + 1;
        return Mid(title, p + 1, len - p - 3);
    }
    case Cut::BeforeParen:
        return std::wstring(title.substr(0, title.find(L'(')));
    }
    return std::nullopt;
}

bool Visible(const WindowTree& tree, Hwnd w) {
    return (tree.Style(w) & kWsVisible) != 0;
}

std::optional<Recognition> BaiduHiRule(const WindowTree& tree, Hwnd w, const std::wstring& title) {
    if (tree.FindChild(w, Hwnd{}, std::nullopt, std::nullopt)) return std::nullopt;
    if (title.empty() || title == L"BaiduBasement" || title.starts_with(L"百度Hi") ||
        title.starts_with(L"Baidu Hi - ") || !Visible(tree, w))
        return std::nullopt;
    return Recognition{title, false, IM_VERSION::BaiduHI, tree.ProcessId(w)};
}

std::optional<Recognition> QQ2009Rule(const WindowTree& tree, Hwnd w, const std::wstring& title) {
    const Hwnd panel = tree.FindChild(w, Hwnd{}, L"Static", std::nullopt);
    const Hwnd flash =
        panel ? tree.FindChild(panel, Hwnd{}, L"MacromediaFlashPlayerActiveX", std::nullopt) : Hwnd{};
    if (!title.empty() && flash && Visible(tree, w))
        return Recognition{title, false, IM_VERSION::QQ2009, tree.ProcessId(w)};

    // Group chats have no Flash child; they are told by their exact style pattern, whatever their
    // minimised, maximised or layered state.
    constexpr std::uint32_t kWsExLayered = 0x80000;
    constexpr std::uint32_t kGroupExStyle = 0x300;    // WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE
    constexpr std::uint32_t kNotMinMax = 0xDEFFFFFF;  // without WS_MINIMIZE, WS_MAXIMIZE
    constexpr std::uint32_t kGroupStyle = 0x960F0000; // popup, visible, clip, sysmenu, frame, boxes
    const bool group = (tree.ExStyle(w) & ~kWsExLayered) == kGroupExStyle &&
                       (tree.Style(w) & kNotMinMax) == kGroupStyle && !title.starts_with(L"QQ2009") &&
                       !title.starts_with(L"TM2009 ") && title != L"消息管理器" && title != L"表情管理";
    if (!group) return std::nullopt;
    return Recognition{title, true, IM_VERSION::QQ2009, tree.ProcessId(w)};
}

std::optional<Recognition> FetionRule(WindowTree& tree, Hwnd w, const std::wstring& className) {
    // The per-process part of the client's class names (the class has at least the 30 characters
    // of the shared prefix).
    const std::wstring suffix = className.substr(className.size() - 7);
    const std::wstring form = std::wstring(kFetionFormClass) + suffix;
    const std::wstring button = L"WindowsForms10.BUTTON.app.0." + suffix;
    const std::wstring label = L"WindowsForms10.STATIC.app.0." + suffix;

    // The client sets the title only after creating the window, within 100 ms when it is not
    // busy. A busy client gets up to a second more, so that a late title is still cut to the
    // contact's name and a late tip widget is still refused.
    tree.Wait(100);
    std::wstring title = tree.Title(w);
    for (int waited = 100; title.empty() && waited < 1100; waited += 50) {
        tree.Wait(50);
        title = tree.Title(w);
    }
    if (title == L"contact_tip_widget") return std::nullopt;

    // A chat is one visible panel, without buttons at the top level or in the panel.
    const Hwnd panel = tree.FindChild(w, Hwnd{}, form, std::nullopt);
    if (!panel || tree.FindChild(w, Hwnd{}, button, std::nullopt) || !Visible(tree, w)) return std::nullopt;
    if (tree.FindChild(panel, Hwnd{}, button, std::nullopt) || tree.FindChild(w, panel, form, std::nullopt))
        return std::nullopt;

    const bool group = static_cast<bool>(tree.FindChild(w, Hwnd{}, label, std::nullopt));
    return Recognition{std::wstring(title.substr(0, title.find(L" - "))), group, IM_VERSION::Fetion_3_2, 0};
}

} // namespace

std::optional<Recognition> DialogTitleRule(std::wstring_view title) {
    for (const DialogRule& rule : kDialogRules) {
        if (!title.starts_with(rule.prefix) || !title.ends_with(rule.suffix)) continue;
        // The first matching rule decides even when the title is too short for its cut: the
        // window is then left alone rather than tried against later rules.
        auto caption = CutCaption(rule, title);
        if (!caption) return std::nullopt;
        return Recognition{std::move(*caption), rule.isGroup, rule.version, 0};
    }
    return std::nullopt;
}

std::optional<Recognition> Recognize(WindowTree& tree, Hwnd window,
                                     std::span<const std::uint32_t> imProcessIds) {
    if (!IsInList(tree.ProcessId(window), imProcessIds)) return std::nullopt;
    const std::wstring title = tree.Title(window);
    const std::wstring className = tree.ClassName(window);

    // Classes are compared exactly and case-sensitively.
    if (className == L"#32770") return DialogTitleRule(title);
    if (className == L"BaseGui") return BaiduHiRule(tree, window, title);
    if (className == L"TXGuiFoundation") return QQ2009Rule(tree, window, title);
    if (IsFetionClass(className)) return FetionRule(tree, window, className);
    return std::nullopt;
}

bool IsInList(std::uint32_t value, std::span<const std::uint32_t> list) noexcept {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool ScanSkipsTitle(std::wstring_view title) noexcept {
    return title.starts_with(L"阿里旺旺 - ");
}

bool IsFetionClass(std::wstring_view className) noexcept {
    return className.starts_with(kFetionFormClass);
}

} // namespace parlix

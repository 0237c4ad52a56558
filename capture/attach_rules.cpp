#include "capture/attach_rules.h"

#include "capture/recognition.h"

#include <optional>

namespace parlix {

namespace {

constexpr std::wstring_view kDialog = L"#32770";
constexpr std::wstring_view kRichEdit1 = L"RICHEDIT";
constexpr std::wstring_view kRichEdit2 = L"RichEdit20A";
constexpr std::wstring_view kPanel = L"AfxWnd42";
constexpr std::wstring_view kSendButtonClass = L"Button";
constexpr std::wstring_view kSendButtonTitle = L"发送(&S)";

// FindChild below a window that exists; an empty parent would search the top level.
Hwnd Child(const WindowTree& tree, Hwnd parent, std::wstring_view cls, Hwnd after = {},
           std::optional<std::wstring_view> title = std::nullopt) {
    if (!parent) return {};
    return tree.FindChild(parent, after, cls, title);
}

ChatChildren DialogFamily(const WindowTree& tree, Hwnd window, IM_VERSION version) {
    ChatChildren found{{}, {}, version};
    const Hwnd d = Child(tree, window, kDialog);
    Hwnd historyParent = d;
    if (d) {
        const Hwnd r1 = Child(tree, d, kRichEdit1);
        const Hwnd r2 = Child(tree, d, kRichEdit2);
        const Hwnd b = Child(tree, d, kSendButtonClass, {}, kSendButtonTitle);
        if (r1 && r2 && b) {
            found.chat = r2;
            Hwnd a = Child(tree, d, kPanel);
            if (!(tree.Style(a) & kWsVisible)) {
                if (a) a = Child(tree, d, kPanel, a);
                found.say = Child(tree, a, kRichEdit2);
                found.version = IM_VERSION::QQ2008_BETA1;
            } else {
                found.say = Child(tree, a, kRichEdit1);
                if (!found.say) found.say = r1;
                found.version = IM_VERSION::TM2005;
            }
        } else if (r1 && r2) {
            found.version = IM_VERSION::TM2007;
            found.chat = r2;
            found.say = r1;
        }
        if (found.version == IM_VERSION::QQ) found.version = IM_VERSION::QQ2008_BETA1;
    } else if (version == IM_VERSION::QQ) {
        found.version = IM_VERSION::QQ2008;
        historyParent = window;
        Hwnd a;
        for (int i = 0; i < 3 && !found.say; ++i) {
            a = Child(tree, window, kPanel, a);
            if (!a) break;
            found.say = Child(tree, a, kRichEdit2);
        }
    }
    // A TM2005 window without inner dialog is treated like a plain TM window: nothing to find.
    if (!found.chat) found.chat = Child(tree, historyParent, kRichEdit2);
    return found;
}

ChatChildren FetionFamily(const WindowTree& tree, Hwnd window, IM_VERSION version) {
    ChatChildren found{{}, {}, version};
    const std::wstring cls = tree.ClassName(window);
    const std::wstring suffix = cls.size() > kFetionFormClass.size() ? cls.substr(kFetionFormClass.size()) : L"";
    const std::wstring w = std::wstring(kFetionFormClass) + suffix;
    const std::wstring e = L"WindowsForms10.RichEdit20W.app.0." + suffix;
    const auto C = [&](Hwnd parent, const std::wstring& c, Hwnd after = {}) { return Child(tree, parent, c, after, L""); };

    const Hwnd p1 = C(window, w);
    const Hwnd p2 = C(p1, w);
    const Hwnd p3 = C(p2, w);
    Hwnd q = C(C(p3, w), w);
    found.chat = C(q, e);
    if (!found.chat) {
        found.version = IM_VERSION::Fetion_3_4;
        q = C(q, w);
        found.chat = C(q, e);
    }
    q = C(p3, w);
    Hwnd s = q ? C(p3, w, q) : Hwnd{};
    if (!s) {
        s = C(q, w);
        q = s ? C(q, w, s) : Hwnd{};
        q = C(q, w);
    } else {
        q = C(s, w);
    }
    found.say = C(q, e);
    return found;
}

}  // namespace

ChatChildren FindChatChildren(const WindowTree& tree, Hwnd window, IM_VERSION version) {
    if (IsFetion(version)) return FetionFamily(tree, window, version);
    if (version == IM_VERSION::TM || version == IM_VERSION::TM2005 || version == IM_VERSION::QQ)
        return DialogFamily(tree, window, version);
    return {{}, {}, version};
}

std::uint32_t CapturedStyle(IM_VERSION version, std::uint32_t s, bool compatibility) noexcept {
    constexpr std::uint32_t kFrameBits = 0x40044;  // WS_THICKFRAME with the low bits &H40 and &H4
    if (version == IM_VERSION::QQ2009) {
        if (compatibility) return 0x96CC0000;
        return (s | kWsChild) & ~(kWsPopup | kWsCaption | kFrameBits);
    }
    if (compatibility) return (s | kWsChild) & ~(kWsMinimizeBox | kWsMaximizeBox);
    return (s | kWsChild) & ~(kWsPopup | kWsMinimizeBox | kWsMaximizeBox | kWsCaption | kFrameBits);
}

std::wstring TabTitle(std::wstring_view caption, bool cut, int maxLength) {
    if (!cut || maxLength < 0 || caption.size() <= static_cast<size_t>(maxLength)) return std::wstring(caption);
    return std::wstring(caption.substr(0, static_cast<size_t>(maxLength)));
}

Point PopOutPosition(Point before, int width, int height, int screenWidth, int screenHeight) noexcept {
    Point p = before;
    if (p.x < 50) p.x = screenWidth / 2 - width / 2;
    if (p.y < 50) p.y = screenHeight / 2 - height / 2;
    return p;
}

}  // namespace parlix

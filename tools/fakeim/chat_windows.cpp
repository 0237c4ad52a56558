// Layouts follow the searches the capture engine makes in each family: classes, order among
// siblings, visibility and empty titles matter; sizes only make a screenshot readable.
#include "tools/fakeim/chat_windows.h"

#include "tools/fakeim/class_names.h"
#include "tools/fakeim/environment.h"
#include "tools/fakeim/history.h"
#include "tools/fakeim/input_box.h"
#include "tools/fakeim/protocol.h"
#include "tools/fakeim/sim_window.h"
#include "tools/fakeim/window_factory.h"

#include <richedit.h>

namespace fakeim {

namespace {

constexpr wchar_t kGreeting[] = L"小明 10:00:00\r\n你好！在吗？\r\n";
constexpr wchar_t kSendCaption[] = L"发送(&S)";
constexpr wchar_t kFetionTipTitle[] = L"contact_tip_widget";
constexpr UINT kFetionTitleDelayMs = 30;

constexpr DWORD kPanel = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kRichEdit = WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kFramedWindow = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The style of QQ 2009 chat windows (with WS_VISIBLE: the group pattern 0x960F0000).
constexpr DWORD kTxChatStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_THICKFRAME |
                               WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kTxChatExStyle = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr int kTxHeader = 28; // the painted title strip of a frameless window

HWND HistoryBox(const Environment& env, HWND parent, const std::wstring& className, Box box) {
    return CreateChild(env, parent, className, kGreeting, kRichEdit, box, WS_EX_CLIENTEDGE);
}

HWND InputBox(const Environment& env, HWND parent, const std::wstring& className, Box box) {
    HWND input = CreateChild(env, parent, className, L"", kRichEdit, box, WS_EX_CLIENTEDGE);
    AcceptPictures(input);
    return input;
}

// "#32770" family. Kinds with an inner dialog put every control into it.
HWND BuildDialogFamily(Environment& env, ChatKind kind, const std::wstring& title,
                       const OpenOptions& options) {
    HWND top = CreateTopWindow(env, kDialogClass, title, kFramedWindow, 0, options);
    if (!top) return nullptr;
    const Box c = ClientBox(top);
    HWND p = top;
    if (kind != ChatKind::Qq2008)
        p = CreateChild(env, top, kDialogClass, L"", kPanel | DS_CONTROL, c, WS_EX_CONTROLPARENT);
    const int lower = c.h - 132; // top of the area under the history box
    const Box history{8, 8, c.w - 16, lower - 16};
    const Box line{8, lower, c.w - 16, 22};
    const Box input{8, lower + 28, c.w - 16, c.h - lower - 72};
    const Box send{c.w - 88, c.h - 34, 80, 26};

    HWND box = nullptr;
    switch (kind) {
    case ChatKind::Dialog:
        box = HistoryBox(env, p, L"RichEdit20A", {8, 8, c.w - 16, c.h - 16});
        break;
    case ChatKind::Qq2008Beta1: {
        CreateChild(env, p, L"RICHEDIT", L"", WS_VISIBLE, line, WS_EX_CLIENTEDGE);
        box = HistoryBox(env, p, L"RichEdit20A", history);
        CreateChild(env, p, L"Button", kSendCaption, WS_VISIBLE | BS_PUSHBUTTON, send, 0, IDOK);
        CreateChild(env, p, kAfxPanelClass, L"", 0, {8, lower + 28, 40, 20}); // hidden first panel
        HWND panel = CreateChild(env, p, kAfxPanelClass, L"", kPanel, input);
        InputBox(env, panel, L"RichEdit20A", {0, 0, input.w, input.h});
        break;
    }
    case ChatKind::Tm2005: {
        CreateChild(env, p, L"RICHEDIT", L"", WS_VISIBLE, line, WS_EX_CLIENTEDGE);
        box = HistoryBox(env, p, L"RichEdit20A", history);
        CreateChild(env, p, L"Button", kSendCaption, WS_VISIBLE | BS_PUSHBUTTON, send, 0, IDOK);
        HWND panel = CreateChild(env, p, kAfxPanelClass, L"", kPanel, input);
        InputBox(env, panel, L"RICHEDIT", {0, 0, input.w, input.h});
        break;
    }
    case ChatKind::Tm2007:
        InputBox(env, p, L"RICHEDIT", {8, lower, c.w - 16, c.h - lower - 8});
        box = HistoryBox(env, p, L"RichEdit20A", history);
        break;
    case ChatKind::Qq2008: {
        box = HistoryBox(env, p, L"RichEdit20A", history);
        CreateChild(env, p, kAfxPanelClass, L"", kPanel, {8, lower, c.w / 2 - 12, 22});
        CreateChild(env, p, kAfxPanelClass, L"", kPanel, {c.w / 2, lower, c.w / 2 - 8, 22});
        HWND panel = CreateChild(env, p, kAfxPanelClass, L"", kPanel, input);
        InputBox(env, panel, L"RichEdit20A", {0, 0, input.w, input.h});
        break;
    }
    default:
        break;
    }
    SimWindow::From(top)->SetHistoryBox(box);
    return top;
}

bool AttachRecord(HWND top) {
    return SimWindow::From(top)->SetHistoryRecord(MemoryHistory::Create(kGreeting));
}

// "TXGuiFoundation": frameless windows painting their own title strip.
HWND BuildTxGui(Environment& env, ChatKind kind, const std::wstring& title, const OpenOptions& options) {
    const bool chat = kind != ChatKind::TxPanel;
    const DWORD style =
        chat ? kTxChatStyle
             : WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    HWND top =
        CreateTopWindow(env, kTxGuiClass, title, style, chat ? kTxChatExStyle : WS_EX_TOOLWINDOW, options);
    if (!top) return nullptr;
    const Box c = ClientBox(top);
    const Box input{8, c.h - 88, c.w - 16, 80};
    if (kind == ChatKind::Qq2009) {
        const Box view{0, kTxHeader, c.w, c.h - kTxHeader - 96};
        HWND frame = CreateChild(env, top, L"Static", L"", WS_VISIBLE, view);
        CreateChild(env, frame, kFlashClass, L"", kPanel, {0, 0, view.w, view.h});
    }
    if (kind == ChatKind::TxPanel) {
        // A "Static" child without the Flash child inside it.
        CreateChild(env, top, L"Static", L"我的好友", WS_VISIBLE,
                    {8, kTxHeader, c.w - 16, c.h - kTxHeader - 8});
        return top;
    }
    HWND in = InputBox(env, top, L"RichEdit20W", input);
    ::SetPropW(top, kInputProp, in);
    return AttachRecord(top) ? top : (::DestroyWindow(top), nullptr);
}

// WinForms windows: every panel untitled, the title set after creation.
HWND BuildFetion(Environment& env, ChatKind kind, const std::wstring& title, OpenOptions options) {
    const std::wstring& sfx = env.fetionSuffix;
    const std::wstring w = std::wstring(kFetionWindowPrefix) + sfx;
    const std::wstring e = std::wstring(kFetionRichEditPrefix) + sfx;
    if (!options.lateMs) options.lateMs = kFetionTitleDelayMs;
    HWND top = CreateTopWindow(env, w, kind == ChatKind::FetionTip ? kFetionTipTitle : title, kFramedWindow,
                               0, options, kind == ChatKind::FetionTip ? 260 : kChatWidth,
                               kind == ChatKind::FetionTip ? 200 : kChatHeight);
    if (!top) return nullptr;
    Box c = ClientBox(top);
    const bool side = options.group || kind == ChatKind::FetionButton;
    if (side) c.w -= 120; // room for the group list or the button beside the panels
    HWND p1 = CreateChild(env, top, w, L"", kPanel, c);
    HWND p2 = CreateChild(env, p1, w, L"", kPanel, c);
    HWND p3 = CreateChild(env, p2, w, L"", kPanel, c);
    const Box upper{0, 0, c.w, c.h - 100};
    const Box lower{0, c.h - 100, c.w, 100};
    const Box inner{6, 6, upper.w - 12, upper.h - 12};
    const Box innerLow{6, 6, lower.w - 12, lower.h - 12};
    HWND history = nullptr;
    if (kind == ChatKind::FetionDeep) {
        HWND q1 = CreateChild(env, p3, w, L"", kPanel, c);
        HWND q1a = CreateChild(env, q1, w, L"", kPanel, upper);
        HWND q1b = CreateChild(env, q1a, w, L"", kPanel, {0, 0, upper.w, upper.h});
        history = HistoryBox(env, q1b, e, inner);
        HWND q1c = CreateChild(env, q1, w, L"", kPanel, lower);
        HWND q1d = CreateChild(env, q1c, w, L"", kPanel, {0, 0, lower.w, lower.h});
        InputBox(env, q1d, e, innerLow);
    } else {
        HWND q1 = CreateChild(env, p3, w, L"", kPanel, upper);
        HWND q1a = CreateChild(env, q1, w, L"", kPanel, {0, 0, upper.w, upper.h});
        history = HistoryBox(env, q1a, e, inner);
        HWND s = CreateChild(env, p3, w, L"", kPanel, lower);
        HWND sa = CreateChild(env, s, w, L"", kPanel, {0, 0, lower.w, lower.h});
        InputBox(env, sa, e, innerLow);
    }
    if (options.group)
        CreateChild(env, top, std::wstring(kFetionStaticPrefix) + sfx, L"群成员", WS_VISIBLE,
                    {c.w + 8, 8, 104, 22});
    if (kind == ChatKind::FetionButton)
        CreateChild(env, top, std::wstring(kFetionButtonPrefix) + sfx, L"发送", WS_VISIBLE | BS_PUSHBUTTON,
                    {c.w + 8, c.h - 34, 104, 26});
    SimWindow::From(top)->SetHistoryBox(history);
    return top;
}

// "BaseGui": the chat draws everything itself and has no child window.
HWND BuildBaidu(Environment& env, ChatKind kind, const std::wstring& title, const OpenOptions& options) {
    HWND top = CreateTopWindow(env, kBaseGuiClass, title, kFramedWindow, 0, options);
    if (!top) return nullptr;
    if (kind == ChatKind::BaiduChild) {
        const Box c = ClientBox(top);
        HWND box = HistoryBox(env, top, L"RichEdit20W", {8, 8, c.w - 16, c.h - 16});
        SimWindow::From(top)->SetHistoryBox(box);
        return top;
    }
    return AttachRecord(top) ? top : (::DestroyWindow(top), nullptr);
}

} // namespace

HWND OpenChatWindow(Environment& env, ChatKind kind, const std::wstring& title, const OpenOptions& options) {
    HWND top = nullptr;
    switch (kind) {
    case ChatKind::Dialog:
    case ChatKind::Qq2008Beta1:
    case ChatKind::Tm2005:
    case ChatKind::Tm2007:
    case ChatKind::Qq2008:
        top = BuildDialogFamily(env, kind, title, options);
        break;
    case ChatKind::Qq2009:
    case ChatKind::Qq2009Group:
    case ChatKind::TxPanel:
        top = BuildTxGui(env, kind, title, options);
        break;
    case ChatKind::Fetion:
    case ChatKind::FetionDeep:
    case ChatKind::FetionTip:
    case ChatKind::FetionButton:
        top = BuildFetion(env, kind, title, options);
        break;
    case ChatKind::Baidu:
    case ChatKind::BaiduChild:
        top = BuildBaidu(env, kind, title, options);
        break;
    }
    if (top) ShowAsAsked(top, options);
    return top;
}

} // namespace fakeim

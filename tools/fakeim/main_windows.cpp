// Every main window's first child is untitled (discovery requires it) except the decoy's.
// None of them looks like a chat to recognition: the TXGuiFoundation ones lack the chat style,
// the Fetion ones have a button beside their panel, the others have titles no rule accepts.
#include "tools/fakeim/main_windows.h"

#include "tools/fakeim/class_names.h"
#include "tools/fakeim/environment.h"
#include "tools/fakeim/window_factory.h"

#include <commctrl.h>

#include <array>
#include <string>

namespace fakeim {

namespace {

constexpr int kMainWidth = 260;
constexpr int kMainHeight = 480;
constexpr DWORD kPanel = WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kFramed = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kTxPanel =
    WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;

enum class Layout {
    QqBar,   // "#32770" → "Tencent_QQBar"
    TmBar,   // "#32770" → "Tencent_BarMgr_Class_Ver1.0"
    Toolbar, // "#32770" → "ToolbarWindow32", "AfxWnd42"
    TxGui,   // "TXGuiFoundation" → a panel
    Fetion,  // WinForms window → a panel, a button
    BaseGui, // "BaseGui" → a panel
};

struct MainWindow {
    Layout layout;
    const wchar_t* title;
};

// Index = search number − 1.
constexpr std::array<MainWindow, kMainSearches> kMainWindows{{
    {Layout::QqBar, L"QQ2008"},
    {Layout::TxGui, L"QQ2009 Preview"},
    {Layout::TxGui, L"QQ2009 Beta"},
    {Layout::TxGui, L"QQ2009 Beta2"},
    {Layout::TxGui, L"QQ2009"},
    {Layout::TxGui, L"QQ2009 正式版"},
    {Layout::TxGui, L"QQ2009 正式版 SP1"},
    {Layout::TxGui, L"QQ2009 正式版 SP3"},
    {Layout::TxGui, L"QQ2009 SP3"},
    {Layout::Fetion, L"Fetion 2008"},
    {Layout::Fetion, L"Fetion 2008 奥运版"},
    {Layout::TmBar, L"TM2008"},
    {Layout::TxGui, L"TM2008 Beta1"},
    {Layout::TxGui, L"TM2009 Beta"},
    {Layout::TxGui, L"TM2009 Beta2"},
    {Layout::TxGui, L"TM2009"},
    {Layout::BaseGui, L"百度Hi"},
    {Layout::Toolbar, L"QQ"},
}};

HWND Top(Environment& env, const std::wstring& className, const wchar_t* title, DWORD style = kFramed) {
    return CreateTopWindow(env, className, title, style, 0, OpenOptions{}, kMainWidth, kMainHeight);
}

HWND Build(Environment& env, Layout layout, const wchar_t* title) {
    const std::wstring fetionWindow = std::wstring(kFetionWindowPrefix) + env.fetionSuffix;
    HWND top = nullptr;
    switch (layout) {
    case Layout::QqBar:
    case Layout::TmBar:
    case Layout::Toolbar:
        top = Top(env, kDialogClass, title);
        break;
    case Layout::TxGui:
        top = Top(env, kTxGuiClass, title, kTxPanel);
        break;
    case Layout::Fetion:
        top = Top(env, fetionWindow, title);
        break;
    case Layout::BaseGui:
        top = Top(env, kBaseGuiClass, title);
        break;
    }
    if (!top) return nullptr;
    const Box c = ClientBox(top);
    const Box bar{0, 0, c.w, 32};
    const Box body{0, 36, c.w, c.h - 36};
    switch (layout) {
    case Layout::QqBar:
        CreateChild(env, top, kQqBarClass, L"", kPanel, bar);
        break;
    case Layout::TmBar:
        CreateChild(env, top, kTmBarClass, L"", kPanel, bar);
        break;
    case Layout::Toolbar:
        CreateChild(env, top, TOOLBARCLASSNAMEW, L"", kPanel | CCS_NORESIZE | CCS_NODIVIDER, bar);
        CreateChild(env, top, kAfxPanelClass, L"", kPanel, body);
        break;
    case Layout::TxGui:
        CreateChild(env, top, kAfxPanelClass, L"", kPanel, {0, 28, c.w, c.h - 28});
        break;
    case Layout::Fetion:
        CreateChild(env, top, fetionWindow, L"", kPanel, {0, 0, c.w, c.h - 40});
        CreateChild(env, top, std::wstring(kFetionButtonPrefix) + env.fetionSuffix, L"添加好友",
                    WS_VISIBLE | BS_PUSHBUTTON, {8, c.h - 34, 100, 26});
        break;
    case Layout::BaseGui:
        CreateChild(env, top, kAfxPanelClass, L"", kPanel, body);
        break;
    }
    return top;
}

HWND BuildDecoy(Environment& env, Decoy decoy) {
    if (decoy == Decoy::TitledChild) {
        HWND top = Top(env, kDialogClass, L"QQ2008");
        if (top) CreateChild(env, top, kQqBarClass, L"QQBar", kPanel, {0, 0, kMainWidth, 32});
        return top;
    }
    HWND top = Top(env, std::wstring(kOtherWinFormsPrefix) + env.fetionSuffix, L"Fetion 2008");
    if (top)
        CreateChild(env, top, std::wstring(kOtherWinFormsPrefix) + env.fetionSuffix, L"", kPanel,
                    {0, 0, kMainWidth, 32});
    return top;
}

} // namespace

HWND OpenMainWindow(Environment& env, const MainRequest& request) {
    HWND top = request.decoy == Decoy::None
                   ? Build(env, kMainWindows[static_cast<size_t>(request.search - 1)].layout,
                           kMainWindows[static_cast<size_t>(request.search - 1)].title)
                   : BuildDecoy(env, request.decoy);
    if (top) ShowAsAsked(top, OpenOptions{});
    return top;
}

} // namespace fakeim

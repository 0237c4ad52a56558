// demo_driver: acts on a running Parlix and simulated clients for the demo's screenshots.
//   demo_driver wait-tabs <n>            until Parlix has at least n tabs (20 s at most)
//   demo_driver message <caption> <text> the client of the tab with that caption receives text
//   demo_driver select <index>           a left click on that tab
//   demo_driver menu <index>             a right click on that tab (its menu opens)
//   demo_driver away                     another window becomes the active one
//   demo_driver doodle                   the doodle board opened with its button, a drawing on it
//   demo_driver notice <pos> <dir> <png> a notice of the notification plugin at that screen position
//                                        and slide direction, photographed once it has slid in
//   demo_driver notice-settings <png>    the notification plugin's settings page, photographed
//   demo_driver settings <page>          the settings dialog opened from the menu, page 0 to 4 shown
//   demo_driver about                    the about box opened from the menu
//   demo_driver close-dialogs            the settings dialog cancelled, the about box closed
//   demo_driver rect                     prints Parlix's main window rectangle: left top width height
//   demo_driver pop <caption> <x> <y>    that tab popped out with its menu command, then the chat
//                                        moved to (x, y) as a user would drag it
//   demo_driver command <index> <id>     a command of that tab's menu (ui/menu_ids.h)
//   demo_driver hover <index>            the mouse rests on that tab (its hot look)
//   demo_driver ctrl <down|up>           the hook library's notice of Ctrl held or released in a chat
// Exit code 0 when the action was done.
#include "tests/support/fakeim_client.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"
#include "tools/demo_driver/dialogs.h"
#include "tools/demo_driver/doodle.h"
#include "tools/demo_driver/notice.h"

#include <cstdio>
#include <string>

using namespace parlix::test;

namespace {

std::unique_ptr<ParlixApp> FindParlix() {
    return WaitFor(
        [] {
            const HWND main = WaitForWindow({.className = L"Parlix.frmMain"}, 100ms);
            return main ? ParlixApp::Attach(main) : nullptr;
        },
        20s, 100ms);
}

int Message(const ParlixApp& app, const std::wstring& caption, const std::wstring& text) {
    for (const TabFacts& tab : app.Tabs()) {
        if (tab.caption != caption) continue;
        DWORD pid = 0;
        ::GetWindowThreadProcessId(tab.window, &pid);
        const HWND control = FindFakeImControl(pid);
        if (!control) return 1;
        // "\n" in the argument is a line break, as in the simulator's own scripts.
        std::wstring body = text;
        for (size_t at = 0; (at = body.find(L"\\n", at)) != std::wstring::npos;) body.replace(at, 2, L"\r\n");
        return SendFakeImCommand(control, L"append|" + HwndArg(tab.window) + L"|" + EscapeField(body)) ? 0 : 1;
    }
    return 1;
}

// A command of the tab menu for tab index: the tab's menu is opened and closed (so the
// command acts on that tab, as when chosen there), then the command is given.
int TabCommand(const ParlixApp& app, int index, unsigned id) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(app.MainWindow(), &pid);
    if (!app.RightClickTab(index)) return 1;
    const HWND menu = WaitForWindow({.className = L"#32768", .pid = pid, .visibleOnly = true}, 5s);
    if (!menu) return 1;
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!WaitFor([&] { return !::IsWindowVisible(menu); }, 5s)) return 1;
    return app.Command(id) ? 0 : 1;
}

// Pops the tab out with the tab menu, then places the given-back chat where the user wants it.
int PopOut(const ParlixApp& app, const std::wstring& caption, int x, int y) {
    const auto tabs = app.Tabs();
    for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
        // A tab with unread messages shows their count after the name.
        if (tabs[i].caption != caption && !tabs[i].caption.starts_with(caption + L"(")) continue;
        const HWND chat = tabs[i].window;
        if (TabCommand(app, i, parlix::mnuPop) != 0) return 1;
        if (!WaitFor([&] { return ::GetAncestor(chat, GA_ROOT) == chat && ::IsWindowVisible(chat); }, 10s)) return 1;
        return ::SetWindowPos(chat, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE) ? 0 : 1;
    }
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring action = argv[1];
    auto app = FindParlix();
    if (!app) return 1;
    if (action == L"wait-tabs" && argc == 3) {
        const int n = _wtoi(argv[2]);
        return WaitFor([&] { return app->TabCount() >= n; }, 20s) ? 0 : 1;
    }
    if (action == L"message" && argc == 4) return Message(*app, argv[2], argv[3]);
    if (action == L"select" && argc == 3) return app->ClickTab(_wtoi(argv[2])) ? 0 : 1;
    if (action == L"menu" && argc == 3) return app->RightClickTab(_wtoi(argv[2])) ? 0 : 1;
    if (action == L"command" && argc == 4) return TabCommand(*app, _wtoi(argv[2]), static_cast<unsigned>(_wtoi(argv[3])));
    if (action == L"hover" && argc == 3) {
        const RECT r = app->ItemRect(_wtoi(argv[2]));
        if (r.right <= r.left) return 1;
        return app->MouseOnStrip(WM_MOUSEMOVE, 0, (r.left + r.right) / 2, (r.top + r.bottom) / 2) ? 0 : 1;
    }
    if (action == L"ctrl" && argc == 3) {
        // As the hook library reports it (hook/hook_protocol.h); Parlix must be the active window.
        constexpr UINT kHookNotify = 0x85C;
        const LPARAM state = std::wstring(argv[2]) == L"down" ? 0 : 1;
        ::SetForegroundWindow(app->MainWindow());
        return ::PostMessageW(app->MainWindow(), kHookNotify, 0, state) ? 0 : 1;
    }
    if (action == L"doodle") return demo::DrawOnDoodleBoard(*app);
    if (action == L"notice-settings" && argc == 3) return demo::ShowNoticeSettings(argv[2]);
    if (action == L"notice" && argc == 5) return demo::ShowNoticeAt(_wtoi(argv[2]), _wtoi(argv[3]), argv[4]);
    if (action == L"settings" && argc == 3) return demo::ShowSettingsPage(*app, _wtoi(argv[2]));
    if (action == L"about") return demo::ShowAbout(*app);
    if (action == L"close-dialogs") return demo::CloseDialogs();
    if (action == L"rect") {
        RECT r{};
        if (!::GetWindowRect(app->MainWindow(), &r)) return 1;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (action == L"pop" && argc == 5) return PopOut(*app, argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    if (action == L"away") {
        const HWND other = WaitForWindow({.className = L"#32770", .visibleOnly = true}, 2s);
        return other && ::SetForegroundWindow(other) ? 0 : 1;
    }
    return 2;
}

// The doodle-board plugin Skribel.dll as the host uses it: created by its ProgID after regsvr32,
// its texts, the toggle button it puts into the main window, the board it shows docked under the
// main window, its settings page, and what disconnection leaves behind.
#include "base/com_win.h"
#include "contract/automation_object.h"
#include "contract/com_server.h"
#include "contract/nexcor.h"
#include "tests/support/plugin_files.h"
#include "tests/support/process.h"
#include "tests/support/windows.h"

#include <gtest/gtest.h>

// This program serves no classes of its own.
const parlix::com::ServerInfo& parlix::com::ThisServer() {
    static const ServerInfo none{};
    return none;
}

namespace parlix::test {
namespace {

constexpr wchar_t kProgId[] = L"SkribelProject.Skribel";

std::filesystem::path Skribel() { return BinDir() / L"Plugins" / L"Skribel.dll"; }

ComPtr<_Parlix_Plugin> CreatePlugin() {
    CLSID clsid;
    ComPtr<_Parlix_Plugin> plugin;
    if (SUCCEEDED(::CLSIDFromProgID(kProgId, &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Plugin, plugin.put_void());
    return plugin;
}

std::wstring Text(HRESULT (STDMETHODCALLTYPE _Parlix_Plugin::*get)(BSTR*), _Parlix_Plugin* plugin) {
    ScopedBstr text;
    if (FAILED((plugin->*get)(text.put()))) return L"<failed>";
    return text.str();
}

// A main window as the host offers it: MainForm's members read from a real window.
ComPtr<IDispatch> MainFormOf(HWND main) {
    using com::SetLong;
    const auto rect = [main] {
        RECT r{};
        ::GetWindowRect(main, &r);
        return r;
    };
    const auto header = [](VARIANT& v) { return SetLong(v, 24); };
    ComPtr<IDispatch> tabs = com::AutomationObject::Create({
        {L"Bottom", [](VARIANT& v) { return com::SetBool(v, false); }, {}, {}},
        {L"GetHeaderHeight", header, {}, [header](std::span<const VARIANT>, VARIANT& v) { return header(v); }},
    });
    return com::AutomationObject::Create({
        {L"hwnd", [main](VARIANT& v) { return SetLong(v, static_cast<long>(reinterpret_cast<std::intptr_t>(main))); },
         {}, {}},
        {L"ScaleWidth",
         [main](VARIANT& v) {
             RECT c{};
             ::GetClientRect(main, &c);
             return SetLong(v, c.right);
         },
         {}, {}},
        {L"WindowState", [main](VARIANT& v) { return SetLong(v, ::IsIconic(main) ? 1 : 0); }, {}, {}},
        {L"Left", [rect](VARIANT& v) { return SetLong(v, rect().left * 15); }, {}, {}},
        {L"Top", [rect](VARIANT& v) { return SetLong(v, rect().top * 15); }, {}, {}},
        {L"Height", [rect](VARIANT& v) { return SetLong(v, (rect().bottom - rect().top) * 15); }, {}, {}},
        {L"btnTab", [tabs](VARIANT& v) { return com::SetObject(v, tabs); }, {}, {}},
    });
}

HWND Board() { return ::FindWindowW(L"Skribel.frmPaint", nullptr); }

class SkribelPlugin : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(Regsvr32(BinDir() / L"Nexcor.dll"), 0);
    }
    void SetUp() override {
        ASSERT_EQ(Regsvr32(Skribel()), 0);
        main_ = ::CreateWindowExW(0, L"Static", L"Parlix", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_Parlix_Core, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Core,
                                                 core_.put_void())));
        core_->putref_MainForm(MainFormOf(main_).get());
    }
    void TearDown() override {
        if (core_) core_->putref_MainForm(nullptr);
        ::DestroyWindow(main_);
    }
    HWND Button() const {
        const auto buttons = Children(main_, L"Button");
        return buttons.empty() ? nullptr : buttons.front();
    }

    ComApartment apartment_;
    HWND main_ = nullptr;
    ComPtr<_Parlix_Core> core_;
};

TEST_F(SkribelPlugin, TellsItsVersionAndPurposeAndIgnoresNoticesWithoutBeingConnected) {
    ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(Text(&_Parlix_Plugin::get_Version, plugin.get()), L"1.0.3");
    EXPECT_EQ(Text(&_Parlix_Plugin::get_Describe, plugin.get()), L"涂鸦板工具。");
    EXPECT_FALSE(Text(&_Parlix_Plugin::get_Author, plugin.get()).empty());
    VARIANT_BOOL has = VARIANT_TRUE;
    EXPECT_EQ(plugin->get_HasProperty(&has), S_OK);
    EXPECT_EQ(has, VARIANT_FALSE);
    ScopedBstr title(L"张三的新消息:"), text(L"你好");
    EXPECT_EQ(plugin->ShowMessage(5000, title.get(), text.get()), S_OK);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_EQ(Board(), nullptr);
}

TEST_F(SkribelPlugin, TheButtonInTheMainWindowShowsTheBoardDockedUnderItAndHidesItAgain) {
    ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
    _Parlix_Core* core = core_.get();
    ASSERT_EQ(plugin->OnConnection(&core), S_OK);

    const HWND button = Button();
    ASSERT_NE(button, nullptr);
    const WindowFacts b = ReadFacts(button);
    EXPECT_EQ(b.title, L"涂鸦板");
    EXPECT_EQ(b.style & (BS_PUSHLIKE | WS_CHILD), BS_PUSHLIKE | WS_CHILD);
    RECT client{}, at = b.rect;
    ::GetClientRect(main_, &client);
    ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.left, client.right - 55);
    EXPECT_EQ(at.right - at.left, 55);
    EXPECT_EQ(at.bottom - at.top, 19);
    // The docking timer lowers it below the tab header.
    EXPECT_TRUE(WaitFor([&] { return ReadFacts(button).rect.top - ReadFacts(main_).rect.top > 24; }, 5s));

    const HWND board = Board();
    ASSERT_NE(board, nullptr);
    EXPECT_FALSE(::IsWindowVisible(board));
    EXPECT_EQ(ReadFacts(board).exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(ReadFacts(board).style & WS_SYSMENU, 0);

    ::SendMessageW(button, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(board));
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_CHECKED);
    const auto docked = [&] {
        const RECT m = ReadFacts(main_).rect, d = ReadFacts(board).rect;
        return d.left == m.left && d.top == m.bottom;
    };
    EXPECT_TRUE(WaitFor(docked, 5s));
    // The board follows the main window.
    ::SetWindowPos(main_, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(WaitFor(docked, 5s));

    ::SendMessageW(button, WM_RBUTTONUP, 0, 0);  // any button
    EXPECT_FALSE(::IsWindowVisible(board));
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Disconnected, nothing of the plugin is left in the host's windows.
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_EQ(Button(), nullptr);
    EXPECT_EQ(Board(), nullptr);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
}

TEST_F(SkribelPlugin, TheSettingsPageIsAFormWithOneButtonThatTheHostCanEmbed) {
    ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
    ComPtr<IDispatch> page;
    ASSERT_EQ(plugin->GetProperty(page.put()), S_OK);
    ASSERT_TRUE(page);
    ComPtr<IDispatch> again;
    plugin->GetProperty(again.put());
    EXPECT_EQ(again, page);

    DISPID id = 0;
    auto* name = const_cast<LPOLESTR>(L"hWnd");
    ASSERT_EQ(page->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ScopedVariant hwnd;
    ASSERT_EQ(page->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, hwnd.get(), nullptr, nullptr),
              S_OK);
    const HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(hwnd->lVal));
    EXPECT_NE(ReadFacts(window).style & WS_CHILD, 0);
    const auto buttons = Children(window, L"Button");
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(ReadFacts(buttons[0]).title, L"保存设置");

    // Embedded as the settings dialog does it.
    ::SetParent(window, main_);
    name = const_cast<LPOLESTR>(L"Move");
    ASSERT_EQ(page->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    VARIANT args[2];
    args[1].vt = args[0].vt = VT_I4;
    args[1].lVal = 150;  // left, twips
    args[0].lVal = 300;  // top
    DISPPARAMS move{args, nullptr, 2, 0};
    EXPECT_EQ(page->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &move, nullptr, nullptr, nullptr), S_OK);
    RECT r = ReadFacts(window).rect;
    ::MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);

    // Once the plugin lets the page go, the form answers no more.
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_FALSE(::IsWindow(window));
    ScopedVariant gone;
    EXPECT_NE(page->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &move, gone.get(), nullptr, nullptr), S_OK);
}

TEST_F(SkribelPlugin, OutsideAPluginsFolderTheConnectionFailsWithAReason) {
    TempDir dir(L"parlix-skribel");
    ASSERT_TRUE(std::filesystem::copy_file(Skribel(), dir.Path() / L"Skribel.dll"));
    ASSERT_EQ(Regsvr32(dir.Path() / L"Skribel.dll"), 0);
    {
        ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
        ASSERT_TRUE(plugin);
        _Parlix_Core* core = core_.get();
        EXPECT_EQ(plugin->OnConnection(&core), E_FAIL);
        ComPtr<IErrorInfo> info;
        ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
        ScopedBstr text;
        info->GetDescription(text.put());
        EXPECT_NE(text.str().find(L"Plugins"), std::wstring::npos);
        EXPECT_EQ(Button(), nullptr);
        EXPECT_EQ(Board(), nullptr);
    }
    ::CoFreeUnusedLibraries();
    Regsvr32(dir.Path() / L"Skribel.dll", true);
}

}  // namespace
}  // namespace parlix::test

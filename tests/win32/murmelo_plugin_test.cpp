// The notification plugin Murmelo.dll as the host uses it: created by its ProgID after regsvr32,
// its texts; a notice slides into its corner as a layered window of the skin's size and a click
// on it reaches the main window as a balloon click; a missing skin shows nothing; the settings
// page shows, repairs and saves [Murmelo].
#include "base/com_win.h"
#include "contract/automation_object.h"
#include "contract/com_server.h"
#include "contract/nexcor.h"
#include "plugins/notice/property_page_win.h"
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

using Page = notice::PropertyPage;

std::filesystem::path Murmelo() { return BinDir() / L"Plugins" / L"Murmelo.dll"; }
std::wstring Ini() { return (BinDir() / L"set.ini").wstring(); }

ComPtr<_Parlix_Plugin> CreatePlugin() {
    CLSID clsid;
    ComPtr<_Parlix_Plugin> plugin;
    if (SUCCEEDED(::CLSIDFromProgID(L"MurmeloProject.Murmelo", &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Plugin, plugin.put_void());
    return plugin;
}

std::wstring Text(HRESULT (STDMETHODCALLTYPE _Parlix_Plugin::*get)(BSTR*), _Parlix_Plugin* plugin) {
    ScopedBstr text;
    if (FAILED((plugin->*get)(text.put()))) return L"<failed>";
    return text.str();
}

std::wstring Stored(const wchar_t* key) {
    wchar_t text[256] = {};
    ::GetPrivateProfileStringW(L"Murmelo", key, L"<none>", text, 256, Ini().c_str());
    return text;
}

// The main window: records the tray callbacks it gets.
std::vector<std::pair<WPARAM, LPARAM>> g_trayCalls;
LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == 2025) g_trayCalls.emplace_back(wParam, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND Notice() { return ::FindWindowW(L"Murmelo.frmMain", nullptr); }

class MurmeloPlugin : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(Regsvr32(BinDir() / L"Nexcor.dll"), 0); }
    void SetUp() override {
        ASSERT_EQ(Regsvr32(Murmelo()), 0);
        ::WritePrivateProfileStringW(L"Murmelo", nullptr, nullptr, Ini().c_str());
        WNDCLASSW wc{};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MurmeloTest.Main";
        ::RegisterClassW(&wc);
        main_ = ::CreateWindowExW(0, wc.lpszClassName, L"Parlix", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        g_trayCalls.clear();
        ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_Parlix_Core, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Core,
                                                 core_.put_void())));
        const HWND main = main_;
        core_->putref_MainForm(com::AutomationObject::Create({
            {L"hwnd",
             [main](VARIANT& v) { return com::SetLong(v, static_cast<long>(reinterpret_cast<std::intptr_t>(main))); },
             {}, {}},
        }).get());
    }
    void TearDown() override {
        if (core_) core_->putref_MainForm(nullptr);
        ::DestroyWindow(main_);
        ::WritePrivateProfileStringW(L"Murmelo", nullptr, nullptr, Ini().c_str());
    }
    ComPtr<_Parlix_Plugin> Connected() {
        ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
        _Parlix_Core* core = core_.get();
        if (!plugin || FAILED(plugin->OnConnection(&core))) return nullptr;
        return plugin;
    }

    ComApartment apartment_;
    HWND main_ = nullptr;
    ComPtr<_Parlix_Core> core_;
};

TEST_F(MurmeloPlugin, TellsItsVersionAndPurposeAndOffersASettingsPage) {
    ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(Text(&_Parlix_Plugin::get_Version, plugin.get()), L"1.0.2");
    EXPECT_EQ(Text(&_Parlix_Plugin::get_Describe, plugin.get()), L"使用自定义窗口替代系统托盘气泡提示。");
    EXPECT_FALSE(Text(&_Parlix_Plugin::get_Author, plugin.get()).empty());
    VARIANT_BOOL has = VARIANT_FALSE;
    EXPECT_EQ(plugin->get_HasProperty(&has), S_OK);
    EXPECT_EQ(has, VARIANT_TRUE);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
}

TEST_F(MurmeloPlugin, ANoticeRisesIntoTheBottomRightCornerAtSkinSizeAndAClickIsABalloonClick) {
    ComPtr<_Parlix_Plugin> plugin = Connected();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(Notice(), nullptr) << "connecting makes no window";
    ScopedBstr title(L"张三的新消息:"), text(L"晚上一起吃饭吗？");
    ASSERT_EQ(plugin->ShowMessage(3000, title.get(), text.get()), S_OK);
    const HWND notice = Notice();
    ASSERT_NE(notice, nullptr);
    const WindowFacts f = ReadFacts(notice);
    EXPECT_EQ(f.exStyle & (WS_EX_LAYERED | WS_EX_TOPMOST), WS_EX_LAYERED | WS_EX_TOPMOST);
    EXPECT_EQ(f.exStyle & WS_EX_TRANSPARENT, 0);
    EXPECT_TRUE(::IsWindowVisible(notice));
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    const RECT home{sw - 300, sh - 120, sw, sh};
    const auto at = [&](const RECT& r) {
        const RECT now = ReadFacts(notice).rect;
        return ::EqualRect(&now, &r) != FALSE;
    };
    EXPECT_TRUE(WaitFor([&] { return at(home); })) << ReadFacts(notice).rect.left << "," << ReadFacts(notice).rect.top;

    // Painted with the skin: the pale header, fully faded in.
    const auto header = [&] {
        const HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, sw - 20, sh - 110);
        ::ReleaseDC(nullptr, screen);
        return c == RGB(0xEE, 0xF3, 0xFB);
    };
    EXPECT_TRUE(WaitFor(header));

    ::SendMessageW(notice, WM_LBUTTONUP, 0, MAKELPARAM(150, 60));
    ASSERT_EQ(g_trayCalls.size(), 1u);
    EXPECT_EQ(g_trayCalls[0], (std::pair<WPARAM, LPARAM>{0, 1029}));

    // A second notice while the first is held keeps the one window in place.
    ASSERT_EQ(plugin->ShowMessage(3000, title.get(), text.get()), S_OK);
    EXPECT_EQ(Notice(), notice);
    EXPECT_TRUE(at(home));
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_EQ(Notice(), nullptr);
}

TEST_F(MurmeloPlugin, ADpiChangeRedrawsTheNoticeAtTheNewSizeInItsCorner) {
    ComPtr<_Parlix_Plugin> plugin = Connected();
    ASSERT_TRUE(plugin);
    ScopedBstr title(L"张三的新消息:"), text(L"晚上一起吃饭吗？");
    ASSERT_EQ(plugin->ShowMessage(600000, title.get(), text.get()), S_OK);  // held throughout
    const HWND notice = Notice();
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    // The 300 × 120 skin scaled for the dpi in the bottom right corner, its pale header painted.
    const auto home = [&](int dpi) {
        const RECT r{sw - ::MulDiv(300, dpi, 96), sh - ::MulDiv(120, dpi, 96), sw, sh}, now = ReadFacts(notice).rect;
        const ScopedWindowDc screen(nullptr);
        const COLORREF header = ::GetPixel(screen.get(), sw - ::MulDiv(20, dpi, 96), sh - ::MulDiv(110, dpi, 96));
        return ::EqualRect(&now, &r) && header == RGB(0xEE, 0xF3, 0xFB);
    };
    ASSERT_TRUE(WaitFor([&] { return home(96); }));
    RECT suggested{0, 0, 1, 1};  // not taken: the corner places the notice
    for (const int dpi : {144, 192, 96, 96}) {
        ::SendMessageW(notice, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_TRUE(WaitFor([&] { return home(dpi); })) << dpi;
    }
    EXPECT_EQ(Notice(), notice);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
}

TEST_F(MurmeloPlugin, ANoticeEndsBySlidingOutAndClosingItsWindow) {
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Position", L"0", Ini().c_str());
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Direction", L"1", Ini().c_str());
    ComPtr<_Parlix_Plugin> plugin = Connected();
    ASSERT_TRUE(plugin);
    ScopedBstr title(L"李四的新消息:"), text(L"好");
    ASSERT_EQ(plugin->ShowMessage(200, title.get(), text.get()), S_OK);
    const HWND notice = Notice();
    ASSERT_NE(notice, nullptr);
    EXPECT_LT(ReadFacts(notice).rect.top, 0) << "starts above the top edge";
    EXPECT_TRUE(WaitFor([&] { return ReadFacts(notice).rect.top == 0 && ReadFacts(notice).rect.left == 0; }));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(notice); }));
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
}

TEST_F(MurmeloPlugin, AMissingSkinShowsNothing) {
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Skin", L"Nowhere", Ini().c_str());
    ComPtr<_Parlix_Plugin> plugin = Connected();
    ASSERT_TRUE(plugin);
    ScopedBstr title(L"t"), text(L"m");
    EXPECT_EQ(plugin->ShowMessage(3000, title.get(), text.get()), S_OK);
    EXPECT_EQ(Notice(), nullptr);
    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
}

TEST_F(MurmeloPlugin, AStoredValueThatIsNoNumberFailsTheConnection) {
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Alpha", L"", Ini().c_str());
    ComPtr<_Parlix_Plugin> plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
    _Parlix_Core* core = core_.get();
    EXPECT_EQ(plugin->OnConnection(&core), E_FAIL);
}

TEST_F(MurmeloPlugin, TheSettingsPageShowsRepairsAndSavesTheSettings) {
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Position", L"8", Ini().c_str());
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Direction", L"8", Ini().c_str());
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Alpha", L"200", Ini().c_str());
    ComPtr<_Parlix_Plugin> plugin = Connected();
    ASSERT_TRUE(plugin);
    ComPtr<IDispatch> form;
    ASSERT_EQ(plugin->GetProperty(form.put()), S_OK);
    ComPtr<IDispatch> again;
    plugin->GetProperty(again.put());
    EXPECT_EQ(again, form);
    DISPID id = 0;
    auto* name = const_cast<LPOLESTR>(L"hWnd");
    ASSERT_EQ(form->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ScopedVariant hwnd;
    ASSERT_EQ(form->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, hwnd.get(), nullptr, nullptr),
              S_OK);
    const HWND page = reinterpret_cast<HWND>(static_cast<std::intptr_t>(hwnd->lVal));
    EXPECT_NE(ReadFacts(page).style & WS_CHILD, 0);
    const auto item = [&](int id) { return ::GetDlgItem(page, id); };
    const auto text = [&](int id) { return ReadFacts(item(id)).title; };
    const auto checked = [&](int id) { return ::SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; };

    EXPECT_EQ(text(Page::kTxtAlpha), L"200");
    EXPECT_EQ(text(Page::kTxtSize0), L"15");
    EXPECT_EQ(text(Page::kCboSkin), L"Default");
    EXPECT_TRUE(checked(Page::kOptPos0 + 8));
    EXPECT_TRUE(checked(Page::kOptDir0 + 7)) << "the position's default direction, not the saved 8";
    EXPECT_FALSE(::IsWindowEnabled(item(Page::kOptDir0 + 0)));
    EXPECT_TRUE(::IsWindowEnabled(item(Page::kOptDir0 + 4)));
    EXPECT_NE(ReadFacts(item(Page::kOptPos0)).style & BS_PUSHLIKE, 0);

    ::SetWindowTextW(item(Page::kTxtAlpha), L"300");
    EXPECT_EQ(text(Page::kTxtAlpha), L"255");
    ::SetWindowTextW(item(Page::kTxtSize1), L"100");
    EXPECT_EQ(text(Page::kTxtSize1), L"12");
    ::SendMessageW(item(Page::kOptPos0 + 1), BM_CLICK, 0, 0);
    EXPECT_TRUE(checked(Page::kOptDir0 + 1));
    EXPECT_FALSE(::IsWindowEnabled(item(Page::kOptDir0 + 7)));

    ::SendMessageW(item(Page::kCmdOK), BM_CLICK, 0, 0);
    EXPECT_EQ(Stored(L"msg_Alpha"), L"255");
    EXPECT_EQ(Stored(L"msg_MessageSize"), L"12");
    EXPECT_EQ(Stored(L"msg_Position"), L"1");
    EXPECT_EQ(Stored(L"msg_Direction"), L"1");
    EXPECT_EQ(Stored(L"msg_TitleColor"), L"11153970");
    EXPECT_EQ(Stored(L"msg_MessageColor"), L"8585050");
    EXPECT_EQ(Stored(L"msg_Skin"), L"Default");
    EXPECT_EQ(Stored(L"msg_Trans"), L"0");

    // The preview shows the test notice at the page's place: top centre, sliding down.
    ::SendMessageW(item(Page::kCmdPreview), BM_CLICK, 0, 0);
    const HWND notice = Notice();
    ASSERT_NE(notice, nullptr);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    EXPECT_TRUE(WaitFor([&] { return ReadFacts(notice).rect.top == 0; }));
    EXPECT_EQ(ReadFacts(notice).rect.left, (sw - 300) / 2);

    EXPECT_EQ(plugin->OnDisconnection(), S_OK);
    EXPECT_FALSE(::IsWindow(page));
    EXPECT_EQ(Notice(), nullptr);
}

}  // namespace
}  // namespace parlix::test

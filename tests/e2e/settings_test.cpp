// The settings dialog and the about box of the real program: the tray menu's commands open them,
// OK changes set.ini and the running program, the about box closes with OK.
#include "base/window_text_win.h"
#include "settings/dialog_rules.h"
#include "tests/support/clean_state.h"
#include "tests/support/parlix_app.h"
#include "tests/support/windows.h"
#include "ui/menu_ids.h"

#include <gtest/gtest.h>

namespace parlix::test {
namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (::GetDlgCtrlID(w) != s->id) return TRUE;
    s->found = w;
    return FALSE;
}

// A control of the dialog by its id, on whichever page it is.
HWND FindControl(HWND root, int id) {
    Search s{id, nullptr};
    ::EnumChildWindows(root, MatchId, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring IniValue(const std::filesystem::path& ini, const wchar_t* key) {
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(L"Settings", key, L"", value, 256, ini.wstring().c_str());
    return value;
}

class SettingsE2eTest : public testing::Test {
protected:
    void SetUp() override {
        ResetUserState();
        app_ = ParlixApp::Launch(dir_.Path(), kPatience, {{L"zz_Unknown", L"kept"}});
        ASSERT_NE(app_, nullptr);
        ASSERT_TRUE(app_->WaitIdle());
    }
    void TearDown() override {
        if (app_) app_->Close();
    }
    TempDir dir_{L"parlix-settings"};
    std::unique_ptr<ParlixApp> app_;
};

TEST_F(SettingsE2eTest, MenuCommandOpensTheDialogAndOkChangesSetIni) {
    const auto ini = dir_.Path() / L"set.ini";
    ASSERT_TRUE(app_->Command(mnuSet2));
    const HWND dialog = WaitForWindow({.className = L"Parlix.frmSet", .title = L"设置", .visibleOnly = true});
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const HWND trans = FindControl(dialog, idChkTrans);
    const HWND caption = FindControl(dialog, idTxtCaption);
    ASSERT_NE(trans, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(::SendMessageW(trans, BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageW(trans, BM_CLICK, 0, 0);
    ::SendMessageW(caption, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"工作"));
    ::SendMessageW(FindControl(dialog, idBtnOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(IniValue(ini, L"org_Trans"), L"0");
    EXPECT_EQ(IniValue(ini, L"org_Caption"), L"工作");
    EXPECT_EQ(IniValue(ini, L"zz_Unknown"), L"kept");
    EXPECT_TRUE(WaitFor([&] { return WindowTitle(app_->MainWindow()).ends_with(L"  -  工作"); }));
}

TEST_F(SettingsE2eTest, CancelWritesNothingAndTheAboutBoxOpensFromTheMenu) {
    const auto ini = dir_.Path() / L"set.ini";
    ASSERT_TRUE(app_->Command(mnuSet));
    const HWND dialog = WaitForWindow({.className = L"Parlix.frmSet", .visibleOnly = true});
    ASSERT_NE(dialog, nullptr);
    ::SendMessageW(FindControl(dialog, idChkFile), BM_CLICK, 0, 0);
    ::SendMessageW(FindControl(dialog, idBtnCancel), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(IniValue(ini, L"org_ChkFile"), L"");

    ASSERT_TRUE(app_->Command(mnuAbout2));
    const HWND about = WaitForWindow({.className = L"Parlix.frmAbout", .title = L"关于 Parlix", .visibleOnly = true});
    ASSERT_NE(about, nullptr);
    ::SendMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
}

}  // namespace
}  // namespace parlix::test

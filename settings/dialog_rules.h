// The rules of the settings dialog and the about box that need no window: the number boxes'
// repair, the hotkey box's text and values, the title suffix after OK, which controls follow
// which check box, and the reading of the update page.
#pragma once

#include "settings/ini_values.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace parlix {

// ---- number boxes --------------------------------------------------------------------------

struct NumberBoxRule {
    std::int32_t limit;
    std::wstring_view fallback;
};
inline constexpr NumberBoxRule kMaxLenBox{20, L"5"};
inline constexpr NumberBoxRule kTipTimeBox{60, L"3"};

// Whether a typed character may reach a number box: the digits and Backspace.
[[nodiscard]] bool NumberBoxAccepts(wchar_t ch) noexcept;
// The box's text after a change: empty or 0 gives the fallback; above the limit, not a number,
// or too large for 32 bits gives the limit; any other value is kept as typed.
[[nodiscard]] std::wstring RepairNumberBox(std::wstring_view text, const NumberBoxRule& rule);
// The value OK stores: the repaired text as a number.
[[nodiscard]] std::int32_t NumberBoxValue(std::wstring_view text, const NumberBoxRule& rule);

// ---- hotkey box ----------------------------------------------------------------------------

inline constexpr int kVkShift = 16;
inline constexpr int kVkControl = 17;
inline constexpr int kVkMenu = 18;
inline constexpr int kVkLWin = 91;
// Shift state as the key events give it.
inline constexpr int kShiftBit = 1;
inline constexpr int kCtrlBit = 2;
inline constexpr int kAltBit = 4;
// RegisterHotKey's modifier flags.
inline constexpr int kModAlt = 1;
inline constexpr int kModControl = 2;
inline constexpr int kModShift = 4;
inline constexpr int kModWin = 8;

inline constexpr std::wstring_view kNoHotkey = L"无";

// "Win + " (with the Windows key held), then the names of the held modifiers.
[[nodiscard]] std::wstring HotkeyModifierText(bool win, int shift);
[[nodiscard]] std::int32_t HotkeyModifiers(bool win, int shift) noexcept;
// Whether the text is one the modifiers alone build (the box then holds no key).
[[nodiscard]] bool IsModifierOnlyText(std::wstring_view text);

// The capture in the hotkey box. Key names come from the caller (the system's key-name table).
class HotkeyCapture {
public:
    HotkeyCapture(std::wstring text, std::int32_t key, std::int32_t mod) : text_(std::move(text)), key_(key), mod_(mod) {}
    void KeyDown(int vk, int shift, std::wstring_view keyName);
    void KeyUp(int vk);
    [[nodiscard]] const std::wstring& Text() const noexcept { return text_; }
    [[nodiscard]] std::int32_t Key() const noexcept { return key_; }
    [[nodiscard]] std::int32_t Mod() const noexcept { return mod_; }

private:
    std::wstring text_;
    std::int32_t key_;
    std::int32_t mod_;
    bool win_ = false;
};

// ---- title suffix --------------------------------------------------------------------------

// The suffix is kCaptionPrefix and the text (ini_values.h); the text box shows CaptionText.
struct CaptionChange {
    std::wstring title;   // the main window's new title
    std::wstring suffix;  // the new in-memory org_Caption
    friend bool operator==(const CaptionChange&, const CaptionChange&) = default;
};
// OK's title rule: old suffix S (empty or "  -  " and text), new box text T.
[[nodiscard]] CaptionChange ChangeCaption(std::wstring_view title, std::wstring_view oldSuffix, std::wstring_view text);

// ---- dependent enabling --------------------------------------------------------------------

// Controls of the settings dialog that other controls follow (their window ids).
enum SettingsControl : int {
    idChkAutoRunIM = 1101,
    idTxtPath,
    idBtnBrowse,
    idLblPath,
    idLblExeName,
    idTxtExeName,
    idChkMaxLen,
    idTxtMaxLen,
    idChkShowTip,
    idChkAlwaysShowTip,
    idChkHotKey,
    idTxtHotKey,
    idChkMouseGesture,
    idLblGesture0,
    idLblGesture1,
    idLblGesture2,
    idLblGesture3,
    // The other controls, for the window and its tests.
    idTxtCaption = 1201,
    idChkFile,
    idChkTrans,
    idChkComp,
    idChkRunOnStart,
    idChkExitMsg,
    idChkAutoSwitch,
    idChkAutoSize,
    idOptTabTop,
    idOptTabBottom,
    idOptTabRoll,
    idOptTabMulti,
    idOptTabXp,
    idOptTabQQ,
    idChkShowIcon,
    idChkShowNum,
    idLblColor0,  // + 0..3: 选中, 普通, 高亮, 文字
    idLblColor1,
    idLblColor2,
    idLblColor3,
    idBtnSetColor0,  // + 0..3
    idBtnSetColor1,
    idBtnSetColor2,
    idBtnSetColor3,
    idChkTray,
    idChkCloseTray,
    idChkAutoMin,
    idTxtTipTime,
    idChkFlashTray,
    idChkTransTrayIcon,
    idLstPlugins,
    idLblPluginState,
    idLblPluginVersion,
    idLblPluginAuthor,
    idLblPluginDescribe,
    idChkEnablePlugin,
    idBtnInstall,
    idBtnUninstall,
    idPicProperty,
    idLblNoProperty,
    idBtnOK,
    idBtnCancel,
    idBtnDefault,
};

// The controls enabled exactly when the check box is checked; empty for any other control.
[[nodiscard]] std::span<const int> DependentsOf(int checkBox) noexcept;
// Every check box that has dependents.
[[nodiscard]] std::span<const int> LeadingCheckBoxes() noexcept;

// ---- update check --------------------------------------------------------------------------

enum class UpdateVerdict {
    Newer,     // ask whether to open the download page
    Current,   // "当前已经是最新版本。"
    Unreadable // the title's version is no number: no message
};
struct UpdateAnswer {
    UpdateVerdict verdict = UpdateVerdict::Current;
    std::wstring version;  // the page's version as the question shows it (Newer only)
};
// The page's title against the program's version: a title "version " + "M.m" newer than
// major.minor is Newer; any other title is Current; a version that is not a number Unreadable.
[[nodiscard]] UpdateAnswer JudgeUpdateTitle(std::wstring_view title, int major, int minor);

// The document title and the body's text of an HTML page (tags dropped, the common entities
// decoded, runs of white space made one space, trimmed).
[[nodiscard]] std::wstring PageTitle(std::wstring_view html);
[[nodiscard]] std::wstring PageBodyText(std::wstring_view html);
// Whether an address may be handed to the shell: only http:// and https:// addresses.
[[nodiscard]] bool IsWebAddress(std::wstring_view address);

}  // namespace parlix

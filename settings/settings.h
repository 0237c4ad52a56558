// The settings of the main program: one value per set.ini key, named after the key, the key
// table, the start-up load and the writes of the settings dialog and of the main window's exit.
// Logic only: the file is reached through IniSource/IniSink (settings_win.h implements them with
// the profile API), errors through LoadTrap.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace parlix {

inline constexpr std::wstring_view kSettingsSection = L"Settings";
inline constexpr std::wstring_view kPluginSection = L"Plugin";
inline constexpr std::wstring_view kNoticePluginKey = L"Murmelo";
inline constexpr std::wstring_view kNoticePluginProgId = L"MurmeloProject.Murmelo";

inline constexpr std::int32_t kDefaultWidthTwips = 10560;
inline constexpr std::int32_t kDefaultHeightTwips = 8355;
// Twips per pixel at 96 dpi; at other dpi base/dpi.h converts (1440 twips per inch).
inline constexpr std::int32_t kTwipsPerPixel = 15;

// The in-memory settings. A default-constructed value holds the defaults of the key table.
// Flags are 1/0 as a check box gives them; colours are COLORREF values (&H00BBGGRR, a value with
// the top bit set is a system colour index).
struct Settings {
    bool tab_Bottom = true;
    std::int32_t tab_Selected = 16756580;
    std::int32_t tab_Normal = 0xFFC8A6;
    std::int32_t tab_Hot = 0x56FCA9;
    std::int32_t tab_Text = 0x694615;
    bool tab_Roll = false;
    std::int32_t tab_MaxLen = 0;
    std::int32_t tab_MaxLength = 10;
    bool tab_Skin = true;
    std::int32_t tab_ShowNum = 1;
    std::int32_t tab_ShowIcon = 1;
    std::int32_t tray_AutoMin = 1;
    std::int32_t tray_AlwaysShowTip = 0;
    std::int32_t tray_CloseTray = 0;
    std::int32_t tray_Enabled = 1;
    std::int32_t tray_FlashTray = 1;
    std::int32_t tray_MsgTip = 1;
    std::int32_t tray_TipTime = 3;
    std::int32_t tray_TransIcon = 0;
    std::int32_t org_AutoRunIM = 0;
    std::int32_t org_AutoSwitch = 1;
    std::int32_t org_AutoSize = 0;
    // After LoadSettings this is the title suffix ("  -  " and the text, or ""); CaptionText()
    // gives the text back.
    std::wstring org_Caption;
    std::int32_t org_ChkFile = 0;
    std::int32_t org_Comp = 0;
    std::int32_t org_ExitMsg = 0;
    std::int32_t org_MouseGesture = 1;
    std::wstring org_QQPath; // directory of the IM client, ending in "\"
    std::wstring org_QQName = L"QQ.exe";
    std::int32_t org_RunOnStart = 0;
    std::int32_t org_Trans = 1;
    std::int32_t hot_Enabled = 0;
    std::int32_t hot_Key = 0; // virtual-key code
    std::int32_t hot_Mod = 0; // RegisterHotKey modifiers
    std::wstring hot_Text = L"无"; // read by the settings dialog only
    // Main window placement, twips. win_X/win_Y have no fixed default: LoadSettings uses the
    // window's current position.
    std::int32_t win_X = 0;
    std::int32_t win_Y = 0;
    std::int32_t win_CX = kDefaultWidthTwips;
    std::int32_t win_CY = kDefaultHeightTwips;
    std::int32_t win_Status = 0; // 0 normal, 1 minimised, 2 maximised
    // "Plugin" Murmelo: the notification plugin is enabled (and, after LoadSettings, creatable).
    bool Murmelo = false;
};

enum class IniType { Flag, Boolean, Integer, Colour, Text, Metric };

using SettingsMember = std::variant<bool Settings::*, std::int32_t Settings::*, std::wstring Settings::*>;

// One "Settings" key: its name, how it is stored, the default passed to the read, and where it
// lives in memory.
struct SettingsKey {
    std::wstring_view key;
    IniType type;
    std::wstring_view defaultText;
    SettingsMember member;
};

// The keys LoadSettings reads one by one at start-up, in that order (tab_Bottom to hot_Mod).
[[nodiscard]] std::span<const SettingsKey> StartupKeys() noexcept;
// Any "Settings" key of the program, win_* and hot_Text included; nullptr for an unknown name.
[[nodiscard]] const SettingsKey* FindSettingsKey(std::wstring_view key) noexcept;

// The member's value in its stored form (decimal, "True"/"False" or the text).
[[nodiscard]] std::wstring StoredText(const Settings& settings, const SettingsKey& key);
// Converts text as the key's type says and stores it; throws IniValueError, leaving the member
// unchanged, when the text does not convert.
void AssignStoredText(Settings& settings, const SettingsKey& key, std::wstring_view text);

class IniSource {
  public:
    virtual ~IniSource() = default;
    // The stored value (at most 254 characters), def when the key or file is missing, "" for
    // an empty value.
    virtual std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view def) = 0;
};

class IniSink {
  public:
    virtual ~IniSink() = default;
    // Stores the value; failures pass silently.
    virtual void Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) = 0;
};

// The error trap of LoadSettings. Run performs one step; when it fails the error is reported
// and Run returns false so the load goes on with the next step (or the program ends there, as
// the user chooses). line numbers the step within the load, for the report.
class LoadTrap {
  public:
    virtual ~LoadTrap() = default;
    virtual bool Run(long line, const std::function<void()>& step) = 0;
};

// What the load needs to know about the main window before it is placed.
struct MainWindowFacts {
    std::int32_t left = 0; // current position, twips: the defaults of win_X and win_Y
    std::int32_t top = 0;
    std::int32_t frameWidth = 0;  // outer minus inner size, pixels
    std::int32_t frameHeight = 0;
    std::int32_t screenRight = 0;  // right and bottom edge of the (virtual) screen, pixels;
    std::int32_t screenBottom = 0; // 0 = unknown
    // The dpi that win_X/win_Y and win_CX/win_CY are converted at (see BoundsToPixels).
    std::int32_t positionDpi = 96;
    std::int32_t sizeDpi = 96;
};

struct TwipsRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// The main window's outer rectangle in pixels.
struct PixelBounds {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelBounds&, const PixelBounds&) = default;
};

// set.ini keeps the place in twips, a length that means the same at every dpi. The position is
// converted at the system's dpi, which is the same on every monitor, so a window comes back
// where it was; the size at the window's own dpi, so it comes back as large as it looked. At
// 96 dpi both are 15 twips per pixel, as files written before always were.
[[nodiscard]] TwipsRect BoundsToTwips(const PixelBounds& bounds, int positionDpi, int sizeDpi) noexcept;
[[nodiscard]] PixelBounds BoundsToPixels(const TwipsRect& bounds, int positionDpi, int sizeDpi) noexcept;

// The main window's state and, for the normal state, its bounds; nullopt leaves size and
// position as they are.
struct WindowPlacement {
    std::int32_t status = 0;
    std::optional<TwipsRect> bounds;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// Placement from the stored win_* values. Normal state only: a width or height leaving 200 or
// fewer inner pixels (at 96 dpi; scaled for the window's dpi) takes the default; a negative left or top becomes 0; a window lying wholly
// beyond the screen's right or bottom edge is moved back so that it ends at that edge (or at 0).
[[nodiscard]] WindowPlacement PlaceMainWindow(const Settings& settings, const MainWindowFacts& window);

struct LoadServices {
    // Whether an object of the plugin class can be created and speaks the plugin interface.
    // Unset: the notification plugin counts as not creatable.
    std::function<bool(std::wstring_view progId)> pluginCreatable;
    // The client's installation directory from the registry, or "". Unset: "".
    std::function<std::wstring()> qqPath;
};

// Loads every setting in order: the start-up keys, the notification-plugin flag (kept only when
// the plugin is creatable), the client path from the registry when none is stored, the caption
// suffix, then win_Status and, in the normal state, win_CX, win_CY, win_X, win_Y. Each read and
// each later statement is one trapped step: a failed key keeps the value it had in `settings`
// (the key table's default for a fresh Settings).
WindowPlacement LoadSettings(Settings& settings, IniSource& ini, LoadTrap& trap, const LoadServices& services,
                             const MainWindowFacts& window);

// The settings dialog's OK: every "Settings" key but win_*, hot_Text, hot_Key and hot_Mod
// (org_Caption as its text without the suffix prefix), then "Plugin" Murmelo.
void SaveSettings(const Settings& settings, IniSink& ini);
// The hotkey, written by OK only when one was entered: hot_Text, hot_Key, hot_Mod.
void SaveHotkey(const Settings& settings, IniSink& ini);
// The main window's exit: win_CX, win_CY, win_X, win_Y (twips), then win_Status.
void SaveWindowPlacement(IniSink& ini, const TwipsRect& bounds, std::int32_t status);

} // namespace parlix

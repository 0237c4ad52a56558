#include "settings/settings.h"

#include "settings/ini_values.h"

#include "base/dpi.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <type_traits>

namespace parlix {

namespace {

using S = Settings;

// The key table. The first kStartupKeyCount entries are read at start-up in this order.
const std::array kKeys = {
    SettingsKey{L"tab_Bottom", IniType::Boolean, L"True", &S::tab_Bottom},
    SettingsKey{L"tab_Selected", IniType::Colour, L"16756580", &S::tab_Selected},
    SettingsKey{L"tab_Normal", IniType::Colour, L"&HFFC8A6", &S::tab_Normal},
    SettingsKey{L"tab_Hot", IniType::Colour, L"&H56FCA9", &S::tab_Hot},
    SettingsKey{L"tab_Text", IniType::Colour, L"&H694615", &S::tab_Text},
    SettingsKey{L"tab_Roll", IniType::Boolean, L"False", &S::tab_Roll},
    SettingsKey{L"tab_MaxLen", IniType::Flag, L"0", &S::tab_MaxLen},
    SettingsKey{L"tab_MaxLength", IniType::Integer, L"10", &S::tab_MaxLength},
    SettingsKey{L"tab_Skin", IniType::Boolean, L"True", &S::tab_Skin},
    SettingsKey{L"tab_ShowNum", IniType::Flag, L"1", &S::tab_ShowNum},
    SettingsKey{L"tab_ShowIcon", IniType::Flag, L"1", &S::tab_ShowIcon},
    SettingsKey{L"tray_AutoMin", IniType::Flag, L"1", &S::tray_AutoMin},
    SettingsKey{L"tray_AlwaysShowTip", IniType::Flag, L"0", &S::tray_AlwaysShowTip},
    SettingsKey{L"tray_CloseTray", IniType::Flag, L"0", &S::tray_CloseTray},
    SettingsKey{L"tray_Enabled", IniType::Flag, L"1", &S::tray_Enabled},
    SettingsKey{L"tray_FlashTray", IniType::Flag, L"1", &S::tray_FlashTray},
    SettingsKey{L"tray_MsgTip", IniType::Flag, L"1", &S::tray_MsgTip},
    SettingsKey{L"tray_TipTime", IniType::Integer, L"3", &S::tray_TipTime},
    SettingsKey{L"tray_TransIcon", IniType::Flag, L"0", &S::tray_TransIcon},
    SettingsKey{L"org_AutoRunIM", IniType::Flag, L"0", &S::org_AutoRunIM},
    SettingsKey{L"org_AutoSwitch", IniType::Flag, L"1", &S::org_AutoSwitch},
    SettingsKey{L"org_AutoSize", IniType::Flag, L"0", &S::org_AutoSize},
    SettingsKey{L"org_Caption", IniType::Text, L"", &S::org_Caption},
    SettingsKey{L"org_ChkFile", IniType::Flag, L"0", &S::org_ChkFile},
    SettingsKey{L"org_Comp", IniType::Flag, L"0", &S::org_Comp},
    SettingsKey{L"org_ExitMsg", IniType::Flag, L"0", &S::org_ExitMsg},
    SettingsKey{L"org_MouseGesture", IniType::Flag, L"1", &S::org_MouseGesture},
    SettingsKey{L"org_QQPath", IniType::Text, L"", &S::org_QQPath},
    SettingsKey{L"org_QQName", IniType::Text, L"QQ.exe", &S::org_QQName},
    SettingsKey{L"org_RunOnStart", IniType::Flag, L"0", &S::org_RunOnStart},
    SettingsKey{L"org_Trans", IniType::Flag, L"1", &S::org_Trans},
    SettingsKey{L"hot_Enabled", IniType::Flag, L"0", &S::hot_Enabled},
    SettingsKey{L"hot_Key", IniType::Integer, L"0", &S::hot_Key},
    SettingsKey{L"hot_Mod", IniType::Integer, L"0", &S::hot_Mod},
    SettingsKey{L"hot_Text", IniType::Text, L"无", &S::hot_Text},
    // win_X and win_Y default to the window's current position, known only at load time.
    SettingsKey{L"win_X", IniType::Metric, L"", &S::win_X},
    SettingsKey{L"win_Y", IniType::Metric, L"", &S::win_Y},
    SettingsKey{L"win_CX", IniType::Metric, L"10560", &S::win_CX},
    SettingsKey{L"win_CY", IniType::Metric, L"8355", &S::win_CY},
    SettingsKey{L"win_Status", IniType::Integer, L"0", &S::win_Status},
};
constexpr std::size_t kStartupKeyCount = 34; // tab_Bottom .. hot_Mod

const SettingsKey& Key(std::wstring_view name) {
    const SettingsKey* key = FindSettingsKey(name);
    if (!key) throw std::logic_error("unknown settings key");
    return *key;
}

std::string Narrow(std::wstring_view ascii) {
    std::string out;
    for (wchar_t c : ascii) out += static_cast<char>(c);
    return out;
}

// Reads one key into its member; a value that does not convert is reported with the key's name.
void ReadKey(Settings& settings, IniSource& ini, const SettingsKey& key, std::wstring_view def) {
    const std::wstring text = ini.Read(kSettingsSection, key.key, def);
    try {
        AssignStoredText(settings, key, text);
    } catch (const IniValueError& e) {
        throw IniValueError(e.Number(), std::string(e.what()) + "（" + Narrow(key.key) + "）");
    }
}

// Inner pixels of a window `twips` wide with `frame` pixels of border.
std::int64_t InnerPixels(std::int32_t twips, std::int32_t frame, int dpi) {
    return std::int64_t{TwipsToPixels(twips, dpi)} - frame;
}

// Moves an edge lying at or beyond the screen's far edge back so the window ends there.
std::int32_t BackOnScreen(std::int32_t start, std::int32_t extent, std::int32_t screenEnd,
                          const MainWindowFacts& window) {
    if (screenEnd <= 0 || TwipsToPixels(start, window.positionDpi) < screenEnd) return start;
    const std::int64_t back =
        std::max<std::int64_t>(0, std::int64_t{screenEnd} - TwipsToPixels(extent, window.sizeDpi));
    return PixelsToTwips(static_cast<int>(back), window.positionDpi);
}

} // namespace

std::span<const SettingsKey> StartupKeys() noexcept {
    static_assert(kStartupKeyCount <= kKeys.size());
    return std::span(kKeys).first(kStartupKeyCount);
}

const SettingsKey* FindSettingsKey(std::wstring_view key) noexcept {
    const auto it = std::find_if(kKeys.begin(), kKeys.end(), [&](const SettingsKey& k) { return k.key == key; });
    return it == kKeys.end() ? nullptr : &*it;
}

std::wstring StoredText(const Settings& settings, const SettingsKey& key) {
    return std::visit(
        [&](auto member) -> std::wstring {
            const auto& value = settings.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) return IniFromBoolean(value);
            else if constexpr (std::is_same_v<T, std::int32_t>) return IniFromInteger(value);
            else return value;
        },
        key.member);
}

void AssignStoredText(Settings& settings, const SettingsKey& key, std::wstring_view text) {
    std::visit(
        [&](auto member) {
            auto& value = settings.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) value = IniToBoolean(text);
            else if constexpr (std::is_same_v<T, std::int32_t>) value = IniToInteger(text);
            else value = std::wstring(text);
        },
        key.member);
}

TwipsRect BoundsToTwips(const PixelBounds& b, int positionDpi, int sizeDpi) noexcept {
    return {PixelsToTwips(b.left, positionDpi), PixelsToTwips(b.top, positionDpi), PixelsToTwips(b.width, sizeDpi),
            PixelsToTwips(b.height, sizeDpi)};
}

PixelBounds BoundsToPixels(const TwipsRect& b, int positionDpi, int sizeDpi) noexcept {
    return {TwipsToPixels(b.left, positionDpi), TwipsToPixels(b.top, positionDpi), TwipsToPixels(b.width, sizeDpi),
            TwipsToPixels(b.height, sizeDpi)};
}

WindowPlacement PlaceMainWindow(const Settings& settings, const MainWindowFacts& window) {
    WindowPlacement placement{settings.win_Status, std::nullopt};
    if (settings.win_Status != 0) return placement;
    TwipsRect r{std::max(settings.win_X, 0), std::max(settings.win_Y, 0), settings.win_CX, settings.win_CY};
    const int smallest = ScaleForDpi(200, window.sizeDpi);
    if (InnerPixels(r.width, window.frameWidth, window.sizeDpi) <= smallest) r.width = kDefaultWidthTwips;
    if (InnerPixels(r.height, window.frameHeight, window.sizeDpi) <= smallest) r.height = kDefaultHeightTwips;
    r.left = BackOnScreen(r.left, r.width, window.screenRight, window);
    r.top = BackOnScreen(r.top, r.height, window.screenBottom, window);
    placement.bounds = r;
    return placement;
}

WindowPlacement LoadSettings(Settings& settings, IniSource& ini, LoadTrap& trap, const LoadServices& services,
                             const MainWindowFacts& window) {
    long line = 0;
    const auto step = [&](const std::function<void()>& f) { trap.Run(++line, f); };

    for (const SettingsKey& key : StartupKeys())
        step([&] { ReadKey(settings, ini, key, key.defaultText); });

    step([&] {
        const std::wstring text = ini.Read(kPluginSection, kNoticePluginKey, L"False");
        try {
            settings.Murmelo = IniToBoolean(text);
        } catch (const IniValueError& e) {
            throw IniValueError(e.Number(), std::string(e.what()) + "（Murmelo）");
        }
    });
    step([&] {
        if (settings.Murmelo)
            settings.Murmelo = services.pluginCreatable && services.pluginCreatable(kNoticePluginProgId);
    });
    step([&] {
        if (settings.org_QQPath.empty() && services.qqPath) settings.org_QQPath = services.qqPath();
    });
    step([&] { settings.org_Caption = CaptionSuffix(settings.org_Caption); });

    step([&] {
        const std::int32_t previous = settings.win_Status;
        ReadKey(settings, ini, Key(L"win_Status"), L"0");
        if (settings.win_Status < 0 || settings.win_Status > 2) {
            settings.win_Status = previous; // only the three window states exist
            throw IniValueError(kInvalidValue, "无效的属性值（win_Status）");
        }
    });
    if (settings.win_Status != 0) return PlaceMainWindow(settings, window);

    step([&] { ReadKey(settings, ini, Key(L"win_CX"), L"10560"); });
    step([&] { ReadKey(settings, ini, Key(L"win_CY"), L"8355"); });
    settings.win_X = window.left;
    settings.win_Y = window.top;
    step([&] { ReadKey(settings, ini, Key(L"win_X"), IniFromInteger(window.left)); });
    step([&] { ReadKey(settings, ini, Key(L"win_Y"), IniFromInteger(window.top)); });
    return PlaceMainWindow(settings, window);
}

void SaveSettings(const Settings& settings, IniSink& ini) {
    static constexpr std::wstring_view kDialogKeys[] = {
        L"tab_Bottom",     L"tab_Hot",           L"tab_MaxLen",     L"tab_MaxLength",  L"tab_Normal",
        L"tab_Roll",       L"tab_Selected",      L"tab_ShowNum",    L"tab_ShowIcon",   L"tab_Skin",
        L"tab_Text",       L"tray_AlwaysShowTip", L"tray_AutoMin",  L"tray_CloseTray", L"tray_Enabled",
        L"tray_FlashTray", L"tray_MsgTip",       L"tray_TipTime",   L"tray_TransIcon", L"org_AutoRunIM",
        L"org_AutoSwitch", L"org_AutoSize",      L"org_Caption",    L"org_ChkFile",    L"org_Comp",
        L"org_ExitMsg",    L"org_RunOnStart",    L"org_QQPath",     L"org_QQName",     L"org_MouseGesture",
        L"org_Trans",      L"hot_Enabled",
    };
    for (std::wstring_view name : kDialogKeys) {
        const SettingsKey& key = Key(name);
        const std::wstring value =
            name == L"org_Caption" ? CaptionText(settings.org_Caption) : StoredText(settings, key);
        ini.Write(kSettingsSection, key.key, value);
    }
    ini.Write(kPluginSection, kNoticePluginKey, IniFromBoolean(settings.Murmelo));
}

void SaveHotkey(const Settings& settings, IniSink& ini) {
    for (std::wstring_view name : {L"hot_Text", L"hot_Key", L"hot_Mod"})
        ini.Write(kSettingsSection, name, StoredText(settings, Key(name)));
}

void SaveWindowPlacement(IniSink& ini, const TwipsRect& bounds, std::int32_t status) {
    ini.Write(kSettingsSection, L"win_CX", IniFromInteger(bounds.width));
    ini.Write(kSettingsSection, L"win_CY", IniFromInteger(bounds.height));
    ini.Write(kSettingsSection, L"win_X", IniFromInteger(bounds.left));
    ini.Write(kSettingsSection, L"win_Y", IniFromInteger(bounds.top));
    ini.Write(kSettingsSection, L"win_Status", IniFromInteger(status));
}

} // namespace parlix

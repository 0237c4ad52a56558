// The tab strip's look as the settings and the tab registry give it.
#pragma once

#include "base/handle_value_win.h"
#include "capture/tab_registry.h"
#include "settings/settings.h"
#include "ui/tab_strip_skin_win.h"

namespace parlix {

class SettingsStripLook final : public StripLook {
public:
    SettingsStripLook(const Settings& settings, const TabRegistry& registry) : settings_(settings), registry_(registry) {}

    [[nodiscard]] paint::Palette Colours() const override {
        return {static_cast<paint::Colour>(TranslateColor(settings_.tab_Normal)),
                static_cast<paint::Colour>(TranslateColor(settings_.tab_Selected)),
                static_cast<paint::Colour>(TranslateColor(settings_.tab_Hot)),
                static_cast<paint::Colour>(::GetSysColor(COLOR_BTNFACE))};
    }
    [[nodiscard]] paint::Colour TextColour() const override { return settings_.tab_Text; }
    [[nodiscard]] bool XpStyle() const override { return settings_.tab_Skin; }
    [[nodiscard]] bool ShowIcon() const override { return settings_.tab_ShowIcon == 1; }
    [[nodiscard]] paint::Colour TabColor(int index) const override {
        const auto node = Node(index);
        return node ? node->window.TabColor : settings_.tab_Normal;
    }
    [[nodiscard]] HDC IconDC(int index) const override {
        const auto node = Node(index);
        return node ? FromValue<HDC>(static_cast<std::uint32_t>(node->window.hDC)) : nullptr;
    }

private:
    [[nodiscard]] std::shared_ptr<clsLink> Node(int index) const {
        return index >= 0 && index < registry_.count() ? registry_.GetNode(index + 1) : nullptr;
    }
    const Settings& settings_;
    const TabRegistry& registry_;
};

}  // namespace parlix

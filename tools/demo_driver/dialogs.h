// The demo's settings dialog and about box, opened and paged through as the user does it.
#pragma once

#include "tests/support/parlix_app.h"

namespace demo {

// Opens the settings dialog from the tray menu's command and shows page (0 to 4); on the plugin
// page the first plugin is chosen. 0 when done.
int ShowSettingsPage(const parlix::test::ParlixApp& app, int page);
// Opens the about box from the menu command. 0 when done.
int ShowAbout(const parlix::test::ParlixApp& app);
// Closes the settings dialog (Cancel) and the about box (OK) when open.
int CloseDialogs();

}  // namespace demo

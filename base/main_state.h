// The main window's state as the program keeps it (MainState): shown normally, minimised to the
// tray, or maximised. Shared by the capture engine and the main window's parts.
#pragma once

namespace parlix {

enum class MainWindowState : int { Normal = 0, InTray = 1, Maximized = 2 };

}  // namespace parlix

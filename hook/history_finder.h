// Finds, from inside a client's process, the objects of a chat window that Parlix asks for.
#pragma once

#include <windows.h>

#include <cstdint>

// Address of the window's history text record (+4 characters, +8 byte length), 0 when none.
// The clients keep it as the window property "ImHistoryRecord".
[[nodiscard]] std::uintptr_t FindHistoryRecord(HWND chat);

// The chat's input box: the window property "ImInputBox", else the focused window when it
// lies inside the chat; null when neither.
[[nodiscard]] HWND FindInputBox(HWND chat);

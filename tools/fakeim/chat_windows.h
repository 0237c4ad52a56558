// The chat windows (and look-alikes) of every simulated client, built child by child.
#pragma once

#include "tools/fakeim/commands.h"

#include <windows.h>

#include <string>

namespace fakeim {

struct Environment;

// Null when a window could not be made.
HWND OpenChatWindow(Environment& env, ChatKind kind, const std::wstring& title, const OpenOptions& options);

} // namespace fakeim

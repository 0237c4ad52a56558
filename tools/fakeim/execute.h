// Runs the simulator's commands (grammar in protocol.h).
#pragma once

#include <windows.h>

#include <string_view>

namespace fakeim {

struct Environment;

// The protocol's result: the new window for commands that create one, 1 for other commands
// that succeeded, 0 for an unknown command or a bad argument. "hang" and "crash" release a
// sender waiting in SendMessage before they stop; "quit" ends the message loop afterwards.
[[nodiscard]] LRESULT Execute(Environment& env, std::wstring_view line) noexcept;

} // namespace fakeim

// The windows Parlix holds belong to other programs: whatever way Parlix ends, they must be
// given back first. A destroyed host takes its cross-process children with it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace parlix {

// Installs the restore step run before the program ends on an unhandled exception (any
// thread), std::terminate, abort, a console control event, or EndProgramNow. It must not throw;
// it may run on any thread.
void InstallLastChance(std::function<void()> restore);
// Clears the restore step (after the normal exit gave everything back).
void ClearLastChance();
// Gives the windows back, then ends the process with code.
[[noreturn]] void EndProgramNow(unsigned code);

// The fault a test asks for through the environment variable PARLIX_TEST_FAULT ("" when none).
[[nodiscard]] std::wstring TestFaultFromEnvironment();
// Ends the program by the named fault: "unhandled" (an access violation on this thread),
// "thread" (the same on a new thread), "terminate", "abort", "console" (a console Ctrl+C
// event). Returns for the two that happen on another thread (the caller goes on pumping
// messages until the process ends) and for an unknown name.
void RaiseTestFault(std::wstring_view fault);

}  // namespace parlix

// The windows Parlix holds belong to other programs: whatever way Parlix ends, they must be
// given back first. A destroyed host takes its cross-process children with it.
#pragma once

#include <functional>

namespace parlix {

// Installs the restore step run before the program ends on an unhandled exception,
// std::terminate, abort, or EndProgramNow. It must not throw and must be quick.
void InstallLastChance(std::function<void()> restore);
// Clears the restore step (after the normal exit gave everything back).
void ClearLastChance();
// Gives the windows back, then ends the process with code.
[[noreturn]] void EndProgramNow(unsigned code);

}  // namespace parlix

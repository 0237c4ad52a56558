// Per-test clean state: the registry values the program and the simulated clients touch are
// removed, so no test sees what an earlier one left.
#pragma once

#include <string>

namespace parlix::test {

// Removes the client installation keys tests stage (Software\Tencent\QQ and QQ2009, under
// HKCU and HKLM) and the autostart value "Morvane" of the Run key (HKCU and HKLM).
void ResetUserState();

// Writes a string value under HKCU\<key>; used to stage client installation keys.
bool WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& value);

}  // namespace parlix::test

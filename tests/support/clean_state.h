// Per-test clean state: the registry values the program and the simulated clients touch are
// removed, so no test sees what an earlier one left.
#pragma once

#include <string>

namespace parlix::test {

// Removes HKCU\Software\Tencent (installation keys written by tests) and the autostart value
// "Parlix" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run.
void ResetUserState();

// Writes a string value under HKCU\<key>; used to stage client installation keys.
bool WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& value);

}  // namespace parlix::test

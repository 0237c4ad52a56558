// The client's question that holds up a close ("文件正在传送中..." and the like): a top-level
// "#32770" window of exactly the given title with an OK button.
#pragma once

#include <windows.h>

#include <string>

namespace fakeim {

struct Environment;
class SimWindow;

// Shows the dialog; answering it calls chat.Unblock(), destroying it calls chat.ForgetDialog().
HWND ShowBlockDialog(const Environment& env, const std::wstring& title, SimWindow& chat);

} // namespace fakeim

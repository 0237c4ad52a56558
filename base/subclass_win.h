// Window subclassing with the calling conventions of the common controls' SetWindowSubclass,
// DefSubclassProc and RemoveWindowSubclass, kept in this process's memory.
//
// Under Wine the common controls keep a window's subclasses in a window property, and reading a
// property is a round trip to the Wine server: every message to a subclassed window cost about
// 100 µs, a message through two subclasses about 130 µs (a plain one 0.4 µs). A paint of the tab
// strip sends several messages per tab, which made it take hundreds of milliseconds.
//
// Here a window gets one window procedure of ours in front of its own; it calls the window's
// subclass procedures newest first, each handing on with CallNextSubclass, the last one to the
// window's own procedure. Adding the same procedure and id again replaces its data. A procedure
// may remove itself (or another) while it runs; removed procedures are no longer called. After
// WM_NCDESTROY every subclass of the window is gone. The window's own procedure is put back
// when its last subclass goes, unless someone replaced ours meanwhile (then ours stays and
// passes every message straight on).
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace parlix {

bool AddSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
bool RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id);
// From inside a subclass procedure: the next older subclass, else the window's own procedure.
LRESULT CallNextSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace parlix

// The command protocol of fakeim.exe, the simulator of the IM clients' windows.
//
// A command is one line of text whose fields are separated by '|'. Commands are given as
// program arguments (one argument per command, run in order at start), read from a script
// file ("--script <path>", one command per line, '#' starts a comment line), or sent at run
// time with WM_COPYDATA (dwData = kCommandTag, lpData = the UTF-16 text, no terminator
// needed) to the simulator's message-only control window of class kControlClass. The
// WM_COPYDATA result is the window handle for commands that create a window, 1 for other
// commands that succeeded, 0 for an unknown command or a bad argument. Start-up commands run
// before the control window is made: once it answers, their windows exist. A <hwnd> is decimal
// or "0x" hexadecimal and must be a window of the simulator.
//
// Escapes inside text fields: "\n" → CR LF, "\r" → CR, "\\" → backslash, "{pic}" → U+FFFC
// (a picture in the chat history; in a rich-edit history box it reads as a space, as the
// clients' embedded pictures do in window text), "\p" → '|'. Other backslashes stay literal.
//
// Windows:
//   main|<n>                 main window of client discovery search n (1..18)
//   main|titledchild         "#32770" main window whose first child has a title (not a client)
//   main|fetionwrongclass    window titled "Fetion 2008" whose class is not a Fetion class
//   open|<kind>|<title>[|option...]   a chat (or look-alike) window; returns its handle
//     kinds:
//       dialog        "#32770" with an inner "#32770" holding only a "RichEdit20A" history box
//       qq2008beta1   inner "#32770": RICHEDIT, RichEdit20A (history), "发送(&S)", a hidden
//                     "AfxWnd42", a visible "AfxWnd42" holding the RichEdit20A input box
//       tm2005        inner "#32770": RICHEDIT, RichEdit20A (history), "发送(&S)", a visible
//                     "AfxWnd42" holding the RICHEDIT input box
//       tm2007        inner "#32770": RICHEDIT (input), RichEdit20A (history), no send button
//       qq2008        no inner dialog: RichEdit20A (history) and three "AfxWnd42" panels, the
//                     third holding the RichEdit20A input box
//       qq2009        "TXGuiFoundation" single chat: Static → MacromediaFlashPlayerActiveX,
//                     plus a RichEdit20W input box; history kept in a memory record (below)
//       qq2009group   "TXGuiFoundation" with the group style pattern, no Flash child; input
//                     box and memory record as qq2009
//       txpanel       "TXGuiFoundation" without Flash child whose styles differ from the group
//                     pattern (like the client's main panel)
//       fetion        "WindowsForms10.Window.8.app.0.<suffix>" chat, usual layout
//       fetiondeep    the same with the history box one level deeper
//       fetiontip     Fetion window titled "contact_tip_widget" (the title field is ignored)
//       fetionbutton  Fetion window with a button at its top level
//       baidu         "BaseGui" chat without children; history kept in a memory record
//       baiduchild    "BaseGui" window with a child window
//     options: group (Fetion: a STATIC child at the top level), late=<ms> (the title is set
//       <ms> after creation; the window starts untitled; Fetion kinds default to 30, late=0
//       sets it at once), hidden, min, max (at most one of these three), layered=<alpha>,
//       at=<x>,<y>,<w>,<h>, noactivate (shown without
//       taking the activation, as a chat that pops up on an incoming message)
//
// Behaviours (<hwnd>: a window of the simulator, in decimal or 0x hex, or "last" for the
// window the latest open or main command made):
//   append|<hwnd>|<text>     append to the history (control text, or the memory record; then
//                            the chat window gets a message of its own to show the new text)
//   record|<hwnd>|<text>     memory kinds: append to the record only, with no message to any
//                            window (a change that only reading the record finds)
//   title|<hwnd>|<text>      change the title
//   show|<hwnd>|<min|max|restore|hide|show>
//   layered|<hwnd>|<alpha>   become translucent (WS_EX_LAYERED, alpha 0..255)
//   move|<hwnd>|<x>|<y>|<w>|<h>
//   block|<hwnd>|<dialog title>[|<ms>]   answer WM_CLOSE with a top-level "#32770" dialog of
//                            that title instead of closing, until answered ("" clears it); a
//                            close while the dialog shows does not make a second one. With
//                            <ms>, the client works that long inside WM_CLOSE before the dialog
//                            shows, pumping no messages (a busy client)
//   unblock|<hwnd>           dismiss the blocking dialog and clear the block (the user answered
//                            it; so does the dialog's own OK button or WM_CLOSE)
//   close|<hwnd>             the client destroys its window
//   hang|<ms>                stop pumping messages for <ms> (the sender is released first)
//   crash                    end the process at once with exit code 0xC0000005, no dialog
//   quit                     end normally
//
// Input boxes: Shift+Insert (WM_KEYDOWN VK_INSERT while Shift is held) with a bitmap on the
// clipboard pastes the picture, shown as the text "[图片 <width>x<height>]" at the caret.
//
// Memory records (kinds qq2009, qq2009group and baidu): each such window keeps a history
// record in the simulator's memory laid out like the clients' text objects:
//   +0 reserved (32 bits), +4 pointer to the UTF-16 characters, +8 length in bytes.
// The record stays at its address while the window lives (the characters may move when the
// text grows) and is freed with the window. Its address is the window property kHistoryProp;
// the input box handle of a qq2009 or qq2009group window is the window property kInputProp.
// The hook library reads them from inside the process when it answers requests 7 and 8.
#pragma once

#include <cstdint>

namespace fakeim {

inline constexpr wchar_t kControlClass[] = L"FakeImControl";
inline constexpr std::uintptr_t kCommandTag = 0x4D494B46; // 'FKIM'
inline constexpr wchar_t kHistoryProp[] = L"ImHistoryRecord";
inline constexpr wchar_t kInputProp[] = L"ImInputBox";

// Layout of a memory history record.
struct HistoryRecord {
    std::uint32_t reserved;
    std::uint32_t text;  // address of the UTF-16 characters
    std::uint32_t bytes; // length of the text in bytes
};
static_assert(sizeof(HistoryRecord) == 12);

} // namespace fakeim

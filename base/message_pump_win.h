// Letting pending messages run for a while on the UI thread (the program's "wait while the
// client catches up"). A WM_QUIT met on the way is posted again for the main loop.
#pragma once

#include <windows.h>

namespace parlix {

void PumpMessagesFor(DWORD milliseconds);

// A posted message waits in this thread's queue. Nothing is handled meanwhile: messages sent
// to the thread wait too (a peek would handle them inside whatever handler asks).
[[nodiscard]] bool PostedMessageWaiting() noexcept;

}  // namespace parlix

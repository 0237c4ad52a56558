// Letting pending messages run for a while on the UI thread (the program's "wait while the
// client catches up"). A WM_QUIT met on the way is posted again for the main loop.
#pragma once

#include <windows.h>

namespace parlix {

void PumpMessagesFor(DWORD milliseconds);

// Waits without running our own queue, but answers messages other threads send us meanwhile, as
// any SendMessage of ours would: a client whose hook answers us synchronously is never held up
// by our wait (nor its timers behind that answer).
void AnswerSentMessagesFor(DWORD milliseconds);

}  // namespace parlix

// Asking whether a posted message waits: the answer follows the queue, and a message another
// thread sends meanwhile is not handled by the asking (it would run inside the asker's handler).
#include "base/message_pump_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace parlix {
namespace {

std::atomic<bool> g_sentHandled{false};

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) {
        g_sentHandled = true;
        return 1;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(MessageQueue, APostedMessageIsSeenAndASentOneIsNotHandledByLooking) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ParlixQueueTest";
    ::RegisterClassW(&wc);
    const HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                        wc.hInstance, nullptr);
    ASSERT_TRUE(hwnd);
    MSG drain{};
    while (::PeekMessageW(&drain, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&drain);
    EXPECT_FALSE(PostedMessageWaiting());

    std::thread sender([hwnd] {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(hwnd, WM_APP, 0, 0, SMTO_NORMAL, 10000, &result);
    });
    // The sent message is waiting once the sender is blocked on it.
    const DWORD start = ::GetTickCount();
    while (!(HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && ::GetTickCount() - start < 10000)
        ::Sleep(1);
    ASSERT_TRUE(::PostMessageW(hwnd, WM_APP + 1, 0, 0));
    EXPECT_TRUE(PostedMessageWaiting());
    EXPECT_FALSE(g_sentHandled) << "a sent message was handled by looking at the queue";

    while (::PeekMessageW(&drain, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&drain);
    sender.join();
    EXPECT_TRUE(g_sentHandled);
    EXPECT_FALSE(PostedMessageWaiting());
    ::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace parlix

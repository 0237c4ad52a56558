// DetectWindow and the start-up scan on the live system: recognition decides, the sink
// attaches. A window already captured, or being examined, is never taken twice.
#pragma once

#include "capture/recognition.h"
#include "capture/window_tree.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <span>
#include <unordered_map>
#include <unordered_set>

namespace parlix {

// Receives recognised chat windows.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    [[nodiscard]] virtual bool IsCaptured(HWND window) const = 0;
    // Attaches the window; True when a tab was created.
    virtual bool AddTab(HWND window, const Recognition& recognition) = 0;
    // After a capture outside the start-up scan: show the main window if hidden, focus it and
    // the chat's input box.
    virtual void AfterCapture() = 0;
    // After the start-up scan: select the last tab, or show the notice that none exists.
    virtual void AfterScan() = 0;
};

class ChatDetector {
public:
    using ProcessIds = std::function<std::span<const std::uint32_t>()>;
    ChatDetector(WindowTree& tree, ProcessIds imProcessIds, CaptureSink& sink)
        : tree_(tree), imProcessIds_(std::move(imProcessIds)), sink_(sink) {}
    ChatDetector(const ChatDetector&) = delete;
    ChatDetector& operator=(const ChatDetector&) = delete;
    ~ChatDetector();

    // True when the window was recognised and handed to the sink. A Fetion window reported
    // while the program runs gets its title only after it shows: it is examined when the
    // client's wait has passed, on a timer, and false is returned for now.
    bool DetectWindow(HWND window, bool fromScan);
    // Captures the chat windows that existed before the program started.
    void ScanExisting();

private:
    bool Detect(HWND window, bool fromScan, bool waited);
    static void CALLBACK OnWaited(HWND, UINT, UINT_PTR timer, DWORD);

    WindowTree& tree_;
    ProcessIds imProcessIds_;
    CaptureSink& sink_;
    std::unordered_set<HWND> examining_;
    // thread timer → the Fetion window it waits for and when that window was reported
    std::unordered_map<UINT_PTR, std::pair<HWND, DWORD>> waiting_;
};

}  // namespace parlix

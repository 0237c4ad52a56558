#include "capture/detect_win.h"

#include "base/error_report_win.h"
#include "base/window_text_win.h"
#include "capture/window_tree_win.h"

#include <vector>

namespace parlix {

namespace {

// The Fetion client's title wait, spent on a timer instead of inside recognition.
constexpr UINT kFetionTitleWaitMs = 100;
// How long past that wait a still untitled window is looked at again, and how often.
constexpr DWORD kFetionLateTitleMs = 1100;
constexpr UINT kFetionTitlePollMs = 50;

// The live tree without its wait: used once the wait has passed on the timer.
class WaitedTree final : public WindowTree {
public:
    explicit WaitedTree(WindowTree& tree) : tree_(tree) {}
    std::wstring Title(Hwnd w) const override { return tree_.Title(w); }
    std::wstring ClassName(Hwnd w) const override { return tree_.ClassName(w); }
    std::uint32_t Style(Hwnd w) const override { return tree_.Style(w); }
    std::uint32_t ExStyle(Hwnd w) const override { return tree_.ExStyle(w); }
    std::uint32_t ProcessId(Hwnd w) const override { return tree_.ProcessId(w); }
    std::uint32_t ThreadId(Hwnd w) const override { return tree_.ThreadId(w); }
    Hwnd FindChild(Hwnd parent, Hwnd after, std::optional<std::wstring_view> className,
                   std::optional<std::wstring_view> title) const override {
        return tree_.FindChild(parent, after, className, title);
    }
    // Deliberately nothing: the client's title wait was spent on the detector's timer (re-armed
    // while the title was still empty), so recognition reads the window at once.
    void Wait(int) override {}

private:
    WindowTree& tree_;
};

// The detectors whose timers run (one in the program; tests may make more).
std::unordered_set<ChatDetector*> g_detectors;

}  // namespace

ChatDetector::~ChatDetector() {
    for (const auto& entry : waiting_) ::KillTimer(nullptr, entry.first);
    g_detectors.erase(this);
}

bool ChatDetector::DetectWindow(HWND window, bool fromScan) {
    bool captured = false;
    Trapped(L"modProc", L"DetectWindow", false, [&] { captured = Detect(window, fromScan, false); });
    return captured;
}

void CALLBACK ChatDetector::OnWaited(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    for (ChatDetector* d : g_detectors) {
        const auto it = d->waiting_.find(timer);
        if (it == d->waiting_.end()) continue;
        const auto [window, since] = it->second;
        d->waiting_.erase(it);
        // A busy client sets its title later: it gets up to a second more, so that a late title
        // is still cut to the contact's name and a late tip widget is still refused.
        if (::IsWindow(window) && WindowTitle(window).empty() && ::GetTickCount() - since < kFetionLateTitleMs) {
            if (const UINT_PTR again = ::SetTimer(nullptr, 0, kFetionTitlePollMs, OnWaited)) {
                d->waiting_.emplace(again, std::pair{window, since});
                return;
            }
        }
        Trapped(L"modProc", L"DetectWindow", false, [&] { d->Detect(window, false, true); });
        return;
    }
}

bool ChatDetector::Detect(HWND window, bool fromScan, bool waited) {
    if (!window || sink_.IsCaptured(window) || examining_.contains(window)) return false;
    for (const auto& entry : waiting_)
        if (entry.second.first == window) return false;
    if (!fromScan && !waited && IsFetionClass(WindowClass(window)) &&
        IsInList(tree_.ProcessId(FromHwnd(window)), imProcessIds_())) {
        // The UI thread goes on meanwhile; the window is examined when the wait is over.
        if (const UINT_PTR timer = ::SetTimer(nullptr, 0, kFetionTitleWaitMs, OnWaited)) {
            waiting_.emplace(timer, std::pair{window, ::GetTickCount()});
            g_detectors.insert(this);
            return false;
        }
    }
    {
        examining_.insert(window);
        struct Done {
            std::unordered_set<HWND>& set;
            HWND w;
            ~Done() { set.erase(w); }
        } done{examining_, window};
        WaitedTree waitedTree(tree_);
        WindowTree& tree = waited ? static_cast<WindowTree&>(waitedTree) : tree_;
        const auto recognition = Recognize(tree, FromHwnd(window), imProcessIds_());
        if (!recognition || !::IsWindow(window)) return false;
        if (!sink_.AddTab(window, *recognition)) return false;
    }
    // The examination is over before the main window comes forward: what that handles meanwhile
    // (the tab popped out and the window's merge button clicked) may ask for the window again.
    if (!fromScan) sink_.AfterCapture();
    return true;
}

namespace {
BOOL CALLBACK CollectTopLevel(HWND w, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}
}  // namespace

void ChatDetector::ScanExisting() {
    // Fetion windows first, from a snapshot of the top-level windows.
    std::vector<HWND> all;
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all) {
        if (ScanSkipsTitle(WindowTitle(w))) continue;
        if (IsFetionClass(WindowClass(w))) DetectWindow(w, true);
    }
    // Then each class in turn; a capture takes the window off the top level, so the walk
    // starts again. Windows already captured are skipped, so the walk always ends.
    for (const wchar_t* cls : {L"#32770", L"BaseGui", L"TXGuiFoundation"}) {
        HWND w = nullptr;
        while ((w = ::FindWindowExW(nullptr, w, cls, nullptr)) != nullptr) {
            if (DetectWindow(w, true)) w = nullptr;
        }
    }
    sink_.AfterScan();
}

}  // namespace parlix

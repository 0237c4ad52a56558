#include "capture/detect_win.h"

#include "base/error_report_win.h"
#include "base/window_text_win.h"
#include "capture/window_tree_win.h"

#include <vector>

namespace parlix {

bool ChatDetector::DetectWindow(HWND window, bool fromScan) {
    bool captured = false;
    Trapped(L"modProc", L"DetectWindow", false, [&] { captured = Detect(window, fromScan); });
    return captured;
}

bool ChatDetector::Detect(HWND window, bool fromScan) {
    if (!window || sink_.IsCaptured(window) || examining_.contains(window)) return false;
    examining_.insert(window);
    struct Done {
        std::unordered_set<HWND>& set;
        HWND w;
        ~Done() { set.erase(w); }
    } done{examining_, window};

    const auto recognition = Recognize(tree_, FromHwnd(window), imProcessIds_());
    if (!recognition || !::IsWindow(window)) return false;
    if (!sink_.AddTab(window, *recognition)) return false;
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

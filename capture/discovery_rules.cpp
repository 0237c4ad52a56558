#include "capture/discovery_rules.h"

#include "capture/recognition.h"

#include <algorithm>
#include <cwctype>
#include <string>

namespace parlix {
namespace {

// Unset fields are "any" (not tested).
constexpr ClientSearch kSearches[] = {
    {.className = L"#32770", .childClass = L"Tencent_QQBar"}, // QQ up to 2008
    {.className = L"TXGuiFoundation", .title = L"QQ2009 Preview"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009 Beta"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009 Beta2"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009 正式版"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009 正式版 SP1"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009 正式版 SP3"},
    {.className = L"TXGuiFoundation", .title = L"QQ2009 SP3"},
    {.title = L"Fetion 2008", .fetionClass = true},
    {.title = L"Fetion 2008 奥运版", .fetionClass = true},
    {.className = L"#32770", .childClass = L"Tencent_BarMgr_Class_Ver1.0"}, // TM
    {.className = L"TXGuiFoundation", .title = L"TM2008 Beta1"},
    {.className = L"TXGuiFoundation", .title = L"TM2009 Beta"},
    {.className = L"TXGuiFoundation", .title = L"TM2009 Beta2"},
    {.className = L"TXGuiFoundation", .title = L"TM2009"},
    {.className = L"BaseGui"},                         // Baidu Hi
    {.className = L"#32770", .toolbarAndPanel = true}, // older QQ
};

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return out;
}

} // namespace

std::span<const ClientSearch> ClientSearches() noexcept {
    return kSearches;
}

bool PassesClientSearch(const WindowTree& tree, Hwnd window, const ClientSearch& search) {
    if (search.fetionClass && !IsFetionClass(tree.ClassName(window))) return false;
    if (search.toolbarAndPanel) {
        const Hwnd toolbar = tree.FindChild(window, Hwnd{}, L"ToolbarWindow32", std::nullopt);
        const Hwnd panel = tree.FindChild(window, Hwnd{}, L"AfxWnd42", std::nullopt);
        return toolbar && panel && tree.Title(toolbar).empty();
    }
    // Even a search without a child class needs a child: the first one, untitled.
    const Hwnd child = tree.FindChild(window, Hwnd{}, search.childClass, search.childTitle);
    return child && tree.Title(child).empty();
}

std::vector<Hwnd> FindClientMainWindows(const WindowTree& tree) {
    std::vector<Hwnd> found;
    for (const ClientSearch& search : ClientSearches()) {
        for (Hwnd w = tree.FindChild(Hwnd{}, Hwnd{}, search.className, search.title); w;
             w = tree.FindChild(Hwnd{}, w, search.className, search.title)) {
            if (PassesClientSearch(tree, w, search)) found.push_back(w);
        }
    }
    return found;
}

bool ClientList::AddThread(std::uint32_t threadId) {
    if (IsInList(threadId, threads_)) return false;
    threads_.push_back(threadId);
    return true;
}

bool ClientList::AddProcess(std::uint32_t processId) {
    if (IsInList(processId, processes_)) return false;
    processes_.push_back(processId);
    return true;
}

bool ImNameMatches(std::wstring_view configuredName, std::wstring_view exeName) {
    // Every name starts with "": an empty setting would make any process the client.
    if (configuredName.empty()) return false;
    std::wstring name = Lower(configuredName);
    // A configured "fetion.exe" runs as "fetionfx.exe".
    if (name == L"fetion.exe") name = L"fetionfx.exe";
    return Lower(exeName).starts_with(name);
}

} // namespace parlix

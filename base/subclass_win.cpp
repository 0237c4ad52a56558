#include "base/subclass_win.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace parlix {
namespace {

struct Entry {
    SUBCLASSPROC proc;
    UINT_PTR id;
    DWORD_PTR data;
    bool removed;
};

// The subclasses of one window, oldest first. Entries are only marked while a message is
// being handled and taken out once none is.
struct Chain {
    WNDPROC original = nullptr;
    std::vector<Entry> entries;
    int busy = 0;  // messages of this window being handled
    bool destroyed = false;
};

std::mutex g_lock;
std::unordered_map<HWND, std::shared_ptr<Chain>>& Chains() {
    static auto* chains = new std::unordered_map<HWND, std::shared_ptr<Chain>>;  // outlives every window
    return *chains;
}

std::shared_ptr<Chain> Find(HWND hwnd) {
    std::lock_guard lock(g_lock);
    const auto it = Chains().find(hwnd);
    return it == Chains().end() ? nullptr : it->second;
}

// The subclass procedures running on this thread: which window, which entry.
struct Frame {
    HWND hwnd;
    std::shared_ptr<Chain> chain;
    std::size_t index;
};
thread_local std::vector<Frame> t_frames;

// Calls the newest live entry below `below`, else the window's own procedure.
LRESULT CallBelow(HWND hwnd, const std::shared_ptr<Chain>& chain, std::size_t below, UINT msg, WPARAM wParam,
                  LPARAM lParam) {
    for (std::size_t i = below; i-- > 0;) {
        const Entry e = chain->entries[i];
        if (e.removed) continue;
        t_frames.push_back({hwnd, chain, i});
        struct Pop {
            ~Pop() { t_frames.pop_back(); }
        } pop;
        return e.proc(hwnd, msg, wParam, lParam, e.id, e.data);
    }
    return ::CallWindowProcW(chain->original, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Drops removed entries; with none left, gives the window its own procedure back (when ours
// is still the one it calls) or, once it is destroyed, forgets it.
void Compact(HWND hwnd, const std::shared_ptr<Chain>& chain) {
    if (chain->busy > 0) return;
    const bool destroyed = chain->destroyed;
    std::erase_if(chain->entries, [](const Entry& e) { return e.removed; });
    if (!chain->entries.empty() && !destroyed) return;
    if (!destroyed) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != Dispatch) return;
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->original));
    }
    std::lock_guard lock(g_lock);
    const auto it = Chains().find(hwnd);
    if (it != Chains().end() && it->second == chain) Chains().erase(it);
}

LRESULT CALLBACK Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<Chain> chain = Find(hwnd);
    if (!chain) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    ++chain->busy;
    struct Done {
        HWND hwnd;
        const std::shared_ptr<Chain>& chain;
        UINT msg;
        ~Done() {
            --chain->busy;
            if (msg == WM_NCDESTROY) {
                chain->destroyed = true;
                for (Entry& e : chain->entries) e.removed = true;
            }
            Compact(hwnd, chain);
        }
    } done{hwnd, chain, msg};
    return CallBelow(hwnd, chain, chain->entries.size(), msg, wParam, lParam);
}

}  // namespace

bool AddSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    // Like the common controls: only the window's own thread subclasses it.
    if (!proc || !::IsWindow(hwnd) || ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId())
        return false;
    std::shared_ptr<Chain> chain = Find(hwnd);
    if (chain) {
        for (Entry& e : chain->entries) {
            if (!e.removed && e.proc == proc && e.id == id) {
                e.data = data;
                return true;
            }
        }
        chain->entries.push_back({proc, id, data, false});
        return true;
    }
    chain = std::make_shared<Chain>();
    chain->entries.push_back({proc, id, data, false});
    {
        std::lock_guard lock(g_lock);
        Chains()[hwnd] = chain;
    }
    chain->original =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Dispatch)));
    if (chain->original) return true;
    std::lock_guard lock(g_lock);
    Chains().erase(hwnd);
    return false;
}

bool RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
    const std::shared_ptr<Chain> chain = Find(hwnd);
    if (!chain) return false;
    for (Entry& e : chain->entries) {
        if (!e.removed && e.proc == proc && e.id == id) {
            e.removed = true;
            Compact(hwnd, chain);
            return true;
        }
    }
    return false;
}

LRESULT CallNextSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    for (auto it = t_frames.rbegin(); it != t_frames.rend(); ++it) {
        if (it->hwnd != hwnd) continue;
        const std::shared_ptr<Chain> chain = it->chain;
        return CallBelow(hwnd, chain, it->index, msg, wParam, lParam);
    }
    // Not from inside a subclass procedure of this window: straight to the window's own.
    if (const std::shared_ptr<Chain> chain = Find(hwnd))
        return ::CallWindowProcW(chain->original, hwnd, msg, wParam, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace parlix

#include "tests/support/windows.h"

#include "base/scoped_win.h"
#include "base/window_text_win.h"

#include <objidl.h>
#include <gdiplus.h>

namespace parlix::test {

WindowFacts ReadFacts(HWND hwnd) {
    WindowFacts f;
    f.hwnd = hwnd;
    if (!::IsWindow(hwnd)) return f;
    f.parent = ::GetAncestor(hwnd, GA_PARENT);
    f.root = ::GetAncestor(hwnd, GA_ROOT);
    f.owner = ::GetWindow(hwnd, GW_OWNER);
    ::GetWindowRect(hwnd, &f.rect);
    f.style = ::GetWindowLongW(hwnd, GWL_STYLE);
    f.exStyle = ::GetWindowLongW(hwnd, GWL_EXSTYLE);
    f.visible = (f.style & WS_VISIBLE) != 0;
    f.iconic = ::IsIconic(hwnd) != FALSE;
    f.zoomed = ::IsZoomed(hwnd) != FALSE;
    f.title = WindowTitle(hwnd);
    f.className = WindowClass(hwnd);
    f.tid = ::GetWindowThreadProcessId(hwnd, &f.pid);
    return f;
}

namespace {
bool Matches(HWND w, const WindowQuery& q) {
    if (q.pid) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid != q.pid) return false;
    }
    if (!q.className.empty() && WindowClass(w) != q.className) return false;
    if (q.exactTitle || !q.title.empty()) {
        if (WindowTitle(w) != q.title) return false;
    }
    if (q.visibleOnly && !::IsWindowVisible(w)) return false;
    return true;
}

struct FindContext {
    const WindowQuery* q;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMatching(HWND w, LPARAM p) {
    auto* c = reinterpret_cast<FindContext*>(p);
    if (Matches(w, *c->q)) c->found.push_back(w);
    return TRUE;
}
}  // namespace

std::vector<HWND> FindTopLevel(const WindowQuery& q) {
    FindContext ctx{&q, {}};
    ::EnumWindows(CollectMatching, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitForWindow(const WindowQuery& q, std::chrono::milliseconds deadline) {
    return WaitFor(
        [&]() -> HWND {
            auto all = FindTopLevel(q);
            return all.empty() ? nullptr : all.front();
        },
        deadline);
}

std::vector<HWND> Children(HWND parent, const std::wstring& className) {
    std::vector<HWND> out;
    HWND w = nullptr;
    while ((w = ::FindWindowExW(parent, w, className.empty() ? nullptr : className.c_str(), nullptr)) != nullptr)
        out.push_back(w);
    return out;
}

HWND FocusOfThread(DWORD tid) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(tid, &info)) return nullptr;
    return info.hwndFocus;
}

namespace {
bool PngEncoder(CLSID* clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}
}  // namespace

bool SaveScreenshot(const std::wstring& path, HWND hwnd) {
    RECT r{0, 0, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (hwnd) ::GetWindowRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool ok = false;
    {
        ScopedWindowDc screen(nullptr);
        ScopedMemoryDc mem(::CreateCompatibleDC(screen.get()));
        ScopedBitmap bmp(::CreateCompatibleBitmap(screen.get(), w, h));
        {
            ScopedSelect sel(mem.get(), bmp.get());
            ::BitBlt(mem.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
        }
        CLSID png;
        if (PngEncoder(&png)) {
            Gdiplus::Bitmap image(bmp.get(), nullptr);
            ok = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

}  // namespace parlix::test

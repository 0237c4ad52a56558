// RAII owners for the Win32 handles the program creates. Captured chat windows are never
// owned: nothing here may wrap a window of another process.
#pragma once

#include <windows.h>

#include <utility>

namespace parlix {

// Owns one value of a handle type; Close is called once when the owner goes.
template <typename T, typename Traits>
class Scoped {
public:
    Scoped() noexcept = default;
    explicit Scoped(T value) noexcept : value_(value) {}
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : value_(other.release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Scoped() { reset(); }

    [[nodiscard]] T get() const noexcept { return value_; }
    [[nodiscard]] bool valid() const noexcept { return Traits::Valid(value_); }
    explicit operator bool() const noexcept { return valid(); }

    T release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) noexcept {
        if (Traits::Valid(value_)) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() noexcept { return nullptr; }
    static bool Valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using ScopedHandle = Scoped<HANDLE, KernelHandleTraits>;

template <typename G>
struct GdiObjectTraits {
    static G Invalid() noexcept { return nullptr; }
    static bool Valid(G h) noexcept { return h != nullptr; }
    static void Close(G h) noexcept { ::DeleteObject(h); }
};
using ScopedBitmap = Scoped<HBITMAP, GdiObjectTraits<HBITMAP>>;
using ScopedFont = Scoped<HFONT, GdiObjectTraits<HFONT>>;
using ScopedPen = Scoped<HPEN, GdiObjectTraits<HPEN>>;
using ScopedBrush = Scoped<HBRUSH, GdiObjectTraits<HBRUSH>>;
using ScopedRegion = Scoped<HRGN, GdiObjectTraits<HRGN>>;

struct MemoryDcTraits {
    static HDC Invalid() noexcept { return nullptr; }
    static bool Valid(HDC h) noexcept { return h != nullptr; }
    static void Close(HDC h) noexcept { ::DeleteDC(h); }
};
using ScopedMemoryDc = Scoped<HDC, MemoryDcTraits>;

struct HookTraits {
    static HHOOK Invalid() noexcept { return nullptr; }
    static bool Valid(HHOOK h) noexcept { return h != nullptr; }
    static void Close(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
};
using ScopedHook = Scoped<HHOOK, HookTraits>;

struct IconTraits {
    static HICON Invalid() noexcept { return nullptr; }
    static bool Valid(HICON h) noexcept { return h != nullptr; }
    static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};
using ScopedIcon = Scoped<HICON, IconTraits>;

struct ModuleTraits {
    static HMODULE Invalid() noexcept { return nullptr; }
    static bool Valid(HMODULE h) noexcept { return h != nullptr; }
    static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
using ScopedModule = Scoped<HMODULE, ModuleTraits>;

// A window this program created itself (never a captured one).
struct OwnWindowTraits {
    static HWND Invalid() noexcept { return nullptr; }
    static bool Valid(HWND h) noexcept { return h != nullptr; }
    static void Close(HWND h) noexcept {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};
using ScopedOwnWindow = Scoped<HWND, OwnWindowTraits>;

// GetDC/ReleaseDC pair.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    ~ScopedWindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// SelectObject that puts the previous object back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), previous_(::SelectObject(dc, obj)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace parlix

// Image lists come from comctl32; whoever instantiates ScopedImageList links it.
#include <commctrl.h>

namespace parlix {

struct ImageListTraits {
    static HIMAGELIST Invalid() noexcept { return nullptr; }
    static bool Valid(HIMAGELIST h) noexcept { return h != nullptr; }
    static void Close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};
using ScopedImageList = Scoped<HIMAGELIST, ImageListTraits>;

// A registry key this program opened or created. Never wrap a predefined root key
// (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, ...).
struct RegKeyTraits {
    static HKEY Invalid() noexcept { return nullptr; }
    static bool Valid(HKEY h) noexcept { return h != nullptr; }
    static void Close(HKEY h) noexcept { ::RegCloseKey(h); }
};
using ScopedRegKey = Scoped<HKEY, RegKeyTraits>;

}  // namespace parlix

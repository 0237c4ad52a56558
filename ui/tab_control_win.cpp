#include "ui/tab_control_win.h"

#include "base/dpi_win.h"
#include "base/error_report_win.h"
#include "base/subclass_win.h"
#include "ui/tab_index.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

namespace parlix {
namespace {

constexpr wchar_t kHostClass[] = L"Parlix.TabControl";
constexpr UINT_PTR kSubclassId = 1;
// Tab window: child, visible, clipping its siblings, focus on a button press.
constexpr DWORD kTabStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSONBUTTONDOWN;
// Captions are read whole (for MoveTab) up to this many characters.
constexpr size_t kLongestCaptionRead = 32768;

// A caption cut inside a surrogate pair would end in half a character: drop it.
void DropTrailingHighSurrogate(std::wstring& text) {
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
}

}  // namespace

// --- Host window -------------------------------------------------------------------------

bool TabControl::Host::Make(HWND parent, int x, int y, int width, int height) {
    if (!RegisterClassOnce(kHostClass, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
    return Create(kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, x, y, width,
                  height, parent) != nullptr;
}

LRESULT TabControl::Host::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY:
    case WM_RBUTTONUP:
        owner_.WindowProc(msg, wParam, lParam);
        break;
    case WM_SIZE:
        owner_.OnHostResized();
        break;
    case WM_SETFOCUS:
        // The host only holds the tab window: the focus belongs there.
        if (owner_.tab_) ::SetFocus(owner_.tab_);
        return 0;
    default:
        break;
    }
    return WindowBase::HandleMessage(msg, wParam, lParam);
}

// --- Lifetime ----------------------------------------------------------------------------

TabControl::TabControl() = default;

TabControl::~TabControl() {
    events_ = nullptr;
    Destroy();
    if (const HWND host = host_.Hwnd()) ::DestroyWindow(host);
}

bool TabControl::Create(HWND parent, int x, int y, int width, int height) {
    if (host_.Hwnd() || !parent) return false;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!host_.Make(parent, x, y, width, height)) return false;
    RECT client{};
    ::GetClientRect(host_.Hwnd(), &client);
    if (!Create(client.right, client.bottom)) return false;
    SetFont(L"宋体", 9, GB2312_CHARSET);
    return true;
}

bool TabControl::Create(int width, int height) {
    const HWND host = host_.Hwnd();
    if (!host) return false;
    Destroy();
    DWORD style = kTabStyle;
    if (bottom_) style |= TCS_BOTTOM;
    if (!roll_) style |= TCS_MULTILINE;
    tab_ = ::CreateWindowExW(0, WC_TABCONTROLW, nullptr, style, 0, 0, width, height, host, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (!tab_) return false;
    AddSubclass(tab_, TabSubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (currentFont_) Send(WM_SETFONT, reinterpret_cast<WPARAM>(currentFont_), TRUE);
    return true;
}

void TabControl::Destroy() {
    if (tab_) {
        const HWND tab = std::exchange(tab_, nullptr);
        // Unhook first, so that no event comes out of the window's destruction.
        RemoveSubclass(tab, TabSubclassProc, kSubclassId);
        ::DestroyWindow(tab);
    }
    imageList_.reset();
}

// --- Observers ---------------------------------------------------------------------------

LRESULT CALLBACK TabControl::TabSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR refData) noexcept {
    auto* self = reinterpret_cast<TabControl*>(refData);
    if (msg == WM_NCDESTROY) {
        // Destroyed from outside (with the host or its parent): forget the handle.
        RemoveSubclass(hwnd, TabSubclassProc, id);
        if (self->tab_ == hwnd) self->tab_ = nullptr;
        return CallNextSubclass(hwnd, msg, wParam, lParam);
    }
    Trapped(L"TabControl", L"TabWindowProc", false, [&] { self->TabWindowProc(msg, wParam, lParam); });
    // A handler may have destroyed the control: from here on only the window is used.
    return CallNextSubclass(hwnd, msg, wParam, lParam);
}

void TabControl::WindowProc(UINT msg, WPARAM /*wParam*/, LPARAM lParam) {
    if (!events_) return;
    if (msg == WM_RBUTTONUP) {
        events_->RButtonClickedWindow();
        return;
    }
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    // Only the tab window's own notices: it also passes on those of its children (the
    // up-down arrows of a rolling strip).
    if (msg != WM_NOTIFY || !header || !tab_ || header->hwndFrom != tab_) return;
    if (header->code == TCN_SELCHANGE) events_->Changed(Selected());
    else if (header->code == NM_CLICK) events_->LButtonClicked();
}

void TabControl::TabWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!events_) return;
    // Signed: with the mouse captured, points left of or above the window are negative.
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (msg) {
    case WM_MOUSEMOVE:
        events_->MouseMove(static_cast<int>(wParam), x, y, HitTest(x, y));
        break;
    case WM_LBUTTONDOWN:
        events_->MouseDown(x, y, HitTest(x, y));
        break;
    case WM_LBUTTONUP:
        events_->MouseUp(x, y, HitTest(x, y));
        break;
    case WM_LBUTTONDBLCLK:
        events_->LButtonDBLClicked();
        break;
    case WM_RBUTTONUP:
        events_->RButtonClicked(HitTest(x, y));
        break;
    case WM_MBUTTONUP:
        events_->MButtonClicked(HitTest(x, y));
        break;
    default:
        break;
    }
}

void TabControl::OnHostResized() {
    if (!tab_) return;
    RECT client{};
    ::GetClientRect(host_.Hwnd(), &client);
    ::MoveWindow(tab_, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT TabControl::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return tab_ ? ::SendMessageW(tab_, msg, wParam, lParam) : 0;
}

int TabControl::HitTest(int x, int y) const {
    TCHITTESTINFO info{{x, y}, 0};
    return tab_ ? static_cast<int>(Send(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info))) : -1;
}

// --- Items -------------------------------------------------------------------------------

int TabControl::AddItem(std::wstring_view caption, int position) {
    if (!tab_) return -1;
    if (position < 0) position = count();
    std::wstring text(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    return static_cast<int>(Send(TCM_INSERTITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item)));
}

void TabControl::Clear() { Send(TCM_DELETEALLITEMS, 0, 0); }

void TabControl::DelItem(int position) {
    if (!tab_) return;
    const int before = Selected();
    const bool deleted = Send(TCM_DELETEITEM, static_cast<WPARAM>(position), 0) != 0;
    // The tabs after it move left and the row ends earlier: all of it is painted again.
    if (deleted) ::InvalidateRect(tab_, nullptr, FALSE);
    Selected(tabs::SelectionAfterDelete(before, deleted ? position : -1, count()));
}

namespace {

// Caption of a tab read through a buffer of `capacity` characters (NUL included); false when
// there is no such tab.
bool ReadCaption(HWND tab, int position, size_t capacity, std::wstring& out) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(capacity);
    if (!::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item)))
        return false;
    // The control may point at text of its own instead of filling the buffer.
    const wchar_t* text = item.pszText ? item.pszText : buffer.data();
    out.assign(text, ::wcsnlen(text, capacity - 1));
    return true;
}

}  // namespace

std::wstring TabControl::GetItemText(int position) const {
    std::wstring text;
    if (!tab_ || !ReadCaption(tab_, position, kMaxCaption + 1, text)) return {};
    DropTrailingHighSurrogate(text);
    return text;
}

bool TabControl::SetItemText(int position, std::wstring_view caption) {
    std::wstring text(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    const bool set = Send(TCM_SETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item)) != 0;
    // A new width moves every tab after it and the end of the row: all of it is painted again.
    if (set) ::InvalidateRect(tab_, nullptr, FALSE);
    return set;
}

int TabControl::GetItemImage(int position) const {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    if (!Send(TCM_GETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
}

bool TabControl::SetItemImage(int image, int position) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = image;
    return Send(TCM_SETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item)) != 0;
}

bool TabControl::HilightItem(int position, bool highlight) {
    return Send(TCM_HIGHLIGHTITEM, static_cast<WPARAM>(position), MAKELPARAM(highlight ? TRUE : FALSE, 0)) != 0;
}

bool TabControl::IsHilighted(int position) const {
    TCITEMW item{};
    item.mask = TCIF_STATE;
    item.dwStateMask = TCIS_HIGHLIGHTED;
    if (!Send(TCM_GETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item))) return false;
    return (item.dwState & TCIS_HIGHLIGHTED) != 0;
}

void TabControl::MoveTab(int from, int to) {
    const int n = count();
    if (!tab_ || from < 0 || from >= n) return;
    const int selected = Selected();
    // The whole caption travels, not only what GetItemText shows.
    std::wstring caption;
    for (size_t capacity = 256;; capacity *= 2) {
        if (!ReadCaption(tab_, from, capacity, caption)) return;
        if (caption.size() < capacity - 1 || capacity >= kLongestCaptionRead) break;
    }
    const int image = GetItemImage(from);
    const bool lit = IsHilighted(from);

    const int inserted = AddItem(caption, std::clamp(to, 0, n));
    if (inserted < 0) return;
    SetItemImage(image, inserted);
    if (lit) HilightItem(inserted, true);
    // The copy pushed the original one place right when it went in at or before it.
    Send(TCM_DELETEITEM, static_cast<WPARAM>(inserted <= from ? from + 1 : from), 0);
    Selected(tabs::IndexAfterMove(selected, from, tabs::MovedTabIndex(from, inserted)));
}

int TabControl::count() const { return tab_ ? static_cast<int>(Send(TCM_GETITEMCOUNT, 0, 0)) : 0; }

// --- Selection and styles ----------------------------------------------------------------

int TabControl::Selected() const { return tab_ ? static_cast<int>(Send(TCM_GETCURSEL, 0, 0)) : -1; }

void TabControl::Selected(int position) {
    if (!tab_ || position < 0) return;
    Send(TCM_SETCURSEL, static_cast<WPARAM>(position), 0);
    if (events_) events_->Changed(Selected());
}

void TabControl::Bottom(bool value) {
    bottom_ = value;
    SetStyleBit(TCS_BOTTOM, value);
}

void TabControl::Roll(bool value) {
    roll_ = value;
    SetStyleBit(TCS_MULTILINE, !value);
}

void TabControl::SetStyleBit(DWORD bit, bool on) {
    if (!tab_) return;
    const auto style = static_cast<DWORD>(::GetWindowLongW(tab_, GWL_STYLE));
    const DWORD updated = on ? (style | bit) : (style & ~bit);
    if (updated == style) return;
    // The control lays its tabs out again on WM_STYLECHANGED; the whole window needs repainting.
    ::SetWindowLongW(tab_, GWL_STYLE, static_cast<LONG>(updated));
    ::SetWindowPos(tab_, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ::InvalidateRect(tab_, nullptr, TRUE);
}

// --- Geometry ----------------------------------------------------------------------------

RECT TabControl::GetAdjustRect() const {
    RECT area{};
    if (!tab_) return area;
    // From an empty window rectangle the control answers its margins: left and top positive,
    // right and bottom negative.
    RECT margins{};
    Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&margins));
    RECT window{};
    ::GetWindowRect(tab_, &window);
    POINT origin{window.left + margins.left, window.top + margins.top};
    if (const HWND parent = ::GetParent(host_.Hwnd())) ::ScreenToClient(parent, &origin);
    area.left = origin.x;
    area.top = origin.y;
    area.right = area.left + (window.right - window.left) - margins.left + margins.right;
    area.bottom = area.top + (window.bottom - window.top) - margins.top + margins.bottom;
    return area;
}

int TabControl::GetHeaderHeight() const {
    if (!tab_) return 0;
    RECT first{};
    Send(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    const auto rows = static_cast<int>(Send(TCM_GETROWCOUNT, 0, 0));
    return rows * (first.bottom - first.top);
}

int TabControl::GetHeaderTop() const {
    const int selected = Selected();
    return selected < 0 ? 0 : GetItemRect(selected).top;
}

RECT TabControl::GetItemRect(int position) const {
    RECT rect{};
    // Out-of-range indexes are kept away from the control: a multi-line tab window dereferences
    // them unchecked.
    if (!tab_ || position < 0 || position >= count()) return rect;
    Send(TCM_GETITEMRECT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

RECT TabControl::GetRect() const {
    RECT rect{};
    if (tab_) ::GetWindowRect(tab_, &rect);
    return rect;
}

void TabControl::Move(int x, int y, int width, int height) {
    if (const HWND host = host_.Hwnd()) ::MoveWindow(host, x, y, width, height, TRUE);
}

void TabControl::SetToBottom() {
    if (const HWND host = host_.Hwnd())
        ::SetWindowPos(host, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// --- Image list --------------------------------------------------------------------------

HIMAGELIST TabControl::SetImageList(int width, int height, HBITMAP bitmap, COLORREF mask) {
    if (!tab_) return nullptr;
    ScopedImageList list(::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 0, 1));
    if (!list) return nullptr;
    if (bitmap) ::ImageList_AddMasked(list.get(), bitmap, mask);
    return SetImageList(std::move(list));
}

HIMAGELIST TabControl::SetImageList(ScopedImageList list) {
    if (!tab_ || !list) return nullptr;
    if (list.get() == imageList_.get()) {
        (void)list.release();  // already ours
        return imageList_.get();
    }
    Send(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
    // The previous list goes only now that the tab window has let go of it.
    imageList_ = std::move(list);
    return imageList_.get();
}

int TabControl::AddImage(HBITMAP bitmap, COLORREF mask) {
    if (!imageList_) return -1;
    return ::ImageList_AddMasked(imageList_.get(), bitmap, mask);
}

void TabControl::DelImgList() {
    if (!imageList_) return;
    Send(TCM_SETIMAGELIST, 0, 0);
    imageList_.reset();
    Redraw();
}

// --- Font, focus, repaint ----------------------------------------------------------------

bool TabControl::SetFont(std::wstring_view face, int size, int charset) {
    ScopedFont made = PointFont(face, size, FW_NORMAL, charset, Dpi());
    if (!made) return false;
    SetFont_Obj(made.get());
    font_ = std::move(made);
    fontFace_ = face;
    fontPoints_ = size;
    fontCharset_ = charset;
    return true;
}

int TabControl::Dpi() const { return dpi_ > 0 ? dpi_ : WindowDpi(host_.Hwnd()); }

void TabControl::SetDpi(int dpi) {
    dpi_ = dpi;
    if (font_ && currentFont_ == font_.get()) SetFont(std::wstring(fontFace_), fontPoints_, fontCharset_);
}

void TabControl::SetFont_Obj(HFONT font) {
    currentFont_ = font;
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // A font of ours that the tab window no longer uses can go.
    if (font != font_.get()) font_.reset();
}

void TabControl::Redraw() { Send(kWmTabRedraw, 0, 0); }

void TabControl::SetFocus() {
    if (const HWND host = host_.Hwnd()) ::SetFocus(host);
}

}  // namespace parlix

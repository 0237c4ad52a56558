#include "tools/demo_driver/doodle.h"

#include "base/scoped_win.h"
#include "tests/support/mouse_input.h"
#include "tests/support/windows.h"

#include <cmath>
#include <vector>

using namespace parlix::test;

namespace demo {

namespace {

HWND ChildWithText(HWND parent, const std::wstring& cls, const std::wstring& text) {
    for (HWND c : Children(parent, cls))
        if (ReadFacts(c).title == text) return c;
    return nullptr;
}

HWND BoardControl(HWND board, const std::wstring& cls, const std::wstring& text) {
    for (HWND panel : Children(board, L"Skribel.Panel"))
        if (HWND c = ChildWithText(panel, cls, text)) return c;
    return nullptr;
}

// The width list's entry, chosen as the user's click on it would.
void ChooseWidth(HWND board, int entry) {
    for (HWND panel : Children(board, L"Skribel.Panel"))
        for (HWND combo : Children(panel, L"ComboBox")) {
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(combo, CB_SETCURSEL, entry, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
            ::SendMessageTimeoutW(panel, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                                  reinterpret_cast<LPARAM>(combo), SMTO_ABORTIFHUNG, 2000, &ignored);
        }
}

bool Stroke(HWND canvas, const std::vector<POINT>& points) {
    if (points.size() < 2) return false;
    // Segment by segment: each piece starts where the last one ended, so the pencil joins them.
    bool ok = true;
    for (size_t i = 1; i < points.size(); ++i) ok = SendMouseDrag(canvas, {points[i - 1], points[i]}) && ok;
    return ok;
}

// A small picture for the clipboard: a sky-blue card with a yellow sun.
bool PictureOnClipboard() {
    const HDC screen = ::GetDC(nullptr);
    parlix::ScopedBitmap bitmap(::CreateCompatibleBitmap(screen, 56, 40));
    {
        parlix::ScopedMemoryDc dc(::CreateCompatibleDC(screen));
        const parlix::ScopedSelect into(dc.get(), bitmap.get());
        const RECT all{0, 0, 56, 40};
        const parlix::ScopedBrush sky(::CreateSolidBrush(RGB(120, 180, 240)));
        ::FillRect(dc.get(), &all, sky.get());
        const parlix::ScopedBrush sun(::CreateSolidBrush(RGB(255, 210, 40)));
        const parlix::ScopedSelect brush(dc.get(), sun.get());
        ::Ellipse(dc.get(), 18, 8, 42, 32);
    }
    ::ReleaseDC(nullptr, screen);
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const bool ok = ::SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
    if (ok) bitmap.release();
    ::CloseClipboard();
    return ok;
}

}  // namespace

int DrawOnDoodleBoard(const ParlixApp& app) {
    const HWND main = app.MainWindow();
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(main, WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    const HWND button = WaitFor([&] { return ChildWithText(main, L"Button", L"涂鸦板"); }, 10s);
    if (!button || !SendMouseClick(button)) return 1;
    const HWND board = WaitFor(
        [&] {
            for (HWND w : FindTopLevel({.className = L"Skribel.frmPaint", .visibleOnly = true})) return w;
            return HWND{};
        },
        5s);
    if (!board) return 1;
    const auto canvases = Children(board, L"Skribel.picPaint");
    if (canvases.empty()) return 1;
    const HWND canvas = canvases.front();

    // A wave with the pencil, width 3.
    ChooseWidth(board, 2);
    std::vector<POINT> wave;
    for (int x = 12; x <= 120; x += 4)
        wave.push_back({x, 46 + static_cast<LONG>(std::lround(18 * std::sin((x - 12) / 17.0)))});
    bool ok = Stroke(canvas, wave);
    // A rectangle, a circle and a line, width 2.
    ChooseWidth(board, 1);
    const auto tool = [&](const wchar_t* name) { return SendMouseClick(BoardControl(board, L"Button", name)); };
    ok = tool(L"矩形") && SendMouseDrag(canvas, {{140, 14}, {230, 90}, {210, 78}}) && ok;
    ok = tool(L"圆形") && SendMouseDrag(canvas, {{175, 46}, {200, 46}, {193, 46}}) && ok;
    ok = tool(L"直线") && SendMouseDrag(canvas, {{240, 80}, {300, 20}, {330, 14}}) && ok;
    // A pasted picture, moved to the right.
    if (PictureOnClipboard() && SendMouseClick(BoardControl(board, L"Button", L"粘贴"))) {
        const auto frames = WaitFor([&] { return Children(canvas, L"Skribel.imgPic"); }, 5s);
        if (!frames.empty()) ok = SendMouseDrag(frames.front(), {{5, 5}, {270, 45}}) && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace demo

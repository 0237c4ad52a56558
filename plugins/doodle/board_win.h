// frmPaint, the doodle board: a small always-on-top tool window docked under the main program's
// window, with the canvas, the tool buttons (pencil, line, rectangle, circle), the command bar
// (send, clear, pen width, pen and background colours, paste) and the pasted picture frames.
// "发送" puts the picture on the clipboard and pastes it into the current chat's input box with
// Shift+Insert. The board refuses to close (it only releases the toggle button); its owner
// destroys it.
#pragma once

#include "base/scoped_win.h"
#include "base/window_base_win.h"
#include "plugins/doodle/board_pen.h"
#include "plugins/doodle/board_rules.h"
#include "plugins/doodle/canvas_win.h"
#include "plugins/doodle/picture_frames_win.h"

#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace parlix::doodle {

inline constexpr wchar_t kBoardClass[] = L"Skribel.frmPaint";
inline constexpr wchar_t kBoardCaption[] = L"涂鸦板";
inline constexpr wchar_t kNoPictureText[] = L"剪贴板中没有图片数据。";
inline constexpr wchar_t kErrorTitle[] = L"出错啦~~";
inline constexpr UINT_PTR kDockTimer = 1;  // tmrMove
inline constexpr UINT kDockIntervalMs = 20;

// What the board reads of the host, each read answering "unknown" when it fails.
class BoardHost {
public:
    // The current chat's input box (SayHwnd of CurrentWin); null when there is no current tab.
    [[nodiscard]] virtual HWND SayHwnd() = 0;
    [[nodiscard]] virtual MainFacts ReadMain() = 0;

protected:
    ~BoardHost() = default;
};

class ToggleButton;

// The colour chooser: the chosen colour, nothing when cancelled.
using ColourChooser = std::function<std::optional<COLORREF>(HWND owner, COLORREF initial)>;
[[nodiscard]] std::optional<COLORREF> ShowColourChooser(HWND owner, COLORREF initial);

// Message boxes of the board (tests replace them so nothing blocks).
using BoardMessage = std::function<void(HWND owner, const std::wstring& text, const std::wstring& title, UINT type)>;

class Board final : public WindowBase, private CanvasEvents {
public:
    explicit Board(BoardHost& host, ColourChooser chooseColour = ShowColourChooser, BoardMessage message = {});
    ~Board() override;

    // Form_Load: the board exists hidden, its docking timer running.
    bool Load();
    // The button the board releases when asked to close and places while docking (may be null).
    void SetToggleButton(ToggleButton* button) noexcept { button_ = button; }
    void Visible(bool visible);

    // The user's commands, as the controls run them.
    void optTools_Click(int index);
    void cboWidth_Click(int entry);
    void lblColor_Click(int index);
    void cmdClear_Click();
    void cmdPaste_Click();
    void cmdSend_Click();
    // One tick of the docking timer.
    void tmrMove_Timer();
    // WM_DPICHANGED: the board takes the suggested rectangle (null: keeps its place) and lays out
    // its controls and font for the new dpi; the same dpi again changes nothing.
    void DpiChanged(int dpi, const RECT* suggested);
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }

    // Saving and opening a drawing's shapes (Ctrl+S, Ctrl+O on the canvas). Opening draws the
    // shapes over the picture and keeps them; a file that cannot be used changes nothing and
    // its reason is returned (empty on success).
    [[nodiscard]] std::wstring SaveDrawing(const std::filesystem::path& file) const;
    [[nodiscard]] std::wstring OpenDrawing(const std::filesystem::path& file);

    [[nodiscard]] Canvas& picPaint() noexcept { return picPaint_; }
    [[nodiscard]] const PictureFrames& imgPic() const noexcept { return imgPic_; }
    [[nodiscard]] const DrawObject& Shapes() const noexcept { return shapes_; }
    [[nodiscard]] const BoardPen& Pen() const noexcept { return pen_; }
    [[nodiscard]] BgrColor SwatchColour(int index) const noexcept { return swatch_[static_cast<size_t>(index & 1)]; }
    [[nodiscard]] HWND Control(int id) const noexcept { return ::GetDlgItem(id < kToolboxId ? bottom_ : toolbox_, id); }

    // Control ids.
    static constexpr int kSendId = 101, kClearId = 102, kWidthLabelId = 103, kWidthId = 104, kPenSwatchId = 105,
                         kBoardSwatchId = 106, kPasteId = 107, kToolboxId = 200;  // tools: kToolboxId + index

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool CreateControls();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnColourStatic(HDC dc, HWND label);
    void OnSize();
    // Places the controls inside the two panels and gives them the font, both for dpi_.
    void PlaceControls();
    [[nodiscard]] int Scale(int pixelsAt96) const noexcept;
    [[nodiscard]] std::wstring AskForPath(bool save) const;
    void SaveWithDialog();
    void OpenWithDialog();
    void Show(const std::wstring& text, UINT type);

    // CanvasEvents
    void CanvasMouseDown(unsigned button, Point twips) override;
    void CanvasMouseMove(unsigned buttons, Point twips) override;
    void CanvasMouseUp(unsigned button, Point twips) override;
    void CanvasKey(UINT key) override;

    BoardHost& host_;
    ColourChooser chooseColour_;
    BoardMessage message_;
    ToggleButton* button_ = nullptr;

    DrawObject shapes_;
    BoardPen pen_{shapes_};
    Canvas picPaint_;
    PictureFrames imgPic_;
    HWND toolbox_ = nullptr;  // picToolbox and picBottom: children of the board, destroyed with it
    HWND bottom_ = nullptr;
    std::array<BgrColor, 2> swatch_{kInitialPenColor, kInitialBoardColor};
    std::array<ScopedBrush, 2> swatchBrush_;
    DockState dock_;
    int dpi_ = 96;
    ScopedFont font_;  // the controls' font at dpi_; they hold it until the next dpi's replaces it
    bool sending_ = false;
};

// The board's window classes go before the plugin's module may be unloaded (no window of them
// may be left).
void UnregisterBoardClasses() noexcept;

}  // namespace parlix::doodle

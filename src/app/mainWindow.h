// The main window of the program, "TessorApp_2025": the frame with the menu bar, the tool box, the palette
// bar, the main view (canvas and rulers) and the status bar, which turns every command into work on the
// document, the selection, the tools and the views.
#pragma once
#include <windows.h>

#include <string>

#include "app/commandTable.h"
#include "document/selectionGeometry.h"
#include "panels/paletteWindow.h"
#include "panels/toolBox.h"
#include "views/canvasWindow.h"
#include "win/window.h"

inline constexpr wchar_t kMainWindowClass[] = L"TessorApp_2025";
inline constexpr int kMinimumTrackWidth = 330;
inline constexpr int kMinimumTrackHeight = 360;

class CMainWindow final : public CWindowBase {
public:
    // Registers the class and creates the window at the normal position of the saved placement.
    // Null on failure.
    HWND CreateMainWindow(const RECT& normalPosition, const std::wstring& title);

    // Places the child windows: the status bar, if shown, at the bottom; the tool box, if shown, along the
    // left or right edge; the palette bar, if shown, across the top or the bottom of the rest; the main view
    // takes what remains. Called on every WM_SIZE, also the ones the
    // palette posts.
    void LayoutChildren();

    // Asks whether to save a modified picture (Yes saves, No discards, Cancel keeps it): true when the
    // caller may go on and replace or drop the picture.
    bool AskSaveChanges();
    // Carries out command `id` as WM_COMMAND from the menu does, without the drag guard: its group's
    // handler from the command table; an identifier that is no command does nothing.
    void RunCommand(unsigned id);
    // Makes picture (taken over) the floating selection at the top-left corner with the rectangle
    // selection tool, first enlarging the picture to hold it.
    void PastePicture(HBITMAP picture);

    CCanvasWindow& Canvas() { return canvas_; }
    CToolBox& ToolBox() { return toolBox_; }
    HWND StatusBar() const { return statusBar_; }

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    // Keeps the window's placement for the settings, a minimised window as the state it restores to.
    void RememberPlacement();
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    void CreateStatusBar();

    // The handlers of the command groups, each true when it knew the command; the command table says
    // which group a command belongs to. File, edit and view commands have files of their own beside
    // mainCommands.cpp, the dialogs mainDialogCommands.cpp, printing, the shell and the web pages
    // mainShellCommands.cpp, the random and generated pictures mainExtrasCommands.cpp.
    bool RunFileCommand(unsigned id);
    bool RunEditCommand(unsigned id);
    bool RunViewCommand(unsigned id);
    void RunEffectCommand(unsigned id);
    void RunLanguageCommand(unsigned id);
    bool RunDialogCommand(unsigned id);
    bool RunFontsCommand(unsigned id);
    bool RunPrintCommand(unsigned id);
    bool RunShellCommand(unsigned id);
    bool RunExtrasCommand(unsigned id);
    bool RunWebCommand(unsigned id);
    // What the command table's rules read, as the program is now.
    CommandState CurrentState() const;
    void SizeStatusBar(int clientWidth);

    CToolBox toolBox_;
    CPaletteWindow palette_;
    CCanvasWindow canvas_;
    HWND statusBar_ = nullptr;
    NudgeStepper arrowKeySteps_;
    RECT pictureArea_{};  // the client area left to the picture by the palette bar
};

// Texts of the title: the name of a picture without a file, and the program's display name.
inline constexpr int kTextUntitled = 905;
inline constexpr int kTextProgramName = 19;
// The title of the main window showing a picture called `name`: the name, " - " and the program's name.
std::wstring DocumentTitle(const std::wstring& name);

// Makes a new white picture of the size in the settings (the default 800 x 600 when the stored size is
// not usable), without a file, and empties the history.
void StartBlankPicture();

// Text mode: the text tool is current and its edit window shows. The edit window then, else null.
HWND TextModeEditWindow();

// "m_open_lasst": open the most recent file at start when no picture is named on the command line.
extern bool openLastAtStart;

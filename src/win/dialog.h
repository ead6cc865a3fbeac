// The dialog base: modal and modeless dialogs from a resource or an in-memory template, bound to their
// object at WM_INITDIALOG and driven by the same message maps as windows. A dialog edits a plain data
// record held by the derived class: FillControls puts it into the controls, ReadControls takes it back
// on OK (and may refuse, which keeps the dialog open).
#pragma once
#include <windows.h>

#include <vector>

#include "win/window.h"

class CDialogBase : public CMessageTarget {
public:
    CDialogBase() = default;
    // A modeless dialog still open is unbound and destroyed.
    ~CDialogBase() override;

    // Runs a modal dialog until it is closed; returns the value given to Close, or -1 when the dialog
    // could not be created (also when the object is already bound).
    INT_PTR DoModal(HWND owner, int templateId, HINSTANCE instance = nullptr);
    INT_PTR DoModal(HWND owner, const DLGTEMPLATE* dialogTemplate);

    // Creates a modeless dialog; null on failure. The message loop passes its messages through
    // TranslateDialogMessage.
    HWND CreateModeless(HWND owner, int templateId, HINSTANCE instance = nullptr);
    HWND CreateModeless(HWND owner, const DLGTEMPLATE* dialogTemplate);

    // Ends the dialog with a result: EndDialog for a modal one, DestroyWindow for a modeless one.
    void Close(INT_PTR result);
    // The value the last modeless dialog was closed with.
    INT_PTR Result() const { return result_; }
    bool IsModal() const { return modal_; }

    // For the message loop: true when the message belonged to this open modeless dialog and was handled
    // there (keyboard navigation, default button); the loop then neither translates nor dispatches it.
    bool TranslateDialogMessage(MSG& message);

    // The dialog procedure of every dialog made here.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Puts the record into the controls; called at WM_INITDIALOG unless the map takes WM_INITDIALOG
    // itself (its handler then calls FillControls where it fits, e.g. after setting control ranges).
    virtual void FillControls() {}
    // Reads the controls back into the record on OK; false keeps the dialog open.
    virtual bool ReadControls() { return true; }

    // OK (ReadControls, then Close(IDOK)) and Cancel (Close(IDCANCEL)); other commands are left alone.
    // Used when the map has no WM_COMMAND line; a WM_COMMAND handler passes the ids it does not know on.
    LRESULT StandardCommand(WPARAM wParam, LPARAM lParam);

private:
    bool HandleByDefault(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Unbind();

    bool modal_ = false;
    INT_PTR result_ = 0;
};

// Builds a dialog template (DLGTEMPLATE with DS_SETFONT) in memory, for dialogs laid out in code.
// Coordinates are dialog units; every control is added as a visible child window.
class DialogTemplate {
public:
    // The predefined control classes, stored as atoms in the template.
    enum class Control : WORD {
        Button = 0x80,
        Edit = 0x81,
        Static = 0x82,
        ListBox = 0x83,
        ScrollBar = 0x84,
        ComboBox = 0x85
    };

    DialogTemplate(const wchar_t* title, DWORD style, short x, short y, short width, short height,
                   const wchar_t* fontName = L"MS Shell Dlg", WORD pointSize = 8);

    DialogTemplate& Add(Control control, WORD id, const wchar_t* text, DWORD style, short x, short y, short width,
                        short height, DWORD exStyle = 0);
    // A control of a registered class given by name ("msctls_trackbar32").
    DialogTemplate& Add(const wchar_t* className, WORD id, const wchar_t* text, DWORD style, short x, short y,
                        short width, short height, DWORD exStyle = 0);

    // Valid until the template is changed or destroyed.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    int ControlCount() const { return count_; }

private:
    void AddItemHeader(DWORD style, DWORD exStyle, short x, short y, short width, short height, WORD id);
    void AddString(const wchar_t* text);
    void AlignToDword();

    std::vector<WORD> words_;  // the template, DWORD-aligned from its start
    int count_ = 0;
};

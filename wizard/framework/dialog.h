// Modal dialogs built from dialog templates in the program's resources. One
// static dialog procedure serves every dialog: it finds the CDialog object
// through DWLP_USER and hands each message to the object's virtual handlers.
#pragma once

#include <windows.h>

#include <cstddef>

#include "window.h"

namespace tavrin {

class CDataExchange;

class CDialog : public CWnd {
public:
    // `parent` may be null: the dialog is then a top-level, ownerless window.
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    ~CDialog() override = default;

    // Creates the dialog from its template and runs its modal loop until
    // EndDialog. Returns the value given to EndDialog, or -1 when the dialog
    // cannot be created.
    INT_PTR DoModal();

    // Runs DoDataExchange: controls to members (true) or members to
    // controls (false). There is no validation, so it always succeeds.
    bool UpdateData(bool saveAndValidate = true);

    void EndDialog(int result);

    // The control `id` of this dialog (a null window when there is none).
    CWnd GetDlgItem(int id) const { return CWnd(::GetDlgItem(m_hWnd, id)); }

protected:
    // WM_INITDIALOG. The base pushes the members to the controls (which also
    // binds the DDX_Control wrappers). Return true to let the dialog manager
    // put the focus on the first tab stop.
    virtual bool OnInitDialog();
    // IDOK (the OK button, Enter): controls to members, then EndDialog(IDOK).
    virtual void OnOK();
    // IDCANCEL (the Cancel button, Esc, the close box): EndDialog(IDCANCEL)
    // without reading the controls.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    // A page's own command handlers, usually a DispatchCommand over its
    // command table. Return true when handled; IDOK and IDCANCEL that are
    // not handled here reach OnOK and OnCancel.
    virtual bool OnCommand(int id, int notifyCode);
    // Every WM_CTLCOLOR* message, WM_CTLCOLORDLG for the dialog itself
    // included; `kind` is one of CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC. The brush
    // returned paints the control's background; null leaves it to the
    // system. The base runs the system's default colour handling.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog(HWND hwnd);

    UINT m_templateId;
    HWND m_parent;
};

// One line of a page's command table: a control, the notification it sends,
// and the page's handler for it.
template <class Page>
struct CommandEntry {
    int id;
    int notifyCode;
    void (Page::*handler)();
};

// Calls the handler of the first table line that matches; false when none.
template <class Page, std::size_t N>
bool DispatchCommand(Page& page, const CommandEntry<Page> (&table)[N], int id, int notifyCode) {
    for (const CommandEntry<Page>& entry : table) {
        if (entry.id == id && entry.notifyCode == notifyCode) {
            (page.*entry.handler)();
            return true;
        }
    }
    return false;
}

}  // namespace tavrin

// Dialog data exchange: one direction per UpdateData, members to controls or
// controls to members. A control that the template does not have is skipped.
#pragma once

#include <windows.h>

#include "install_context.h"
#include "window.h"

namespace tavrin {

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate) : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control `id` of the dialog, or null.
    HWND Control(int id) const;

    CDialog* m_pDlgWnd;
    // true: controls to members; false: members to controls.
    bool m_bSaveAndValidate;
};

// The control's text (code page 936) and a text member.
void DDX_Text(CDataExchange* dx, int id, Text& value);
// The index of the checked radio button in the group that starts at
// `firstId` and runs up to the next control with WS_GROUP, counting radio
// buttons only; -1 when none is checked (or to uncheck them all).
void DDX_Radio(CDataExchange* dx, int firstId, int& index);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* dx, int id, int& state);
// Binds `control` to the control `id` the first time; later runs leave it.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

}  // namespace tavrin

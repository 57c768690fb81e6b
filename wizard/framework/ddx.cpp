#include "ddx.h"

#include "dialog.h"

namespace tavrin {

HWND CDataExchange::Control(int id) const { return ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id); }

void DDX_Text(CDataExchange* dx, int id, Text& value) {
    CWnd control(dx->Control(id));
    if (control.GetSafeHwnd() == nullptr) return;
    if (dx->m_bSaveAndValidate) {
        value = control.GetWindowText();
        return;
    }
    // Only a changed text is set, so pushing all members again (as the
    // licence page does on every screen) does not make the controls flicker.
    if (control.GetWindowText() != value) control.SetWindowText(value);
}

namespace {
bool IsRadioButton(HWND hwnd) {
    return (::SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}
bool StartsGroup(HWND hwnd) { return (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_GROUP) != 0; }
}  // namespace

void DDX_Radio(CDataExchange* dx, int firstId, int& index) {
    HWND first = dx->Control(firstId);
    if (first == nullptr) return;
    if (dx->m_bSaveAndValidate) index = -1;
    // The group follows the template's control order (the z order of the
    // children), not the controls' places on the screen.
    int position = 0;
    for (HWND hwnd = first; hwnd != nullptr; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
        if (hwnd != first && StartsGroup(hwnd)) break;
        if (!IsRadioButton(hwnd)) continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
        } else {
            ::SendMessageA(hwnd, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++position;
    }
}

void DDX_Check(CDataExchange* dx, int id, int& state) {
    HWND hwnd = dx->Control(id);
    if (hwnd == nullptr) return;
    if (dx->m_bSaveAndValidate) {
        state = static_cast<int>(::SendMessageA(hwnd, BM_GETCHECK, 0, 0));
        return;
    }
    ::SendMessageA(hwnd, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.GetSafeHwnd() != nullptr) return;
    control.Attach(dx->Control(id));
}

}  // namespace tavrin

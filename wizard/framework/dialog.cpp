#include "dialog.h"

#include <commctrl.h>

#include "app.h"
#include "constants.h"
#include "ddx.h"
#include "system_library.h"

namespace tavrin {

namespace {

// The templates use the progress bar class, which exists only once the
// common controls have registered it. The program itself never asks for
// that, so the dialog layer does it before it creates any dialog. The common
// controls are no known DLL: they come from the system folder by full path
// and are not imported, so that a comctl32.dll beside the program is never
// loaded.
void RegisterCommonControlClasses() {
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static bool registered = false;
    if (registered) return;
    HMODULE library = LoadSystemLibrary(kCommonControlsLibrary);
    if (library == nullptr) return;
    auto initCommonControlsEx = reinterpret_cast<InitCommonControlsExFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library, "InitCommonControlsEx")));
    if (initCommonControlsEx == nullptr) return;
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_PROGRESS_CLASS;
    registered = initCommonControlsEx(&init) != FALSE;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A modal dialog whose initialisation did not place it shows centred: over
// its owner when it has a visible one, otherwise in the work area of its
// monitor.
void CentreWindow(HWND hwnd) {
    RECT window;
    if (!::GetWindowRect(hwnd, &window)) return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoA(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    const RECT work = monitor.rcWork;
    RECT area = work;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);

    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = (area.left + area.right - width) / 2;
    int y = (area.top + area.bottom - height) / 2;
    // Keep the whole frame on the screen.
    if (x + width > work.right) x = work.right - width;
    if (x < work.left) x = work.left;
    if (y + height > work.bottom) y = work.bottom - height;
    if (y < work.top) y = work.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR CDialog::DoModal() {
    RegisterCommonControlClasses();
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId), m_parent,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnCommand(int, int) { return false; }

HBRUSH CDialog::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // The system's handling: the system text and background colours set into
    // the device context, and the matching system brush.
    return reinterpret_cast<HBRUSH>(::DefWindowProcA(m_hWnd, WM_CTLCOLORMSGBOX + kind, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(control)));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialog* self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        return self->HandleInitDialog(hwnd);
    }
    // Messages that come before WM_INITDIALOG (WM_SETFONT and the like) find
    // no object yet and get the dialog manager's default handling.
    CDialog* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }
    return self->HandleMessage(message, wParam, lParam);
}

INT_PTR CDialog::HandleInitDialog(HWND hwnd) {
    m_hWnd = hwnd;
    RECT before = {};
    ::GetWindowRect(hwnd, &before);
    const bool focusByDialogManager = OnInitDialog();
    RECT after = {};
    ::GetWindowRect(hwnd, &after);
    if (SameRect(before, after) && (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0) CentreWindow(hwnd);
    return focusByDialogManager ? TRUE : FALSE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int notifyCode = HIWORD(wParam);
        if (OnCommand(id, notifyCode)) return TRUE;
        if (notifyCode != BN_CLICKED) return FALSE;
        if (id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // A dialog procedure answers these with the brush itself.
        HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                  message - WM_CTLCOLORMSGBOX);
        return reinterpret_cast<INT_PTR>(brush);
    }
    default:
        return FALSE;
    }
}

}  // namespace tavrin

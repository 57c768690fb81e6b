// The start-up floor: the least a Win32 program must do to show one dialog.
// One empty modal dialog from a template built in memory; the close box (or
// Esc) ends it.
#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// A DLGTEMPLATE with no controls, no menu, the default class and an empty
// title; the template must be DWORD-aligned and followed by three empty
// WORD arrays.
struct EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    alignas(4) EmptyTemplate dialog = {};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    dialog.header.cx = 300;
    dialog.header.cy = 200;
    DialogBoxIndirectParamA(instance, &dialog.header, nullptr, EmptyDialogProc, 0);
    return 0;
}

// A window as the pages see it: a handle with the few operations they use.
// CWnd never owns the window: destroying the object leaves the window alone
// (a subclassed window gets its own procedure back).
#pragma once

#include <windows.h>

#include "install_context.h"

namespace tavrin {

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWnd();
    // Not copyable: a subclassed window points back at this very object.
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Binds this object to an existing window (no subclassing).
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach();

    bool EnableWindow(bool enable);
    bool ShowWindow(int command);
    void SetWindowText(const Text& text);
    Text GetWindowText() const;
    int GetDlgCtrlID() const;

    // Routes every message of `hwnd` through WindowProc of this object, which
    // by default hands it on to the window's own procedure. Fails when this
    // object already serves a window or `hwnd` is none.
    bool SubclassWindow(HWND hwnd);
    // Gives the window its own procedure back and detaches it.
    HWND UnsubclassWindow();

    HWND m_hWnd = nullptr;

protected:
    // A subclassed window's messages arrive here first.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's own procedure, as it was before subclassing.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_oldProc = nullptr;
};

}  // namespace tavrin

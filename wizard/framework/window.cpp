#include "window.h"

#include <vector>

namespace tavrin {

namespace {
// The window property that leads a subclassed window to its CWnd.
const char kOwnerProperty[] = "TavrinCWnd";
}  // namespace

CWnd::~CWnd() {
    if (m_oldProc != nullptr) UnsubclassWindow();
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    return hwnd;
}

bool CWnd::EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE) != 0; }

bool CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != 0; }

void CWnd::SetWindowText(const Text& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }

Text CWnd::GetWindowText() const {
    // The length counts bytes (code page 936); the buffer needs one more for
    // the terminating zero.
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return Text();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return Text(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

bool CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || m_oldProc != nullptr) return false;
    if (!::SetPropA(hwnd, kOwnerProperty, this)) return false;
    m_hWnd = hwnd;
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (m_oldProc == nullptr) {
        ::RemovePropA(hwnd, kOwnerProperty);
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

HWND CWnd::UnsubclassWindow() {
    if (m_oldProc == nullptr) return nullptr;
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    ::RemovePropA(m_hWnd, kOwnerProperty);
    m_oldProc = nullptr;
    return Detach();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_oldProc != nullptr) return ::CallWindowProcA(m_oldProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = static_cast<CWnd*>(::GetPropA(hwnd, kOwnerProperty));
    if (self == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window goes away: let its own procedure see the last message,
        // then leave nothing of ours on it.
        const WNDPROC own = self->m_oldProc;
        self->UnsubclassWindow();
        return ::CallWindowProcA(own, hwnd, message, wParam, lParam);
    }
    return self->WindowProc(message, wParam, lParam);
}

}  // namespace tavrin

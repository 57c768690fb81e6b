#include "controls.h"

#include <commctrl.h>

namespace tavrin {

int CButton::GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }

void CButton::SetCheck(int state) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(state), 0); }

void CProgressCtrl::SetRange(short lower, short upper) {
    ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int CProgressCtrl::SetStep(int step) {
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETSTEP, static_cast<WPARAM>(step), 0));
}

int CProgressCtrl::SetPos(int position) {
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

int CProgressCtrl::StepIt() { return static_cast<int>(::SendMessageA(m_hWnd, PBM_STEPIT, 0, 0)); }

int CProgressCtrl::GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }

}  // namespace tavrin

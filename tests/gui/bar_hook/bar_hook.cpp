// Loaded into the wizard by the GUI tests through a window hook on its GUI
// thread: after every message that moves a progress bar, the bar's position
// is appended to a log in shared memory that the test reads. The install run
// keeps the GUI thread busy from the Install click to the finish page, so
// the bar cannot be asked from outside while it moves.
#include <windows.h>

#include <commctrl.h>

#include "bar_log.h"

namespace {

tavrin::gui::BarLog* OpenLog() {
    static tavrin::gui::BarLog* log = nullptr;
    if (log != nullptr) return log;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, tavrin::gui::kBarLogName);
    if (mapping == nullptr) return nullptr;
    // The view (and so the mapping) stays for the life of the process.
    log = static_cast<tavrin::gui::BarLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(tavrin::gui::BarLog)));
    CloseHandle(mapping);
    return log;
}

bool MovesTheBar(UINT message) {
    return message == PBM_SETRANGE || message == PBM_SETRANGE32 || message == PBM_SETPOS ||
           message == PBM_DELTAPOS || message == PBM_STEPIT || message == PBM_SETSTEP;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK BarHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call != nullptr && MovesTheBar(call->message)) {
        tavrin::gui::BarLog* log = OpenLog();
        if (log != nullptr && log->count < tavrin::gui::kBarLogCapacity) {
            tavrin::gui::BarEvent& event = log->events[log->count];
            event.message = call->message;
            event.position = static_cast<int>(SendMessageA(call->hwnd, PBM_GETPOS, 0, 0));
            event.low = static_cast<int>(SendMessageA(call->hwnd, PBM_GETRANGE, TRUE, 0));
            event.high = static_cast<int>(SendMessageA(call->hwnd, PBM_GETRANGE, FALSE, 0));
            ++log->count;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The log that bar_hook.dll writes inside the wizard and the GUI tests read:
// one event per message that moved the install page's progress bar, in the
// order the bar got them, with the bar's state after the message.
#pragma once

namespace tavrin::gui {

// The name of the shared memory that holds the log (created by the test).
constexpr const char* kBarLogName = "Local\\TavrinGuiBarLog";
constexpr int kBarLogCapacity = 1024;

struct BarEvent {
    unsigned message;  // PBM_SETRANGE, PBM_SETSTEP, PBM_SETPOS, PBM_STEPIT, ...
    int position;      // PBM_GETPOS after the message
    int low;           // the range after the message
    int high;
};

struct BarLog {
    volatile long count;  // events written so far
    BarEvent events[kBarLogCapacity];
};

}  // namespace tavrin::gui

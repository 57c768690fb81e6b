// Records every position of the install page's progress bar during an
// install run. The run keeps the wizard's GUI thread busy until the finish
// page, so the bar cannot be asked from outside while it moves; instead
// bar_hook.dll is hooked into that thread (WH_CALLWNDPROCRET) and logs the
// bar's state after each message that moves it into shared memory.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "bar_hook/bar_log.h"
#include "ui_automation.h"

namespace tavrin::gui {

class BarRecorder {
public:
    BarRecorder() = default;
    ~BarRecorder();
    BarRecorder(const BarRecorder&) = delete;
    BarRecorder& operator=(const BarRecorder&) = delete;

    // Starts recording the bars of the thread that owns `page`, with an empty
    // log.
    ::testing::AssertionResult Attach(HWND page);
    // The events so far, in order.
    std::vector<BarEvent> Events() const;

private:
    void Detach();

    OwnedHandle mapping_;
    BarLog* log_ = nullptr;
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
};

// A bar event for messages, e.g. "STEPIT -> 7 (0..50)".
std::string Describe(const BarEvent& event);
std::string Describe(const std::vector<BarEvent>& events);

}  // namespace tavrin::gui

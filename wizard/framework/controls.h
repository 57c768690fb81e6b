// Wrappers of the controls the pages bind by DDX_Control.
#pragma once

#include "window.h"

namespace tavrin {

// A check box or radio button.
class CButton : public CWnd {
public:
    // BST_UNCHECKED (0), BST_CHECKED (1) or BST_INDETERMINATE (2).
    int GetCheck() const;
    void SetCheck(int state);
};

// The progress bar (class msctls_progress32).
class CProgressCtrl : public CWnd {
public:
    void SetRange(short lower, short upper);
    // Each returns the previous step or position.
    int SetStep(int step);
    int SetPos(int position);
    // Advances by the step; past the upper end the bar starts over from the
    // lower end, as the control itself does.
    int StepIt();
    int GetPos() const;
};

}  // namespace tavrin

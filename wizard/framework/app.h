// The application object. The program has exactly one; its entry point
// (WinMain) hands control to InitInstance, and when that returns the process
// ends: the application runs no message loop of its own, every page runs its
// own modal loop inside DoModal.
#pragma once

#include <windows.h>

namespace tavrin {

class CWinApp {
public:
    // Registers this object as the program's one application object.
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // All the work of the program. The program ends when it returns,
    // whatever it returns: there is no message loop to go on with.
    virtual bool InitInstance() = 0;
};

// The module that holds the program's resources (dialog templates, icons,
// bitmaps): the program file itself.
HINSTANCE AfxGetResourceHandle();

// What WinMain does: runs InitInstance of the application object and returns
// the process exit code (0).
int AfxWinMain(HINSTANCE instance);

}  // namespace tavrin

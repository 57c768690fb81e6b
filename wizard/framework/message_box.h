// The application's message box: captioned with the application's name,
// owned by the window that is active (the current page, or a dialog that the
// page opened), so that window is disabled while the box is up.
#pragma once

#include <windows.h>

#include "install_context.h"

namespace tavrin {

// The name of the program file without folder and extension ("SetUp").
Text AfxGetAppName();

// Returns the button pressed (IDOK, IDYES, ...).
int AfxMessageBox(const Text& text, UINT type = MB_OK);

// The report of an invalid argument: the system's description of it, or
// "内部应用程序出错。" when the system has none, with a stop icon.
void AfxReportInvalidArgument();

}  // namespace tavrin

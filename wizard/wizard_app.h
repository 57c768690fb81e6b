// The application object and the program's globals that only the wizard
// defines (in its entry file, in their construction order).
#pragma once

#include "framework/app.h"
#include "install_context.h"

namespace tavrin {

// Runs detection once, then shows the pages one at a time, each naming the
// page that follows it.
class CWizardApp : public CWinApp {
public:
    CWizardApp() = default;
    ~CWizardApp() override = default;

    // Always false: when the pages are done, so is the program.
    bool InitInstance() override;
};

extern CWizardApp theApp;
// The one install context: filled by detection, read by the pages and the
// install run.
extern InstallContext theInstallContext;

}  // namespace tavrin

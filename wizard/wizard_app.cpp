#include "wizard_app.h"

#include "detection.h"
#include "page1_licence.h"
#include "page2_components.h"
#include "page3_location.h"
#include "page4_finish.h"
#include "win32_registry.h"

namespace tavrin {

namespace {

// Shows one page as a fresh object and returns the code of the page that
// follows it. A page that cannot be created leaves its code at 0.
template <class Page>
int ShowPage() {
    Page page(nullptr);
    page.DoModal();
    return page.m_nextPage;
}

}  // namespace

bool CWizardApp::InitInstance() {
    // The framework has no ActiveX control container to enable, and the
    // program sets nothing else of it up: no profile key, no main window.
    {
        Win32Registry registry;
        DetectReleases(theInstallContext, registry);
    }
    int next = 1;
    while (true) {
        switch (next) {
        case 1:
            next = ShowPage<Dlg_Page1>();
            break;
        case 2:
            next = ShowPage<Dlg_Page2>();
            break;
        case 3:
            next = ShowPage<Dlg_Page3>();
            break;
        case 4:
            next = ShowPage<Dlg_Page4>();
            break;
        default:
            // 0, or any code that names no page, ends the wizard.
            return false;
        }
    }
}

}  // namespace tavrin

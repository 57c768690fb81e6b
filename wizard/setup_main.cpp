// The program's entry file. The globals below are constructed in the order
// they are defined here and destroyed in the reverse order at exit:
// InstallPathChoice, then theApp, then the install context.
#include <windows.h>

#ifdef TAVRIN_WITHOUT_DLL_DEFENCE
#include <commctrl.h>
#endif

#include "constants.h"
#include "framework/app.h"
#include "framework/system_library.h"
#include "install_context.h"
#include "wizard_app.h"

#ifndef TAVRIN_PRODUCT_BITS
#error "TAVRIN_PRODUCT_BITS names the edition to build (64 or 32)"
#endif

namespace tavrin {

// The edition this program installs, shown in every page caption and
// deciding which releases the component page offers.
const int ProductBits = TAVRIN_PRODUCT_BITS;

Text InstallPathChoice = kDefaultInstallPath;
CWizardApp theApp;
InstallContext theInstallContext;

}  // namespace tavrin

#ifdef TAVRIN_WITHOUT_DLL_DEFENCE

// Built only for the DLL-planting test, to show that the test catches a
// program without the defence: this one imports the common controls and
// leaves the DLL search order as Windows sets it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_PROGRESS_CLASS;
    ::InitCommonControlsEx(&init);
    return tavrin::AfxWinMain(instance);
}

#else

// The C runtime's own entry, which constructs the static objects and calls
// WinMain.
extern "C" int WinMainCRTStartup();

// The program's entry point (the link names it): the DLL search is confined
// to the system folder before the C runtime or any static object of any
// file starts, so nothing loaded by name can come from the setup folder.
extern "C" int TavrinSetupEntry() {
    tavrin::RestrictDllSearchToSystemFolder();
    return WinMainCRTStartup();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return tavrin::AfxWinMain(instance); }

#endif

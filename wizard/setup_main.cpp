// The program's entry file. The globals below are constructed in the order
// they are defined here and destroyed in the reverse order at exit:
// InstallPathChoice, then theApp, then the install context.
#include <windows.h>

#include "constants.h"
#include "framework/app.h"
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return tavrin::AfxWinMain(instance); }

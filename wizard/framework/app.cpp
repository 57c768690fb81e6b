#include "app.h"

namespace tavrin {

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resources = nullptr;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    // Before AfxWinMain has run (static initialisation) the program file is
    // still the right module.
    return g_resources != nullptr ? g_resources : GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE instance) {
    g_resources = instance;
    if (g_app == nullptr) return 0;
    // The result is not used: the program ends whether or not InitInstance
    // asks to go on, since it has no message loop to run.
    g_app->InitInstance();
    return 0;
}

}  // namespace tavrin

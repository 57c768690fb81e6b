// The demo's walk through the wizard on a virtual display, as a newcomer
// would click it: Next on the licence page, Next on the component page, the
// folder picker opened and cancelled, Install, and OK on the finish page.
// A screenshot of every page and of the picker goes into the shots folder.
//   demo_walk.exe SETUP_EXE SHOTS_FOLDER
// Exit code 0 when the wizard went all the way and ended; 1 otherwise, with
// what was on the screen.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "resource.h"
#include "ui_automation.h"

namespace {

using namespace tavrin::gui;

// The pages' title, code page 936 like the program's.
constexpr const char* kPageTitle = "Tavrin批打印软件安装";

enum class Screen { Licence, Components, Location, Finish, Picker };

const char* NameOf(Screen screen) {
    switch (screen) {
    case Screen::Licence: return "licence page";
    case Screen::Components: return "component page";
    case Screen::Location: return "location page";
    case Screen::Finish: return "finish page";
    case Screen::Picker: return "folder picker";
    }
    return "?";
}

bool Is(HWND window, Screen screen) {
    if (ClassNameOf(window) != "#32770") return false;
    if (screen == Screen::Picker) return ControlOf(window, IDC_BROWSER_TREE) != nullptr;
    if (TitleOf(window) != kPageTitle) return false;
    switch (screen) {
    case Screen::Licence: return ControlOf(window, IDC_DISAGREE) != nullptr;
    case Screen::Components: return ControlOf(window, IDC_ACAD2008) != nullptr;
    case Screen::Location: return ControlOf(window, IDC_PATH_EDIT) != nullptr;
    case Screen::Finish:
        return ControlOf(window, IDOK) != nullptr && ControlOf(window, IDCANCEL) == nullptr &&
               ControlOf(window, IDC_BACK) == nullptr;
    case Screen::Picker: break;
    }
    return false;
}

class Walk {
public:
    Walk(std::string program, std::string shots) : program_(std::move(program)), shots_(std::move(shots)) {}

    bool Run() {
        std::string error;
        const size_t slash = program_.find_last_of('\\');
        const std::string folder = slash == std::string::npos ? "." : program_.substr(0, slash);
        if (!process_.Start("\"" + program_ + "\"", folder, error)) return Fail(error);
        CreateDirectoryA(shots_.c_str(), nullptr);

        HWND page = nullptr;
        if (!WaitFor(Screen::Licence, page) || !Press(page, IDOK)) return false;
        if (!WaitFor(Screen::Components, page) || !Press(page, IDOK)) return false;
        if (!WaitFor(Screen::Location, page)) return false;
        std::printf("demo: the install folder shown: %s\n", AnsiToUtf8(TextOf(ControlOf(page, IDC_PATH_EDIT))).c_str());
        std::fflush(stdout);
        HWND picker = nullptr;
        if (!Press(page, IDC_BROWSE) || !WaitFor(Screen::Picker, picker) || !Press(picker, IDCANCEL)) return false;
        if (!WaitUntil([&] { return !IsWindow(picker) || !IsWindowVisible(picker); })) {
            return Fail("the picker stays open");
        }
        if (!Press(page, IDOK)) return false;
        if (!WaitFor(Screen::Finish, page, page) || !Press(page, IDOK)) return false;

        DWORD code = 0;
        if (!process_.WaitForExit(kWaitMs, code)) return Fail("the wizard did not end");
        std::printf("demo: the wizard ended (exit code %lu)\n", static_cast<unsigned long>(code));
        return true;
    }

private:
    // Waits for `screen` to show (and `previous` to have gone) and saves its
    // screenshot.
    bool WaitFor(Screen screen, HWND& found, HWND previous = nullptr) {
        found = nullptr;
        WaitUntil([&] {
            if (!process_.IsRunning()) return true;
            for (HWND window : VisibleTopLevelWindows(process_.Id())) {
                if (window != previous && Is(window, screen)) found = window;
            }
            return found != nullptr;
        });
        if (found == nullptr) return Fail(std::string("no ") + NameOf(screen));
        Settle(found);
        char name[64];
        std::snprintf(name, sizeof(name), "\\%d-%s.bmp", ++shots_count_, NameOf(screen));
        std::string label = name;
        for (char& c : label) {
            if (c == ' ') c = '-';
        }
        SaveScreenshot(shots_ + label);
        std::printf("demo: %s on the screen\n", NameOf(screen));
        std::fflush(stdout);
        return true;
    }

    // Presses button `id` of `page`, saying which by its text.
    bool Press(HWND page, int id) {
        HWND button = ControlOf(page, id);
        const std::string text = AnsiToUtf8(TextOf(button));
        std::printf("demo: pressing \"%s\"\n", text.c_str());
        std::fflush(stdout);
        if (!PostClick(button)) return Fail("cannot press \"" + text + "\"");
        return true;
    }

    bool Fail(const std::string& what) {
        std::string screen;
        for (HWND window : VisibleTopLevelWindows(process_.Id())) {
            screen += " [" + ClassNameOf(window) + " \"" + AnsiToUtf8(TitleOf(window)) + "\" " +
                      AnsiToUtf8(MessageBoxText(window)) + "]";
        }
        if (screen.empty()) screen = " nothing";
        std::fprintf(stderr, "demo: %s; on the screen:%s\n", what.c_str(), screen.c_str());
        return false;
    }

    std::string program_;
    std::string shots_;
    ChildProcess process_;
    int shots_count_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_walk.exe SETUP_EXE SHOTS_FOLDER\n");
        return 2;
    }
    Walk walk(WindowsPathOf(argv[1]), WindowsPathOf(argv[2]));
    return walk.Run() ? 0 : 1;
}

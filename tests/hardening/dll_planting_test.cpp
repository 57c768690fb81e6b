// DLL planting: a setup folder that holds DLLs named like Windows libraries
// (a Downloads folder can hold anything) must not get any of them loaded into
// the elevated setup program. Each planted DLL leaves a marker file beside
// itself when loaded (planted_dll.cpp). The wizard is walked from the licence
// page through the folder picker and the install run to its end, and then
// no marker may be there, and the libraries the program loads at start-up
// must be loaded from the system folder. The same walk with the program built
// without the defence must leave markers, or the test proves nothing.
//
// Wine loads its own built-in library in place of a DLL beside the program
// unless told otherwise; a "native,builtin" override makes it take a native
// DLL from the search path first, as Windows does.
//
// Command line, besides GoogleTest's flags (Unix paths become Z:\...):
//   --setup=PATH                    SetUp.exe
//   --setup-without-defence=PATH    the same program without the defence
//   --planted=PATH                  the planted DLL
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "constants.h"
#include "memory_registry.h"
#include "resource.h"
#include "scratch_files.h"
#include "ui_automation.h"
#include "wine_registry.h"

namespace tavrin::gui {
namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

struct Settings {
    std::string setup;
    std::string setupWithoutDefence;
    std::string planted;
};

Settings& TheSettings() {
    static Settings settings;
    return settings;
}

// The libraries planted: the common controls (no known DLL, so a program
// that imports them takes them from its own folder) and the libraries that
// Windows itself loads by name later on. version.dll is not among them:
// Wine's own user32 imports it, so under Wine it is loaded while the
// program's imports are, before any code of the program runs (on Windows
// user32 is a known DLL whose imports come from the system). A planted
// version.dll would test Wine's loader, not the program.
const char* const kPlantedNames[] = {
    "comctl32.dll", "uxtheme.dll", "userenv.dll", "setupapi.dll", "apphelp.dll", "propsys.dll", "dwmapi.dll",
    "cryptbase.dll", "oleacc.dll", "profapi.dll", "comres.dll", "clbcatq.dll", "ntmarta.dll",
};

// Wine reads its per-program choices at start-up from this key (for every
// program called SetUp.exe): a value per library, "native,builtin" to take a
// DLL found by the search before Wine's own. Every planted name is forced.
constexpr const char* kSetupOverridesKey = "Software\\Wine\\AppDefaults\\SetUp.exe\\DllOverrides";

AssertionResult ForceNativeForSetup() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSetupOverridesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return AssertionFailure() << "could not create HKCU\\" << kSetupOverridesKey;
    }
    static const char kNativeFirst[] = "native,builtin";
    AssertionResult result = AssertionSuccess();
    for (const char* name : kPlantedNames) {
        std::string library = name;
        library.resize(library.size() - 4);  // the value names have no ".dll"
        if (RegSetValueExA(key, library.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst),
                           sizeof(kNativeFirst)) != ERROR_SUCCESS) {
            result = AssertionFailure() << "could not force " << name << " native";
        }
    }
    RegCloseKey(key);
    return result;
}

// The program without the defence may crash once it calls into a planted
// DLL; Wine's debugger then only writes its report, it opens no crash dialog
// that would wait for a click and hold the test up.
constexpr const char* kDebuggerKey = "Software\\Wine\\WineDbg";

AssertionResult NoCrashDialog() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDebuggerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return AssertionFailure() << "could not create HKCU\\" << kDebuggerKey;
    }
    const DWORD off = 0;
    const LONG set =
        RegSetValueExA(key, "ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
    RegCloseKey(key);
    if (set != ERROR_SUCCESS) return AssertionFailure() << "could not turn the crash dialog off, error " << set;
    return AssertionSuccess();
}

constexpr const char* kMarkerSuffix = ".loaded";

using testing::RemoveTree;

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsOpen()) return text;
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
    return text;
}

// A folder in the temp folder, removed with everything in it at scope end.
class TempFolder {
public:
    TempFolder() = default;
    ~TempFolder() {
        if (!path_.empty()) RemoveTree(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    AssertionResult Create(const std::string& label) {
        static int count = 0;
        char temp[MAX_PATH] = "";
        if (GetTempPathA(sizeof(temp), temp) == 0) return AssertionFailure() << "no temp folder";
        std::string path = temp;
        if (!path.empty() && path.back() == '\\') path.pop_back();
        path += "\\tavrin-" + label + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
        RemoveTree(path);
        if (!CreateDirectoryA(path.c_str(), nullptr)) {
            return AssertionFailure() << "could not create " << path << ", error " << GetLastError();
        }
        path_ = path;
        return AssertionSuccess();
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

AssertionResult CopyInto(const std::string& source, const std::string& target) {
    if (source.empty()) return AssertionFailure() << "a path was not given on the command line";
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        return AssertionFailure() << "could not copy " << source << " to " << target << ", error " << GetLastError();
    }
    return AssertionSuccess();
}

// The setup folder of a hostile download: the program as SetUp.exe and the
// planted DLLs beside it.
AssertionResult PlantFolder(const TempFolder& folder, const std::string& program) {
    AssertionResult copied = CopyInto(program, folder.Path() + "\\SetUp.exe");
    if (!copied) return copied;
    for (const char* name : kPlantedNames) {
        copied = CopyInto(TheSettings().planted, folder.Path() + "\\" + name);
        if (!copied) return copied;
    }
    return AssertionSuccess();
}

// The markers in `folder`: "NAME.dll: what the DLL wrote" for each.
std::vector<std::string> Markers(const std::string& folder) {
    std::vector<std::string> markers;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*" + kMarkerSuffix).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return markers;
    do {
        std::string name = entry.cFileName;
        const std::string content = ReadWholeFile(folder + "\\" + name);
        name.resize(name.size() - std::strlen(kMarkerSuffix));
        markers.push_back(name + ": " + content);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return markers;
}

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The full paths, in lower case, of the modules loaded in process `pid`.
std::vector<std::string> LoadedModules(DWORD pid) {
    std::vector<std::string> modules;
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    if (!snapshot.IsOpen()) return modules;
    MODULEENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32First(snapshot.Get(), &entry); more; more = Module32Next(snapshot.Get(), &entry)) {
        modules.push_back(Lowercase(entry.szExePath));
    }
    return modules;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The visible dialog of `process` that has control `id`, other than
// `other`; null when none came within the wait or the process ended.
HWND WaitForDialogWith(const ChildProcess& process, int id, HWND other = nullptr) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : VisibleTopLevelWindows(process.Id())) {
            if (window != other && ClassNameOf(window) == "#32770" && ControlOf(window, id) != nullptr) {
                found = window;
                return true;
            }
        }
        return !process.IsRunning();
    });
    return found;
}

// The walk a user takes: Next on the licence and component pages, the
// folder picker from the location page (the shell's folder browser, which
// loads the shell's components) with `target` typed into its path box,
// Install, and OK on the finish page.
// `modules` gets the libraries loaded once the first page is up.
AssertionResult WalkThrough(ChildProcess& process, const std::string& target, std::vector<std::string>& modules) {
    HWND licence = WaitForDialogWith(process, IDC_DISAGREE);
    if (licence == nullptr) return AssertionFailure() << "no licence page";
    modules = LoadedModules(process.Id());
    if (!Click(ControlOf(licence, IDOK))) return AssertionFailure() << "Next on the licence page got no answer";

    HWND components = WaitForDialogWith(process, IDC_ACAD2008);
    if (components == nullptr) return AssertionFailure() << "no component page";
    if (!Click(ControlOf(components, IDOK))) return AssertionFailure() << "Next on the component page got no answer";

    HWND location = WaitForDialogWith(process, IDC_PATH_EDIT);
    if (location == nullptr) return AssertionFailure() << "no location page";
    if (!PostClick(ControlOf(location, IDC_BROWSE))) return AssertionFailure() << "Browse is not there to click";

    HWND picker = WaitForDialogWith(process, IDC_BROWSER_TREE);
    if (picker == nullptr) return AssertionFailure() << "no folder browser after Browse";
    if (!TypeText(ControlOf(picker, IDC_BROWSER_PATH_EDIT), target)) {
        return AssertionFailure() << "could not type into the folder picker's path box";
    }
    if (!PostClick(ControlOf(picker, IDOK))) return AssertionFailure() << "the picker's OK is not there to click";
    if (!WaitUntil([&] { return !IsWindow(picker) || !IsWindowVisible(picker); })) {
        return AssertionFailure() << "the folder picker stayed open after OK";
    }
    if (TextOf(ControlOf(location, IDC_PATH_EDIT)) != target) {
        return AssertionFailure() << "the location page shows \"" << TextOf(ControlOf(location, IDC_PATH_EDIT))
                                  << "\" after the picker, not " << target;
    }

    if (!PostClick(ControlOf(location, IDOK))) return AssertionFailure() << "Install is not there to click";
    HWND finish = WaitForDialogWith(process, IDOK, location);
    if (finish == nullptr || ControlOf(finish, IDC_PATH_EDIT) != nullptr) {
        return AssertionFailure() << "no finish page after Install";
    }
    if (!PostClick(ControlOf(finish, IDOK))) return AssertionFailure() << "OK on the finish page is not there";
    DWORD code = 0;
    if (!process.WaitForExit(kWaitMs, code)) return AssertionFailure() << "the wizard still runs after the finish page";
    return AssertionSuccess();
}

// One run of `program` from a planted setup folder, walked through; the
// markers it left and what became of the walk.
struct PlantedRun {
    std::vector<std::string> markers;
    std::vector<std::string> modulesOnFirstPage;
    AssertionResult walk = AssertionFailure() << "not walked";
};

PlantedRun RunFromPlantedFolder(const std::string& program) {
    PlantedRun run;
    TempFolder setup;
    TempFolder target;
    AssertionResult made = setup.Create("planted");
    if (made) made = target.Create("target");
    if (made) made = PlantFolder(setup, program);
    if (!made) {
        ADD_FAILURE() << made.message();
        return run;
    }
    AssertionResult seeded = ForceNativeForSetup();
    if (seeded) seeded = NoCrashDialog();
    if (seeded) {
        // An AutoCAD 2010 to install for, or Next stays off on the component page.
        MemoryRegistry parsed;
        seeded = tavrin::testing::SeedFixture("gui_acad2010_only.reg", parsed);
    }
    if (!seeded) {
        ADD_FAILURE() << seeded.message();
        return run;
    }
    ChildProcess process;
    std::string error;
    // Started from its own folder, as a double click in Explorer does: the
    // current folder is the setup folder too.
    if (!process.Start("\"" + setup.Path() + "\\SetUp.exe\"", setup.Path(), error)) {
        ADD_FAILURE() << error;
        return run;
    }
    run.walk = WalkThrough(process, target.Path(), run.modulesOnFirstPage);
    process.Kill();
    run.markers = Markers(setup.Path());
    return run;
}

std::string Describe(const std::vector<std::string>& markers) {
    std::string text;
    for (const std::string& marker : markers) text += "\n  " + AnsiToUtf8(marker);
    return text.empty() ? " none" : text;
}

TEST(DllPlanting, SetupLoadsNoDllFromItsFolder) {
    const PlantedRun run = RunFromPlantedFolder(TheSettings().setup);
    EXPECT_TRUE(run.walk) << run.walk.message();
    EXPECT_TRUE(run.markers.empty()) << "DLLs loaded from the setup folder:" << Describe(run.markers);

    // Wine searches the system folder alone once the program has asked for
    // it, so the planted DLLs cannot show the preloads: the module list does.
    // Every preloaded library that this system has is loaded from the system
    // folder by the time the first page shows (version.dll always is under
    // Wine: its user32 imports it).
    ASSERT_FALSE(run.modulesOnFirstPage.empty()) << "no module list of the running wizard";
    const std::string system = Lowercase(SystemFolder());
    for (const char* name : kPreloadedSystemLibraries) {
        const std::string path = system + "\\" + name;
        if (!FileExists(path)) continue;
        bool loaded = false;
        for (const std::string& module : run.modulesOnFirstPage) loaded = loaded || module == path;
        EXPECT_TRUE(loaded) << path << " is not loaded when the first page shows";
    }
}

// The test's own check: the program without the defence, walked the same
// way, takes planted DLLs (the walk may break down once it has: the planted
// DLLs export next to nothing).
TEST(DllPlanting, ProgramWithoutTheDefenceLoadsPlantedDlls) {
    const PlantedRun run = RunFromPlantedFolder(TheSettings().setupWithoutDefence);
    std::printf("without the defence the walk %s; DLLs loaded from the setup folder:%s\n",
                run.walk ? "went through" : "broke down", Describe(run.markers).c_str());
    bool commonControls = false;
    for (const std::string& marker : run.markers) {
        if (Lowercase(marker).rfind("comctl32.dll:", 0) == 0) commonControls = true;
    }
    EXPECT_TRUE(commonControls) << "the imported comctl32.dll was not taken from the setup folder; markers:"
                                << Describe(run.markers);
}

bool TakeOption(const std::string& arg, const char* name, std::string& value) {
    const std::string prefix = std::string("--") + name + "=";
    if (arg.compare(0, prefix.size(), prefix) != 0) return false;
    value = WindowsPathOf(arg.substr(prefix.size()));
    return true;
}

}  // namespace
}  // namespace tavrin::gui

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tavrin::gui::Settings& settings = tavrin::gui::TheSettings();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (tavrin::gui::TakeOption(arg, "setup", settings.setup) ||
            tavrin::gui::TakeOption(arg, "setup-without-defence", settings.setupWithoutDefence) ||
            tavrin::gui::TakeOption(arg, "planted", settings.planted)) {
            continue;
        }
        std::fprintf(stderr, "dll_planting_test: unknown argument %s\n", argv[i]);
        return 2;
    }
    return RUN_ALL_TESTS();
}

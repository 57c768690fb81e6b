// The wizard as the GUI tests drive it: a fresh setup folder with a copy of
// the program, a registry seeded from a fixture, the pages found by their
// title and told apart by their control IDs, and a screenshot of every page
// the test visits.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "install_machine.h"
#include "ui_automation.h"

namespace tavrin::gui {

// What the test program was told on its command line. Paths are Windows
// paths (a Unix path given there is turned into Wine's Z: form).
struct GuiSettings {
    std::string setup64;      // SetUp.exe, the 64-bit edition
    std::string setup32;      // SetUp32.exe, the edition built with ProductBits 32
    std::string shotsFolder;  // where the screenshots go; none taken when empty
};
GuiSettings& Settings();

enum class Edition { Bits64, Bits32 };

// --- The machine -------------------------------------------------------------

// Removes every AutoCAD key the wizard reads or writes (both registry views
// below HKEY_LOCAL_MACHINE, and the user's profiles), then imports
// fixtures\NAME.reg (in the build folder, the tests' working folder) with
// regedit /S.
::testing::AssertionResult SeedRegistry(const std::string& fixtureName);

// A setup folder of its own in the temp folder, holding the program as
// SetUp.exe; removed with everything in it at scope end.
class SetupFolder {
public:
    SetupFolder() = default;
    ~SetupFolder();
    SetupFolder(const SetupFolder&) = delete;
    SetupFolder& operator=(const SetupFolder&) = delete;

    ::testing::AssertionResult Create(const std::string& program);
    const std::string& Path() const { return path_; }
    std::string ProgramPath() const { return path_ + "\\SetUp.exe"; }

private:
    std::string path_;
};

// --- Pages -----------------------------------------------------------------

enum class PageKind { None, Licence, Components, Location, Finish };
const char* NameOf(PageKind kind);

// The page a window is, by its title and its controls: licence (radio 1008),
// components (release box 1019), location (path box 1000), finish (only an
// OK button). None for any other window.
PageKind PageKindOf(HWND window);

// One showing of a page. The accessors read the live controls.
class Page {
public:
    Page() = default;
    Page(HWND window, PageKind kind) : window_(window), kind_(kind) {}

    HWND Window() const { return window_; }
    PageKind Kind() const { return kind_; }
    HWND Control(int id) const { return ControlOf(window_, id); }
    bool Has(int id) const { return Control(id) != nullptr; }
    bool Enabled(int id) const { return IsEnabled(Control(id)); }
    bool Shown(int id) const { return IsShown(Control(id)); }
    bool Checked(int id) const { return CheckStateOf(Control(id)) == BST_CHECKED; }
    // In code page 936.
    std::string Text(int id) const { return TextOf(Control(id)); }
    std::string Title() const { return TextOf(window_); }

    // A click on control `id` that returns once the page has handled it;
    // fails for a missing, disabled or hidden control.
    ::testing::AssertionResult Click(int id) const;
    // Types `text` (code page 936) into edit box `id`.
    ::testing::AssertionResult Type(int id, const std::string& text) const;
    // Esc pressed in the control that has the focus.
    void PressEscape() const;
    // Enter pressed in the control that has the focus.
    void PressEnter() const;
    // The title bar's close box.
    void PressCloseBox() const;

private:
    HWND window_ = nullptr;
    PageKind kind_ = PageKind::None;
};

// The boxes a page opens over itself: a platform message box, or the shell's
// folder browser (folder tree 14145) of the folder picker.
enum class BoxKind { MessageBox, FolderBrowser };
const char* NameOf(BoxKind kind);

// --- The running wizard --------------------------------------------------------

// One run of the wizard from its own setup folder. The process is ended and
// the folder removed at scope end, whatever happened.
class Wizard {
public:
    explicit Wizard(Edition edition = Edition::Bits64) : edition_(edition) {}
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Lays out the setup folder (the program as SetUp.exe, and the files of
    // `payload` beside it) and starts the program in it.
    ::testing::AssertionResult Start(const std::vector<FileSpec>& payload = {});
    // Waits until the page shown so far has gone and a new page is on the
    // screen, checks that it is of kind `expected`, makes it the current page
    // and takes a screenshot of it.
    ::testing::AssertionResult NextPage(PageKind expected, Page& page);
    // Waits until the program has ended with no page shown after the current
    // one; ExitCode() then holds its exit code.
    ::testing::AssertionResult Ends();
    DWORD ExitCode() const { return exitCode_; }
    // Waits for a box of kind `kind` over the current page and takes a
    // screenshot of it. Its buttons are clicked with PostClick, and
    // WaitUntilClosed waits for it to go.
    ::testing::AssertionResult WaitForBox(BoxKind kind, HWND& box);
    ::testing::AssertionResult WaitUntilClosed(HWND window);
    const Page& Current() const { return current_; }
    const SetupFolder& Folder() const { return folder_; }
    DWORD ProcessId() const { return process_.Id(); }

    // A screenshot named after the test, a running number and `label`.
    void Screenshot(const std::string& label);

private:
    // What the program shows now, for the message of a failed wait.
    std::string DescribeScreen() const;
    std::vector<HWND> NewPages() const;
    std::vector<HWND> Boxes(BoxKind kind) const;

    Edition edition_;
    SetupFolder folder_;
    ChildProcess process_;
    Page current_;
    DWORD exitCode_ = 0;
    int shots_ = 0;
};

// From the start of a run to page `target` by Next (the licence page, the
// component page or the location page), leaving every choice as it starts.
::testing::AssertionResult WalkTo(Wizard& wizard, PageKind target, Page& page);

}  // namespace tavrin::gui

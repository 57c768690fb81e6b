#include "wizard_session.h"

#include <cctype>
#include <cstdio>

#include "install_machine.h"
#include "memory_registry.h"
#include "resource.h"
#include "wine_registry.h"
#include "wizard_texts.h"

namespace tavrin::gui {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

// Test names made safe for a file name.
std::string FileNamePart(std::string text) {
    for (char& c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.') c = '_';
    }
    return text;
}

std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) return "no_test";
    return FileNamePart(std::string(info->test_suite_name()) + "." + info->name());
}

}  // namespace

GuiSettings& Settings() {
    static GuiSettings settings;
    return settings;
}

AssertionResult SeedRegistry(const std::string& fixtureName) {
    // Wine now and then fails to start a process (CreateProcess error 1359,
    // an internal error) while the previous one is still winding down; the
    // seeding is tried again for a few seconds then. A fixture that cannot be
    // seeded fails every time.
    AssertionResult seeded = AssertionFailure();
    WaitUntil(
        [&] {
            // The fixture goes through the in-memory loader too, which
            // reports the malformed lines that regedit passes over in
            // silence.
            MemoryRegistry parsed;
            seeded = tavrin::testing::SeedFixture(fixtureName + ".reg", parsed);
            return static_cast<bool>(seeded);
        },
        kRetryMs);
    return seeded;
}

SetupFolder::~SetupFolder() {
    if (!path_.empty()) RemoveTree(path_);
}

AssertionResult SetupFolder::Create(const std::string& program) {
    static int count = 0;
    char temp[MAX_PATH] = "";
    if (GetTempPathA(sizeof(temp), temp) == 0) return AssertionFailure() << "no temp folder";
    std::string path = temp;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    path += "\\tavrin-gui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    RemoveTree(path);  // a leftover of an earlier run with the same process ID
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        return AssertionFailure() << "could not create " << path << ", error " << GetLastError();
    }
    path_ = path;
    if (program.empty()) return AssertionFailure() << "the program's path was not given on the command line";
    if (!CopyFileA(program.c_str(), ProgramPath().c_str(), FALSE)) {
        return AssertionFailure() << "could not copy " << program << " to " << ProgramPath() << ", error "
                                  << GetLastError();
    }
    return AssertionSuccess();
}

const char* NameOf(PageKind kind) {
    switch (kind) {
    case PageKind::Licence: return "licence page";
    case PageKind::Components: return "component page";
    case PageKind::Location: return "location page";
    case PageKind::Finish: return "finish page";
    case PageKind::None: break;
    }
    return "no page";
}

const char* NameOf(BoxKind kind) {
    return kind == BoxKind::MessageBox ? "message box" : "folder browser";
}

PageKind PageKindOf(HWND window) {
    if (ClassNameOf(window) != "#32770" || TitleOf(window) != texts::kPageTitle) return PageKind::None;
    if (ControlOf(window, IDC_DISAGREE) != nullptr) return PageKind::Licence;
    if (ControlOf(window, IDC_ACAD2008) != nullptr) return PageKind::Components;
    if (ControlOf(window, IDC_PATH_EDIT) != nullptr) return PageKind::Location;
    const bool onlyOk = ControlOf(window, IDOK) != nullptr && ControlOf(window, IDCANCEL) == nullptr &&
                        ControlOf(window, IDC_BACK) == nullptr;
    return onlyOk ? PageKind::Finish : PageKind::None;
}

AssertionResult Page::Click(int id) const {
    HWND control = Control(id);
    if (control == nullptr) return AssertionFailure() << "the " << NameOf(kind_) << " has no control " << id;
    if (!IsShown(control)) return AssertionFailure() << "control " << id << " is hidden";
    if (!IsEnabled(control)) return AssertionFailure() << "control " << id << " is disabled";
    if (!gui::Click(control)) return AssertionFailure() << "the click on control " << id << " got no answer";
    return AssertionSuccess();
}

AssertionResult Page::Type(int id, const std::string& text) const {
    HWND control = Control(id);
    if (control == nullptr) return AssertionFailure() << "the " << NameOf(kind_) << " has no control " << id;
    if (!TypeText(control, text)) {
        return AssertionFailure() << "control " << id << " shows \"" << AnsiToUtf8(TextOf(control))
                                  << "\" after typing \"" << AnsiToUtf8(text) << "\"";
    }
    return AssertionSuccess();
}

void Page::PressEscape() const {
    HWND focus = FocusWithin(window_);
    PostKey(focus != nullptr && IsChild(window_, focus) ? focus : window_, VK_ESCAPE);
}

void Page::PressEnter() const {
    HWND focus = FocusWithin(window_);
    PostKey(focus != nullptr && IsChild(window_, focus) ? focus : window_, VK_RETURN);
}

void Page::PressCloseBox() const {
    PostCloseBox(window_);
}

Wizard::~Wizard() {
    process_.Kill();
}

AssertionResult Wizard::Start(const std::vector<FileSpec>& payload) {
    const std::string& program = edition_ == Edition::Bits64 ? Settings().setup64 : Settings().setup32;
    AssertionResult created = folder_.Create(program);
    if (!created) return created;
    AssertionResult laid = MakeFiles(folder_.Path(), payload);
    if (!laid) return laid;
    std::string error;
    if (!process_.Start("\"" + folder_.ProgramPath() + "\"", folder_.Path(), error)) {
        return AssertionFailure() << error;
    }
    return AssertionSuccess();
}

std::vector<HWND> Wizard::NewPages() const {
    std::vector<HWND> pages;
    for (HWND window : VisibleTopLevelWindows(process_.Id())) {
        if (window != current_.Window() && PageKindOf(window) != PageKind::None) pages.push_back(window);
    }
    return pages;
}

AssertionResult Wizard::NextPage(PageKind expected, Page& page) {
    if (!process_.IsStarted()) return AssertionFailure() << "the wizard was not started";
    HWND previous = current_.Window();
    std::vector<HWND> pages;
    WaitUntil([&] {
        if (previous != nullptr && IsWindow(previous)) return !process_.IsRunning();
        pages = NewPages();
        return !pages.empty() || !process_.IsRunning();
    });
    if (pages.empty()) {
        DWORD code = 0;
        if (process_.WaitForExit(0, code)) {
            return AssertionFailure() << "the wizard ended (exit code " << code << ") instead of showing the "
                                      << NameOf(expected);
        }
        return AssertionFailure() << "no " << NameOf(expected) << " within " << kWaitMs / 1000
                                  << " s; on the screen: " << DescribeScreen();
    }
    if (pages.size() > 1) return AssertionFailure() << "several pages at once: " << DescribeScreen();

    current_ = Page(pages.front(), PageKindOf(pages.front()));
    page = current_;
    Settle(page.Window());
    Screenshot(NameOf(page.Kind()));
    if (page.Kind() != expected) {
        return AssertionFailure() << "the " << NameOf(page.Kind()) << " came instead of the " << NameOf(expected);
    }
    return AssertionSuccess();
}

AssertionResult Wizard::Ends() {
    if (!process_.IsStarted()) return AssertionFailure() << "the wizard was not started";
    std::vector<HWND> pages;
    WaitUntil([&] {
        pages = NewPages();
        return !pages.empty() || !process_.IsRunning();
    });
    if (!pages.empty()) {
        const PageKind kind = PageKindOf(pages.front());
        Screenshot(std::string("unexpected-") + NameOf(kind));
        return AssertionFailure() << "the wizard went on to the " << NameOf(kind) << " instead of ending";
    }
    if (!process_.WaitForExit(0, exitCode_)) {
        return AssertionFailure() << "the wizard still runs after " << kWaitMs / 1000
                                  << " s; on the screen: " << DescribeScreen();
    }
    current_ = Page();
    return AssertionSuccess();
}

std::vector<HWND> Wizard::Boxes(BoxKind kind) const {
    std::vector<HWND> boxes;
    for (HWND window : VisibleTopLevelWindows(process_.Id())) {
        if (ClassNameOf(window) != "#32770" || PageKindOf(window) != PageKind::None) continue;
        const bool browser = ControlOf(window, IDC_BROWSER_TREE) != nullptr;
        if (browser == (kind == BoxKind::FolderBrowser)) boxes.push_back(window);
    }
    return boxes;
}

AssertionResult Wizard::WaitForBox(BoxKind kind, HWND& box) {
    if (!process_.IsStarted()) return AssertionFailure() << "the wizard was not started";
    std::vector<HWND> boxes;
    WaitUntil([&] {
        boxes = Boxes(kind);
        return !boxes.empty() || !process_.IsRunning();
    });
    if (boxes.empty()) {
        return AssertionFailure() << "no " << NameOf(kind) << " within " << kWaitMs / 1000
                                  << " s; on the screen: " << DescribeScreen();
    }
    box = boxes.front();
    Settle(box);
    Screenshot(NameOf(kind));
    return AssertionSuccess();
}

AssertionResult Wizard::WaitUntilClosed(HWND window) {
    if (WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); })) return AssertionSuccess();
    return AssertionFailure() << "the window is still open after " << kWaitMs / 1000
                              << " s; on the screen: " << DescribeScreen();
}

void Wizard::Screenshot(const std::string& label) {
    const std::string& folder = Settings().shotsFolder;
    if (folder.empty()) return;
    CreateDirectoryA(folder.c_str(), nullptr);
    char number[8];
    std::snprintf(number, sizeof(number), "%02d", ++shots_);
    const std::string path = folder + "\\" + CurrentTestName() + "-" + number + "-" + FileNamePart(label) + ".bmp";
    if (!SaveScreenshot(path)) ADD_FAILURE() << "could not save the screenshot " << path;
}

AssertionResult WalkTo(Wizard& wizard, PageKind target, Page& page) {
    const PageKind road[] = {PageKind::Licence, PageKind::Components, PageKind::Location};
    for (PageKind kind : road) {
        if (kind != PageKind::Licence) {
            AssertionResult clicked = page.Click(IDOK);
            if (!clicked) return clicked << " (Next on the " << NameOf(page.Kind()) << ")";
        }
        AssertionResult shown = wizard.NextPage(kind, page);
        if (!shown || kind == target) return shown;
    }
    return AssertionFailure() << "the " << NameOf(target) << " is not on the road by Next";
}

std::string Wizard::DescribeScreen() const {
    std::string description;
    for (HWND window : VisibleTopLevelWindows(process_.Id())) {
        if (!description.empty()) description += "; ";
        const PageKind kind = PageKindOf(window);
        description += kind != PageKind::None ? std::string(NameOf(kind))
                                              : ClassNameOf(window) + " \"" + AnsiToUtf8(TitleOf(window)) + "\"";
        const std::string message = MessageBoxText(window);
        if (kind == PageKind::None && !message.empty()) description += " saying \"" + AnsiToUtf8(message) + "\"";
    }
    return description.empty() ? "no window" : description;
}

}  // namespace tavrin::gui

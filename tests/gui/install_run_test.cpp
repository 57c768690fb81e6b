// The install run from the location page's Install button to the finish
// page, on a machine with AutoCAD in both registry views: the files in the
// install folder, the user configuration folder and the AutoCAD folders, the
// demand-load entries and trusted paths, and the progress bar, each checked
// exactly; and a copy that fails because the file is held open, answered
// with Abort, Retry or Ignore.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bar_recorder.h"
#include "install_scenario.h"
#include "resource.h"
#include "wizard_session.h"
#include "wizard_texts.h"

namespace tavrin::gui {
namespace {

// Where the chosen folder of a case lies. The wizard runs in its setup
// folder, inside the temp folder, so a relative ".." names the temp folder.
enum class Base { Absolute, Temp };

struct InstallCase {
    const char* name;
    std::string typed;        // typed into the page's box; empty keeps "C:\Tavrin"
    bool backAndNext;         // Back to the component page and Next again before Install
    bool enterKey;            // Enter pressed in the edit box instead of clicking Install
    std::vector<int> unchecked;  // release boxes unchecked on the component page
    Base base;
    std::string folder;       // the chosen folder as the run makes it (below the temp folder for Base::Temp)
};

void PrintTo(const InstallCase& c, std::ostream* out) {
    *out << c.name;
}

// 259 bytes for the longest path the run writes below the chosen folder:
// "\Tavrin批打印软件" (17 bytes) and "\ICSharpCode.SharpZipLib.dll" (28 bytes)
// leave 214 for the folder, "C:\" and 211 letters.
const std::string kLongestFolder = "C:\\" + std::string(211, 'L');

const InstallCase kInstallCases[] = {
    {"DefaultFolderEveryRelease", "", false, false, {}, Base::Absolute, "C:\\Tavrin"},
    {"TypedFolderWithTrailingBackslashByEnter", "C:\\绘图工具\\", false, true,
     {IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2018}, Base::Absolute, "C:\\绘图工具"},
    {"TypedFolderKeptOverBackAndNext", "C:\\返回再来", true, false, {IDC_ACAD2008}, Base::Absolute, "C:\\返回再来"},
    {"RelativeFolderMadeAbsolute", "..\\相对安装", false, false, {IDC_ACAD2020}, Base::Temp, "相对安装"},
    {"LongestFolderThatFits", kLongestFolder, false, false, {}, Base::Absolute, kLongestFolder},
};

std::string ChosenFolder(Base base, const std::string& folder) {
    return base == Base::Temp ? TempFolder() + "\\" + folder : folder;
}

std::set<int> YearsLeft(const std::vector<int>& unchecked) {
    std::set<int> years = MachineYears();
    for (int id : unchecked) {
        const int year = id == IDC_ACAD2008   ? 2008
                         : id == IDC_ACAD2009 ? 2009
                         : id == IDC_ACAD2010 ? 2010
                         : id == IDC_ACAD2018 ? 2018
                         : id == IDC_ACAD2020 ? 2020
                                              : 0;
        years.erase(year);
    }
    return years;
}

// The names in a folder's listing, "." and ".." included, in the order the
// file system gives them (the order the payload copy meets them in).
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

// The bar of a run that went to its end over a setup folder of `entries`
// entries: range 0 to 50, step 1, position 0; one step per entry and one
// more from the copy, three from the run; then 50.
void ExpectBarOfCompletedRun(const std::vector<BarEvent>& events, size_t entries) {
    std::vector<std::pair<unsigned, int>> expected = {{PBM_SETRANGE, 0}, {PBM_SETSTEP, 0}, {PBM_SETPOS, 0}};
    for (size_t step = 1; step <= entries + 1 + 3; ++step) expected.push_back({PBM_STEPIT, static_cast<int>(step)});
    expected.push_back({PBM_SETPOS, 50});

    std::vector<std::pair<unsigned, int>> actual;
    bool rangeKept = true;
    for (const BarEvent& event : events) {
        actual.push_back({event.message, event.position});
        rangeKept = rangeKept && event.low == 0 && event.high == 50;
    }
    EXPECT_EQ(expected, actual) << "the bar got:\n" << Describe(events);
    EXPECT_TRUE(rangeKept) << "the range is not 0..50 throughout:\n" << Describe(events);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(50, events.back().position) << "the bar's final position";
}

class InstallRun : public ::testing::TestWithParam<InstallCase> {};

TEST_P(InstallRun, WritesExactlyTheFilesAndEntriesOfTheRun) {
    const InstallCase& c = GetParam();
    const std::string folder = ChosenFolder(c.base, c.folder);
    const std::string installFolder = folder + texts::kInstallSubfolder;
    const std::set<int> chosen = YearsLeft(c.unchecked);

    InstallMachine machine({folder});
    ASSERT_TRUE(machine.Prepare());
    const RegistryState before = ReadAutodeskKeys();

    Wizard wizard;
    ASSERT_TRUE(wizard.Start(StandardPayload()));
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Components, page));
    for (int id : c.unchecked) ASSERT_TRUE(page.Click(id)) << id;
    ASSERT_TRUE(page.Click(IDOK));
    ASSERT_TRUE(wizard.NextPage(PageKind::Location, page));
    if (!c.typed.empty()) {
        ASSERT_TRUE(page.Type(IDC_PATH_EDIT, c.typed));
    }
    if (c.backAndNext) {
        ASSERT_TRUE(page.Click(IDC_BACK));
        ASSERT_TRUE(wizard.NextPage(PageKind::Components, page));
        ASSERT_TRUE(page.Click(IDOK));
        ASSERT_TRUE(wizard.NextPage(PageKind::Location, page));
    }
    const std::string shown = c.typed.empty() ? texts::kDefaultPath : c.typed;
    EXPECT_EQ(AnsiToUtf8(shown), AnsiToUtf8(page.Text(IDC_PATH_EDIT)));

    BarRecorder bar;
    ASSERT_TRUE(bar.Attach(page.Window()));
    const size_t entries = Listing(wizard.Folder().Path()).size();
    if (c.enterKey) {
        PostKey(page.Control(IDC_PATH_EDIT), VK_RETURN);
    } else {
        ASSERT_TRUE(PostClick(page.Control(IDOK)));
    }
    ASSERT_TRUE(wizard.NextPage(PageKind::Finish, page));

    ExpectBarOfCompletedRun(bar.Events(), entries);
    ExpectCompletedInstall(installFolder, chosen, before);

    ASSERT_TRUE(page.Click(IDOK));
    ASSERT_TRUE(wizard.Ends());
    EXPECT_EQ(0u, wizard.ExitCode());
}

INSTANTIATE_TEST_SUITE_P(Machine, InstallRun, ::testing::ValuesIn(kInstallCases),
                         [](const ::testing::TestParamInfo<InstallCase>& info) {
                             return std::string(info.param.name);
                         });

// --- A copy that fails --------------------------------------------------------

// The destination held open while the run copies onto it: the renamed
// Tavrin.prt7.
constexpr const char* kLockedName = "itextsharp.dll";
constexpr const char* kLockedSource = "Tavrin.prt7";
constexpr const char* kOldContent = "the itextsharp.dll of an earlier install";

enum class Answer { Abort, RetryStillLocked, RetryReleased, Ignore };

struct FailureCase {
    const char* name;
    std::vector<Answer> answers;  // one per copy-failure box, in order
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

const FailureCase kFailureCases[] = {
    {"Abort", {Answer::Abort}},
    {"RetryAfterTheFileIsReleased", {Answer::RetryStillLocked, Answer::RetryReleased}},
    {"Ignore", {Answer::Ignore}},
};

std::string Format(const char* format, const std::string& text) {
    const int length = std::snprintf(nullptr, 0, format, text.c_str());
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, text.c_str());
    out.resize(static_cast<size_t>(length));
    return out;
}

int ButtonOf(Answer answer) {
    switch (answer) {
    case Answer::Abort: return IDABORT;
    case Answer::Ignore: return IDIGNORE;
    default: return IDRETRY;
    }
}

// The box of a failed copy: the destination in its text, the install
// caption, Abort, Retry and Ignore.
void ExpectCopyFailureBox(HWND box, const std::string& destination) {
    EXPECT_EQ(AnsiToUtf8(texts::kInstallCaption), AnsiToUtf8(TitleOf(box)));
    EXPECT_EQ(AnsiToUtf8(Format(texts::kCopyFailedFormat, destination)), AnsiToUtf8(MessageBoxText(box)));
    for (int id : {IDABORT, IDRETRY, IDIGNORE}) EXPECT_TRUE(IsShown(ControlOf(box, id))) << "button " << id;
    EXPECT_FALSE(IsShown(ControlOf(box, IDOK)));
    EXPECT_FALSE(IsShown(ControlOf(box, IDCANCEL)));
    EXPECT_STREQ(NameOf(BoxIcon::None), NameOf(IconOf(box)));
}

// What an aborted run leaves: the payload files that the listing gave before
// the locked one, in the install folder or the configuration folder; the
// locked file as it was.
void ExpectAbortedRun(const std::vector<std::string>& listing, const std::string& installFolder) {
    FileTree install{{kLockedName, kOldContent}};
    FileTree config;
    const FileTree allInstall = ExpectedInstallFolder();
    const FileTree allConfig = ExpectedConfigFolder();
    for (const std::string& name : listing) {
        if (name == kLockedSource) break;
        const std::string installName = name == "Tavrin.prt6" ? "ICSharpCode.SharpZipLib.dll" : name;
        if (allInstall.count(installName) != 0) install[installName] = allInstall.at(installName);
        if (allConfig.count(name) != 0) config[name] = allConfig.at(name);
    }
    const FileTree actualInstall = ReadTree(installFolder);
    EXPECT_EQ(install, actualInstall) << "the install folder holds:\n"
                                      << Describe(actualInstall) << "expected:\n"
                                      << Describe(install);
    const FileTree actualConfig = ReadTree(UserConfigFolderPath());
    EXPECT_EQ(config, actualConfig) << "the configuration folder holds:\n"
                                    << Describe(actualConfig) << "expected:\n"
                                    << Describe(config);
}

class CopyFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CopyFailure, AsksAbortRetryIgnoreAndDoesWhatWasAnswered) {
    const FailureCase& c = GetParam();
    const std::string folder = "C:\\锁定测试";
    const std::string installFolder = folder + texts::kInstallSubfolder;
    const std::string destination = installFolder + "\\" + kLockedName;
    InstallMachine machine({folder});
    ASSERT_TRUE(machine.Prepare());
    const RegistryState before = ReadAutodeskKeys();
    // The install folder is there already, from an earlier install.
    ASSERT_TRUE(MakeFiles(folder, {{std::string(texts::kInstallSubfolder + 1) + "\\", ""}}));
    LockedFile locked;
    ASSERT_TRUE(locked.Lock(destination, kOldContent));

    Wizard wizard;
    ASSERT_TRUE(wizard.Start(StandardPayload()));
    Page page;
    ASSERT_TRUE(WalkTo(wizard, PageKind::Location, page));
    ASSERT_TRUE(page.Type(IDC_PATH_EDIT, folder));
    const std::vector<std::string> listing = Listing(wizard.Folder().Path());
    ASSERT_TRUE(PostClick(page.Control(IDOK)));

    for (Answer answer : c.answers) {
        HWND box = nullptr;
        ASSERT_TRUE(wizard.WaitForBox(BoxKind::MessageBox, box));
        ExpectCopyFailureBox(box, destination);
        if (answer == Answer::RetryReleased) locked.Release();
        ASSERT_TRUE(PostClick(ControlOf(box, ButtonOf(answer))));
        ASSERT_TRUE(wizard.WaitUntilClosed(box));
    }

    if (c.answers.back() == Answer::Abort) {
        // The wizard ends at once: no finish page, nothing registered, no
        // support file copied, the copies made so far kept.
        ASSERT_TRUE(wizard.Ends());
        EXPECT_EQ(0u, wizard.ExitCode());
        locked.Release();
        ExpectAbortedRun(listing, installFolder);
        for (const AcadProduct& product : MachineProducts()) {
            EXPECT_EQ(AcadFolderBefore(product), ReadTree(product.folder)) << AnsiToUtf8(product.folder);
        }
        EXPECT_TRUE(SameRegistry(before, ReadAutodeskKeys()));
        return;
    }

    ASSERT_TRUE(wizard.NextPage(PageKind::Finish, page));
    locked.Release();
    if (c.answers.back() == Answer::Ignore) {
        // Everything else is installed; the held file keeps its old content.
        bool found = false;
        EXPECT_EQ(kOldContent, ReadWholeFile(destination, found));
        // With the payload's content in its place, the rest is checked as a
        // completed install.
        ASSERT_TRUE(MakeFiles(installFolder, {{kLockedName, PayloadContent(kLockedSource)}}));
    }
    ExpectCompletedInstall(installFolder, MachineYears(), before);
    ASSERT_TRUE(page.Click(IDOK));
    ASSERT_TRUE(wizard.Ends());
}

INSTANTIATE_TEST_SUITE_P(HeldFile, CopyFailure, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tavrin::gui

#include "payload_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "install_fakes.h"
#include "memory_file_system.h"

namespace tavrin {
namespace {

using fakes::CopyFailedText;
using fakes::CountingProgress;
using fakes::ScriptedPrompt;

const char* const kSetup = "C:\\Setup";
const char* const kTarget = "C:\\Tavrin\\Tavrin批打印软件";
const char* const kAppData = "C:\\Users\\u\\AppData\\Roaming";
const char* const kConfig = "C:\\Users\\u\\AppData\\Roaming\\Tavrin";

std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

// A machine with the setup program in C:\Setup, the install folder made (as
// the location page makes it) and APPDATA pointing at an existing folder.
class PayloadCopyTest : public ::testing::Test {
protected:
    PayloadCopyTest() {
        fs.SetProgramPath(In(kSetup, "SetUp.exe"));
        fs.AddFile(In(kSetup, "SetUp.exe"), "program");
        fs.AddFolder(kTarget);
        fs.AddFolder(kAppData);
        fs.SetEnvironment("APPDATA", kAppData);
    }

    bool Run() {
        const PayloadJob job(kTarget, &progress);
        return CopyPayload(job, fs, prompt);
    }

    // Paths that exist now and did not before.
    std::set<std::string> NewPaths(const std::vector<std::string>& before) const {
        std::set<std::string> added;
        for (const std::string& path : fs.PathsBelow("C:\\")) {
            if (std::find(before.begin(), before.end(), path) == before.end()) added.insert(path);
        }
        return added;
    }

    bool IsReadOnly(const std::string& path) {
        std::uint32_t attributes = 0;
        return fs.GetAttributes(path, attributes) && (attributes & kAttrReadOnly) != 0;
    }

    MemoryFileSystem fs;
    CountingProgress progress;
    ScriptedPrompt prompt;
};

TEST_F(PayloadCopyTest, EachSetupFileGoesWhereThePayloadTableSays) {
    struct Case {
        const char* name;         // as the setup folder's listing spells it
        std::string destination;  // "" = left out
    };
    const Case cases[] = {
        {"SetUp.EXE", ""},
        {"setup.exe", ""},
        {"SETUP.EXE", ""},
        {"sEtUp.ExE", ""},
        {"Tavrin_EN.shx", ""},
        {"TAVRIN_en.SHX", ""},
        {"tavrin_hz.shx", ""},
        {"Tavrin.PRT5", ""},
        {"Tavrin.prt6", In(kTarget, "ICSharpCode.SharpZipLib.dll")},
        {"TAVRIN.prt6", In(kTarget, "ICSharpCode.SharpZipLib.dll")},
        {"Tavrin.prt7", In(kTarget, "itextsharp.dll")},
        {"tavrin.PRT7", In(kTarget, "itextsharp.dll")},
        {"BPlot_Cfg.cfg", In(kConfig, "BPlot_Cfg.cfg")},
        {"bplot_CFG.CFG", In(kConfig, "bplot_CFG.CFG")},
        {"BPlot_TK.tk", In(kConfig, "BPlot_TK.tk")},
        {"BPLOT_tk.TK", In(kConfig, "BPLOT_tk.TK")},
        {"TV_BatchPlot2008.ARX", In(kTarget, "TV_BatchPlot2008.ARX")},
        {"Setup2.exe", In(kTarget, "Setup2.exe")},   // the program under another name
        {"SetUp.EXE.bak", In(kTarget, "SetUp.EXE.bak")},
        {"Tavrin.prt8", In(kTarget, "Tavrin.prt8")},
        {"说明.txt", In(kTarget, "说明.txt")},
        {"乗.dat", In(kTarget, "乗.dat")},  // trail byte 0x5C in the name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem machine;
        machine.SetProgramPath(In(kSetup, "SetUp.exe"));
        machine.AddFile(In(kSetup, c.name), std::string("content of ") + c.name);
        machine.AddFolder(kTarget);
        machine.AddFolder(kAppData);
        machine.SetEnvironment("APPDATA", kAppData);
        const std::vector<std::string> before = machine.PathsBelow("C:\\");
        ScriptedPrompt noQuestions;
        CountingProgress bar;

        ASSERT_TRUE(CopyPayload(PayloadJob(kTarget, &bar), machine, noQuestions));

        std::set<std::string> added;
        for (const std::string& path : machine.PathsBelow("C:\\")) {
            if (std::find(before.begin(), before.end(), path) == before.end()) added.insert(path);
        }
        std::set<std::string> expected;
        if (!c.destination.empty()) {
            expected.insert(c.destination);
            EXPECT_EQ(machine.ReadContent(c.destination), std::string("content of ") + c.name);
        }
        if (c.destination.rfind(kConfig, 0) == 0) expected.insert(kConfig);
        EXPECT_EQ(added, expected);
        EXPECT_EQ(bar.steps, 4);  // ".", "..", the file, the end of the listing
    }
}

TEST_F(PayloadCopyTest, FullSetupFolderFillsInstallAndConfigFoldersAndNothingElse) {
    for (const char* name : {"Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5", "Tavrin.prt6", "Tavrin.prt7",
                             "BPlot_Cfg.cfg", "BPlot_TK.tk", "TV_BatchPlot2019.ARX"}) {
        fs.AddFile(In(kSetup, name), name);
    }
    const std::vector<std::string> before = fs.PathsBelow("C:\\");

    ASSERT_TRUE(Run());

    EXPECT_EQ(fs.PathsBelow(kTarget), (std::vector<std::string>{In(kTarget, "ICSharpCode.SharpZipLib.dll"),
                                                                In(kTarget, "itextsharp.dll"),
                                                                In(kTarget, "TV_BatchPlot2019.ARX")}));
    EXPECT_EQ(fs.PathsBelow(kConfig),
              (std::vector<std::string>{In(kConfig, "BPlot_Cfg.cfg"), In(kConfig, "BPlot_TK.tk")}));
    EXPECT_EQ(NewPaths(before),
              (std::set<std::string>{kConfig, In(kTarget, "ICSharpCode.SharpZipLib.dll"), In(kTarget, "itextsharp.dll"),
                                     In(kTarget, "TV_BatchPlot2019.ARX"), In(kConfig, "BPlot_Cfg.cfg"),
                                     In(kConfig, "BPlot_TK.tk")}));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "itextsharp.dll")), std::string("Tavrin.prt7"));
    EXPECT_EQ(progress.steps, 2 + 9 + 1);
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(PayloadCopyTest, ProgressStepsOncePerEntryAndOnceAtTheEnd) {
    struct Case {
        const char* name;
        int files;
        int steps;
    };
    const Case cases[] = {
        {"only the setup program", 0, 4},  // ".", "..", SetUp.exe, end
        {"three files", 2, 6},
        {"ten files", 9, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem machine;
        machine.AddFile(In(kSetup, "SetUp.exe"));
        machine.AddFolder(kTarget);
        for (int i = 0; i < c.files; ++i) machine.AddFile(In(kSetup, "f" + std::to_string(i) + ".dat"));
        CountingProgress bar;
        ScriptedPrompt noQuestions;
        ASSERT_TRUE(CopyPayload(PayloadJob(kTarget, &bar), machine, noQuestions));
        EXPECT_EQ(bar.steps, c.steps);
    }
}

// The setup folder used to be cut off after 101 entries, leaving the rest
// uncopied without a word.
TEST_F(PayloadCopyTest, EverySetupFolderEntryIsCopiedWhateverTheirNumber) {
    // ".", "..", SetUp.exe and 147 plug-in files: 150 entries.
    std::vector<std::string> expected;
    for (int i = 0; i < 147; ++i) {
        const std::string name = "module" + std::to_string(i) + ".dll";
        fs.AddFile(In(kSetup, name), name);
        expected.push_back(In(kTarget, name));
    }
    std::vector<DirEntry> listing;
    ASSERT_TRUE(fs.ListFolder(kSetup, listing));
    ASSERT_EQ(listing.size(), 150u);

    ASSERT_TRUE(Run());

    EXPECT_EQ(fs.PathsBelow(kTarget), expected);
    EXPECT_EQ(fs.ReadContent(In(kTarget, "module146.dll")), std::string("module146.dll"));
    EXPECT_EQ(progress.steps, 151);
}

TEST_F(PayloadCopyTest, SubfoldersAreSkippedWithTheirContent) {
    fs.AddFolder(In(kSetup, "Docs"));
    fs.AddFile(In(kSetup, "Docs\\readme.txt"));
    fs.AddFolder(In(kSetup, "Hidden"));
    fs.SetAttributes(In(kSetup, "Hidden"), kAttrDirectory | kAttrHidden | kAttrReadOnly | kAttrSystem);
    fs.AddFile(In(kSetup, "Hidden\\inner.dll"));
    fs.AddFolder(In(kSetup, "Tavrin.prt6"));  // a folder, even under a payload name
    fs.AddFile(In(kSetup, "a.dll"), "a");

    ASSERT_TRUE(Run());

    EXPECT_EQ(fs.PathsBelow(kTarget), (std::vector<std::string>{In(kTarget, "a.dll")}));
    EXPECT_EQ(progress.steps, 2 + 5 + 1);
}

TEST_F(PayloadCopyTest, ReadOnlyFilesOnEitherSideEndUpWritableAndReplaced) {
    fs.AddFile(In(kSetup, "a.dll"), "new a", kAttrReadOnly | kAttrArchive);
    fs.AddFile(In(kSetup, "b.dll"), "new b");
    fs.AddFile(In(kTarget, "b.dll"), "old b", kAttrReadOnly);
    fs.AddFile(In(kSetup, "BPlot_TK.tk"), "new tk", kAttrReadOnly);
    fs.AddFile(In(kConfig, "BPlot_TK.tk"), "old tk", kAttrReadOnly);

    ASSERT_TRUE(Run());

    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(fs.ReadContent(In(kTarget, "a.dll")), std::string("new a"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "b.dll")), std::string("new b"));
    EXPECT_EQ(fs.ReadContent(In(kConfig, "BPlot_TK.tk")), std::string("new tk"));
    for (const std::string& path : {In(kSetup, "a.dll"), In(kTarget, "a.dll"), In(kTarget, "b.dll"),
                                    In(kSetup, "BPlot_TK.tk"), In(kConfig, "BPlot_TK.tk")}) {
        EXPECT_FALSE(IsReadOnly(path)) << path;
    }
    std::uint32_t attributes = 0;
    ASSERT_TRUE(fs.GetAttributes(In(kSetup, "a.dll"), attributes));
    EXPECT_EQ(attributes & kAttrArchive, static_cast<std::uint32_t>(kAttrArchive));  // other bits kept
}

TEST_F(PayloadCopyTest, DestinationInUseRetriedAfterReleaseIsCopiedAndTheScanGoesOn) {
    fs.AddFile(In(kSetup, "a.dll"), "new a");
    fs.AddFile(In(kSetup, "b.dll"), "new b");
    fs.AddFile(In(kTarget, "a.dll"), "old a");
    fs.SetInUse(In(kTarget, "a.dll"));
    prompt.Then(CopyFailureAnswer::Retry)  // still held: asked again
        .Then(CopyFailureAnswer::Retry, [&] { fs.SetInUse(In(kTarget, "a.dll"), false); });

    ASSERT_TRUE(Run());

    ASSERT_EQ(prompt.questions.size(), 2u);
    for (const auto& shown : prompt.questions) {
        EXPECT_EQ(shown.text, CopyFailedText(In(kTarget, "a.dll")));  // the destination, not the source
        EXPECT_EQ(shown.caption, fakes::InstallCaptionText());
    }
    EXPECT_EQ(fs.ReadContent(In(kTarget, "a.dll")), std::string("new a"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "b.dll")), std::string("new b"));
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(PayloadCopyTest, IgnoreLeavesTheOldFileAndGoesOn) {
    fs.AddFile(In(kSetup, "a.dll"), "new a");
    fs.AddFile(In(kSetup, "BPlot_Cfg.cfg"), "new cfg");
    fs.AddFile(In(kSetup, "c.dll"), "new c");
    fs.AddFile(In(kConfig, "BPlot_Cfg.cfg"), "old cfg");
    fs.SetInUse(In(kConfig, "BPlot_Cfg.cfg"));
    prompt.Then(CopyFailureAnswer::Ignore);

    ASSERT_TRUE(Run());

    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(prompt.questions[0].text, CopyFailedText(In(kConfig, "BPlot_Cfg.cfg")));
    EXPECT_EQ(fs.ReadContent(In(kConfig, "BPlot_Cfg.cfg")), std::string("old cfg"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "a.dll")), std::string("new a"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "c.dll")), std::string("new c"));
    EXPECT_EQ(progress.steps, 2 + 4 + 1);
}

TEST_F(PayloadCopyTest, AbortOnTheThirdFailureKeepsEarlierCopiesAndCopiesNothingAfter) {
    const char* const names[] = {"f1.dll", "f2.dll", "f3.dll", "f4.dll", "f5.dll", "f6.dll"};
    for (const char* name : names) fs.AddFile(In(kSetup, name), std::string("new ") + name);
    for (const char* name : {"f2.dll", "f4.dll", "f5.dll"}) {
        fs.AddFile(In(kTarget, name), "old");
        fs.SetInUse(In(kTarget, name));
    }
    prompt.Then(CopyFailureAnswer::Ignore).Then(CopyFailureAnswer::Ignore).Then(CopyFailureAnswer::Abort);

    EXPECT_FALSE(Run());

    ASSERT_EQ(prompt.questions.size(), 3u);
    EXPECT_EQ(prompt.questions[2].text, CopyFailedText(In(kTarget, "f5.dll")));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "f1.dll")), std::string("new f1.dll"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "f3.dll")), std::string("new f3.dll"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "f2.dll")), std::string("old"));
    EXPECT_EQ(fs.ReadContent(In(kTarget, "f5.dll")), std::string("old"));
    EXPECT_FALSE(fs.ReadContent(In(kTarget, "f6.dll")).has_value());
    EXPECT_EQ(fs.Copies().back().destination, In(kTarget, "f5.dll"));
    EXPECT_EQ(progress.steps, 2 + 1 + 5);  // ".", "..", SetUp.exe, f1..f5; no closing step
}

TEST_F(PayloadCopyTest, AnAnswerOtherThanRetryOrIgnoreStopsLikeAbort) {
    fs.AddFile(In(kSetup, "a.dll"), "new a");
    fs.AddFile(In(kTarget, "a.dll"), "old a");
    fs.SetInUse(In(kTarget, "a.dll"));
    prompt.Then(static_cast<CopyFailureAnswer>(0));  // MessageBoxA failed and gave 0

    EXPECT_FALSE(Run());

    EXPECT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(fs.ReadContent(In(kTarget, "a.dll")), std::string("old a"));
}

TEST_F(PayloadCopyTest, MissingConfigParentShowsAsFailedCopies) {
    fs.SetEnvironment("APPDATA", "C:\\Nowhere\\Roaming");
    fs.AddFile(In(kSetup, "BPlot_Cfg.cfg"));
    fs.AddFile(In(kSetup, "BPlot_TK.tk"));
    prompt.Then(CopyFailureAnswer::Ignore).Then(CopyFailureAnswer::Ignore);

    ASSERT_TRUE(Run());

    ASSERT_EQ(prompt.questions.size(), 2u);
    EXPECT_EQ(prompt.questions[0].text, CopyFailedText("C:\\Nowhere\\Roaming\\Tavrin\\BPlot_Cfg.cfg"));
    EXPECT_EQ(prompt.questions[1].text, CopyFailedText("C:\\Nowhere\\Roaming\\Tavrin\\BPlot_TK.tk"));
    EXPECT_FALSE(fs.Exists("C:\\Nowhere"));
}

TEST_F(PayloadCopyTest, WithoutAppDataTheConfigFilesGoToTavrinAtTheCurrentDrivesRoot) {
    fs.UnsetEnvironment("APPDATA");
    fs.AddFolder("D:\\Work");
    fs.SetCurrentFolder("D:\\Work");
    fs.AddFile(In(kSetup, "BPlot_Cfg.cfg"), "cfg");

    ASSERT_TRUE(Run());

    EXPECT_EQ(fs.Copies().back().destination, "\\Tavrin\\BPlot_Cfg.cfg");
    EXPECT_EQ(fs.ReadContent("D:\\Tavrin\\BPlot_Cfg.cfg"), std::string("cfg"));
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(PayloadCopyTest, ConfigFolderIsCreatedForEachConfigFile) {
    fs.AddFile(In(kSetup, "BPlot_Cfg.cfg"), "cfg");
    fs.AddFile(In(kSetup, "a.dll"));
    fs.AddFile(In(kSetup, "BPlot_TK.tk"), "tk");

    ASSERT_TRUE(Run());

    EXPECT_EQ(fs.ReadContent(In(kConfig, "BPlot_Cfg.cfg")), std::string("cfg"));
    EXPECT_EQ(fs.ReadContent(In(kConfig, "BPlot_TK.tk")), std::string("tk"));
    EXPECT_EQ(fs.Calls().createFolder, 3);  // the install folder, then the config folder twice
}

TEST_F(PayloadCopyTest, MissingInstallFolderIsCreatedWhenItsParentExists) {
    MemoryFileSystem machine;
    machine.AddFile(In(kSetup, "SetUp.exe"));
    machine.AddFile(In(kSetup, "a.dll"), "a");
    machine.AddFolder("C:\\Tavrin");
    ScriptedPrompt noQuestions;

    ASSERT_TRUE(CopyPayload(PayloadJob(kTarget, nullptr), machine, noQuestions));

    EXPECT_EQ(machine.ReadContent(In(kTarget, "a.dll")), std::string("a"));
}

// A setup folder that could not be listed used to count as success: the run
// went on to register a plug-in whose files were never copied.
TEST_F(PayloadCopyTest, UnlistableSetupFolderIsReportedAndFailsTheRun) {
    fs.AddFile(In(kSetup, "a.dll"));
    fs.SetUnlistable(kSetup);

    EXPECT_FALSE(Run());

    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_EQ(prompt.errors[0].caption, fakes::InstallCaptionText());
    EXPECT_NE(prompt.errors[0].text.find("C:\\Setup"), std::string::npos) << prompt.errors[0].text;
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_TRUE(fs.Copies().empty());
    EXPECT_TRUE(fs.PathsBelow(kTarget).empty());
}

TEST_F(PayloadCopyTest, PathsTooLongForWin32CountAsFailedCopies) {
    // 259 bytes fit with the terminating zero; 260 do not.
    const std::string longName = std::string(259 - std::string(kTarget).size() - 1, 'n');
    const std::string tooLongName = longName + "x";
    fs.AddFile(In(kSetup, "Tavrin.prt7"), "pdf");
    fs.AddFile(In(kSetup, longName), "fits");
    fs.AddFile(In(kSetup, tooLongName), "too long");
    prompt.Then(CopyFailureAnswer::Ignore);

    ASSERT_TRUE(Run());

    ASSERT_EQ(In(kTarget, longName).size(), 259u);
    EXPECT_EQ(fs.ReadContent(In(kTarget, longName)), std::string("fits"));
    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(prompt.questions[0].text, CopyFailedText(In(kTarget, tooLongName)));
    EXPECT_FALSE(fs.Exists(In(kTarget, tooLongName)));
    for (const auto& copy : fs.Copies()) EXPECT_LT(copy.destination.size(), 260u);
}

TEST(PayloadJob, KeepsTheFolderWithoutOneTrailingBackslash) {
    struct Case {
        const char* given;
        const char* kept;
    };
    const Case cases[] = {
        {"C:\\Tavrin\\Tavrin批打印软件", "C:\\Tavrin\\Tavrin批打印软件"},
        {"C:\\Tavrin\\Tavrin批打印软件\\", "C:\\Tavrin\\Tavrin批打印软件"},
        {"C:\\Tavrin\\\\", "C:\\Tavrin\\"},  // one removed, not all
        {"C:\\乗", "C:\\乗"},              // 0x5C is the trail byte here, not a "\"
        {"C:\\乗\\", "C:\\乗"},
    };
    CountingProgress bar;
    for (const Case& c : cases) {
        const PayloadJob job(c.given, &bar);
        EXPECT_EQ(job.m_folder, c.kept) << c.given;
        EXPECT_EQ(job.m_pProgress, &bar);
    }
    EXPECT_THROW(PayloadJob("", &bar), std::invalid_argument);
    EXPECT_THROW(PayloadJob("\\", &bar), std::invalid_argument);  // nothing left once the "\" is gone
}

TEST(SetupFolder, IsTheProgramPathCutBeforeItsLastBackslash) {
    struct Case {
        const char* program;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Setup\\SetUp.exe", "C:\\Setup"},
        {"D:\\安装\\Tavrin\\SetUp.exe", "D:\\安装\\Tavrin"},
        {"C:\\Setup\\乗.exe", "C:\\Setup"},  // the trail byte 0x5C is not a "\"
        {"C:\\乗\\SetUp.exe", "C:\\乗"},
        {"C:\\SetUp.exe", "C:"},
    };
    for (const Case& c : cases) {
        MemoryFileSystem machine;
        machine.SetProgramPath(c.program);
        EXPECT_EQ(SetupFolder(machine), c.folder) << c.program;
    }
}

TEST(ClearReadOnly, RemovesOnlyTheReadOnlyBitAndIgnoresMissingFiles) {
    MemoryFileSystem machine;
    machine.AddFile("C:\\a.txt", "", kAttrReadOnly | kAttrHidden | kAttrArchive);
    machine.AddFile("C:\\b.txt", "", kAttrArchive);
    ClearReadOnly(machine, "C:\\a.txt");
    ClearReadOnly(machine, "C:\\b.txt");
    ClearReadOnly(machine, "C:\\missing.txt");
    std::uint32_t a = 0, b = 0;
    ASSERT_TRUE(machine.GetAttributes("C:\\a.txt", a));
    ASSERT_TRUE(machine.GetAttributes("C:\\b.txt", b));
    EXPECT_EQ(a, static_cast<std::uint32_t>(kAttrHidden | kAttrArchive));
    EXPECT_EQ(b, static_cast<std::uint32_t>(kAttrArchive));
    EXPECT_FALSE(machine.Exists("C:\\missing.txt"));
    EXPECT_EQ(machine.Calls().setAttributes, 1);  // nothing to change on b
}

}  // namespace
}  // namespace tavrin

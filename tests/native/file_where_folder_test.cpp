// A file standing where the install run expects a folder: the install
// folder, the user configuration folder or an AutoCAD fonts folder. The file
// the user had is never replaced or lost; the payload copy tells the user
// about each file it could not copy, the support files stay silent.
#include <gtest/gtest.h>

#include "install_fakes.h"
#include "memory_file_system.h"
#include "payload_copy.h"
#include "support_files.h"

namespace tavrin {
namespace {

using fakes::CopyFailedText;
using fakes::ScriptedPrompt;

const std::string kSetup = "C:\\Setup";
const std::string kParent = "C:\\Tavrin";
const std::string kTarget = "C:\\Tavrin\\Tavrin批打印软件";
const std::string kAppData = "C:\\Users\\u\\AppData\\Roaming";
const std::string kAcad = "C:\\Program Files\\AutoCAD 2010";

TEST(FileWhereAFolderIsExpected, IsKeptAndTheUserIsToldOfEachFileThatCouldNotBeCopied) {
    struct Case {
        const char* name;
        std::string blockingFile;                // a file where the run wants a folder
        std::vector<std::string> failedCopies;   // the destinations the user is asked about
    };
    const Case cases[] = {
        {"install_folder_is_a_file", kTarget, {kTarget + "\\TV_BatchPlot2010.ARX"}},
        {"config_folder_is_a_file", kAppData + "\\Tavrin", {kAppData + "\\Tavrin\\BPlot_Cfg.cfg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem fs;
        fs.SetProgramPath(kSetup + "\\SetUp.exe");
        fs.AddFile(kSetup + "\\SetUp.exe", "program");
        fs.AddFile(kSetup + "\\TV_BatchPlot2010.ARX", "module");
        fs.AddFile(kSetup + "\\BPlot_Cfg.cfg", "config");
        fs.AddFolder(kParent);
        fs.AddFolder(kAppData);
        fs.SetEnvironment("APPDATA", kAppData);
        fs.AddFile(c.blockingFile, "the user's own file");
        if (c.blockingFile != kTarget) fs.AddFolder(kTarget);

        ScriptedPrompt prompt;
        for (std::size_t i = 0; i < c.failedCopies.size(); ++i) prompt.Then(CopyFailureAnswer::Ignore);
        EXPECT_TRUE(CopyPayload(PayloadJob(kTarget, nullptr), fs, prompt));

        ASSERT_EQ(prompt.questions.size(), c.failedCopies.size());
        for (std::size_t i = 0; i < c.failedCopies.size(); ++i)
            EXPECT_EQ(prompt.questions[i].text, CopyFailedText(c.failedCopies[i]));
        EXPECT_EQ(fs.ReadContent(c.blockingFile), std::optional<std::string>("the user's own file"));
    }
}

TEST(FileWhereAFolderIsExpected, FontsFileInAnAutoCADFolderIsLeftAlone) {
    MemoryFileSystem fs;
    fs.SetProgramPath(kSetup + "\\SetUp.exe");
    for (const char* name : {"Tavrin_EN.shx", "Tavrin_HZ.shx", "Tavrin.prt5"}) fs.AddFile(kSetup + "\\" + name, name);
    fs.AddFile(kAcad + "\\Fonts", "a file named Fonts");
    fs.AddFile(kAcad + "\\Drv", "a file named Drv");
    InstallContext context;
    context.ReleaseFolders[0] = {kAcad};
    context.ReleaseKeys[0] = {"SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\P\\"};
    const int only2008[kReleaseCount] = {1};
    CopySupportFiles(context, only2008, fs);
    EXPECT_EQ(fs.ReadContent(kAcad + "\\Fonts"), std::optional<std::string>("a file named Fonts"));
    EXPECT_EQ(fs.ReadContent(kAcad + "\\Drv"), std::optional<std::string>("a file named Drv"));
    EXPECT_EQ(fs.PathsBelow(kAcad).size(), 2u);
}

}  // namespace
}  // namespace tavrin

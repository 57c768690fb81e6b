#include "install_folder.h"

#include <gtest/gtest.h>

#include "memory_file_system.h"

namespace tavrin {
namespace {

TEST(InstallFolder, MakeAbsolutePath) {
    struct Case {
        const char* name;
        std::string text, current, expected;
    };
    const Case cases[] = {
        {"absolute_stands", "D:\\Tools", "C:\\Work", "D:\\Tools"},
        {"trailing_backslash_kept_for_caller", "D:\\Tools\\", "C:\\Work", "D:\\Tools"},
        {"drive_root", "D:\\", "C:\\Work", "D:\\"},
        {"relative_to_current", "Plugins", "C:\\Work", "C:\\Work\\Plugins"},
        {"relative_to_current_root", "Plugins", "C:\\", "C:\\Plugins"},
        {"dot_dot_resolved", "..\\Plugins\\.\\x", "C:\\Work\\Sub", "C:\\Work\\Plugins\\x"},
        {"dot_dot_stops_at_root", "..\\..\\..\\x", "C:\\Work", "C:\\x"},
        {"rooted_on_current_drive", "\\Tavrin", "E:\\Work", "E:\\Tavrin"},
        {"drive_without_backslash", "D:", "C:\\Work", "D:\\"},
        {"drive_relative", "D:Tools", "C:\\Work", "D:\\Tools"},
        {"network_path_stands", "\\\\server\\share", "C:\\Work", "\\\\server\\share"},
        {"chinese_levels", "插件\\表", "C:\\工作", "C:\\工作\\插件\\表"},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeAbsolutePath(c.text, c.current), c.expected) << c.name;
}

class InstallFolderCheck : public ::testing::Test {
protected:
    InstallFolderCheck() {
        fs.SetProgramPath("C:\\Setup\\SetUp.exe");
        fs.AddFile("C:\\Setup\\SetUp.exe");
        fs.AddFile("C:\\Setup\\TV_BatchPlot2008.ARX");
        fs.SetCurrentFolder("C:\\Work");
    }
    MemoryFileSystem fs;
};

TEST_F(InstallFolderCheck, AcceptedTextsGiveTheInstallFolder) {
    struct Case {
        const char* name;
        std::string text, folder, installFolder;
    };
    const Case cases[] = {
        {"default", "C:\\Tavrin", "C:\\Tavrin", "C:\\Tavrin\\Tavrin批打印软件"},
        {"trailing_backslash", "D:\\Tools\\", "D:\\Tools", "D:\\Tools\\Tavrin批打印软件"},
        {"drive_root", "D:\\", "D:", "D:\\Tavrin批打印软件"},
        {"relative", "Plugins", "C:\\Work\\Plugins", "C:\\Work\\Plugins\\Tavrin批打印软件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const InstallFolderChoice choice = CheckInstallFolderText(c.text, fs);
        EXPECT_TRUE(choice.accepted) << choice.refusal;
        EXPECT_EQ(choice.folder, c.folder);
        EXPECT_EQ(choice.installFolder, c.installFolder);
    }
    EXPECT_EQ(fs.Copies().size(), 0u);
}

TEST_F(InstallFolderCheck, SemicolonIsRefused) {
    // Trail bytes 0x3B of double-byte characters are no semicolon.
    EXPECT_TRUE(CheckInstallFolderText("C:\\\x81\x3B", fs).accepted);
    const InstallFolderChoice choice = CheckInstallFolderText("C:\\A;D:\\Other", fs);
    EXPECT_FALSE(choice.accepted);
    EXPECT_NE(choice.refusal.find("C:\\A;D:\\Other"), std::string::npos);
    EXPECT_NE(choice.refusal.find("分号"), std::string::npos);
}

// With the suffix "\Tavrin批打印软件" (17 bytes) and the longest name below the
// install folder, every path the run writes stays within 259 bytes.
TEST_F(InstallFolderCheck, LengthLimitFollowsTheLongestPayloadName) {
    struct Case {
        const char* name;
        const char* extraFile;    // put into the setup folder, or null
        const char* extraFolder;  // made in the setup folder, or null
        std::size_t maxFolderBytes;
    };
    const std::size_t suffix = 17;
    // The rows add to the same setup folder, each name longer than the last.
    const Case cases[] = {
        // "\TV_BatchPlot2008.ARX" is 21 bytes: the "LOADER" path.
        {"loader_path", nullptr, nullptr, 259 - suffix - 21},
        // "Tavrin.prt6" lands as "ICSharpCode.SharpZipLib.dll", 28 bytes with "\".
        {"renamed_file", "C:\\Setup\\Tavrin.prt6", nullptr, 259 - suffix - 28},
        {"long_payload_name", "C:\\Setup\\A_very_long_plug_in_file_name_for_testing.dll", nullptr, 259 - suffix - 46},
        // A sub-folder is not copied, so its name does not count.
        {"sub_folder_ignored", nullptr,
         "C:\\Setup\\A_folder_whose_name_is_far_longer_than_any_file_name_in_the_setup_folder", 259 - suffix - 46},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.extraFile != nullptr) fs.AddFile(c.extraFile);
        if (c.extraFolder != nullptr) fs.AddFolder(c.extraFolder);
        const std::string longest = "C:\\" + std::string(c.maxFolderBytes - 3, 'x');
        EXPECT_TRUE(CheckInstallFolderText(longest, fs).accepted);
        const InstallFolderChoice refused = CheckInstallFolderText(longest + "y", fs);
        EXPECT_FALSE(refused.accepted);
        EXPECT_NE(refused.refusal.find(std::to_string(c.maxFolderBytes)), std::string::npos) << refused.refusal;
    }
}

}  // namespace
}  // namespace tavrin

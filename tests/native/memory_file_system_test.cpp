// The in-memory file system: the rules it shares with Windows (the shared
// tables, which the Win32 backend passes under Wine too), the Windows rules
// that Wine does not show, and its own test helpers.
#include "memory_file_system.h"

#include "file_system_cases.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrin {
namespace {

constexpr const char* kScratch = "C:\\Scratch";

class MemoryBench : public fs_cases::Bench {
public:
    MemoryBench() { fs_.AddFolder(kScratch); }

    FileSystem& Fs() override { return fs_; }
    std::string Root() override { return kScratch; }
    void AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) override {
        fs_.AddFile(path, content, attributes);
    }
    void AddFolder(const std::string& path) override { fs_.AddFolder(path); }
    void HoldOpen(const std::string& path) override {
        fs_.SetInUse(path);
        held_.push_back(path);
    }
    void ReleaseAll() override {
        for (const std::string& path : held_) fs_.SetInUse(path, false);
        held_.clear();
    }
    bool ReadContent(const std::string& path, std::string& content) override {
        const std::optional<std::string> found = fs_.ReadContent(path);
        if (!found) return false;
        content = *found;
        return true;
    }
    void SetEnvironment(const std::string& name, const std::string& value) override {
        fs_.SetEnvironment(name, value);
    }
    void UnsetEnvironment(const std::string& name) override { fs_.UnsetEnvironment(name); }

private:
    MemoryFileSystem fs_;
    std::vector<std::string> held_;
};

}  // namespace

namespace fs_cases {
std::unique_ptr<Bench> MakeBench() { return std::make_unique<MemoryBench>(); }
}  // namespace fs_cases

namespace {

using fs_cases::File;
using fs_cases::FileSystemAttributes;
using fs_cases::FileSystemCopy;
using fs_cases::FileSystemCreateFolder;
using fs_cases::FileSystemEnvironment;
using fs_cases::FileSystemList;
using fs_cases::Folder;
using fs_cases::Kind;

INSTANTIATE_TEST_SUITE_P(Memory, FileSystemCopy, ::testing::ValuesIn(fs_cases::kCopyCases),
                         fs_cases::CaseName<fs_cases::CopyCase>);
INSTANTIATE_TEST_SUITE_P(Memory, FileSystemCreateFolder, ::testing::ValuesIn(fs_cases::kFolderCases),
                         fs_cases::CaseName<fs_cases::FolderCase>);
INSTANTIATE_TEST_SUITE_P(Memory, FileSystemList, ::testing::ValuesIn(fs_cases::kListCases),
                         fs_cases::CaseName<fs_cases::ListCase>);
INSTANTIATE_TEST_SUITE_P(Memory, FileSystemAttributes, ::testing::ValuesIn(fs_cases::kAttributeCases),
                         fs_cases::CaseName<fs_cases::AttributeCase>);
INSTANTIATE_TEST_SUITE_P(Memory, FileSystemEnvironment, ::testing::ValuesIn(fs_cases::kEnvironmentCases),
                         fs_cases::CaseName<fs_cases::EnvironmentCase>);

// Windows rules that Wine does not reproduce (it lets a copy replace a hidden
// file, keeps the archive bit on everything, and names a missing drive
// FileNotFound), so only the in-memory file system is held to them.
const std::vector<fs_cases::CopyCase> kWindowsOnlyCopyCases = {
    {"hidden_destination", {File("a.txt", "new"), File("b.txt", "old", kAttrHidden | kAttrArchive)}, nullptr,
     "a.txt", "b.txt", FsStatus::AccessDenied, "old", kAttrHidden | kAttrArchive, "b.txt"},
    {"takes_hidden_bit_of_source", {File("a.txt", "new", kAttrHidden)}, nullptr, "a.txt", "b.txt", FsStatus::Ok,
     "new", kAttrHidden | kAttrArchive, "b.txt"},
    {"copy_gets_archive_bit", {File("a.txt", "new", kAttrReadOnly)}, nullptr, "a.txt", "b.txt", FsStatus::Ok, "new",
     kAttrReadOnly | kAttrArchive, "b.txt"},
    {"destination_on_missing_drive", {File("a.txt", "new")}, nullptr, "a.txt", "Q:\\b.txt", FsStatus::PathNotFound,
     nullptr, 0, nullptr},
};
INSTANTIATE_TEST_SUITE_P(MemoryWindowsOnly, FileSystemCopy, ::testing::ValuesIn(kWindowsOnlyCopyCases),
                         fs_cases::CaseName<fs_cases::CopyCase>);

const std::vector<fs_cases::AttributeCase> kWindowsOnlyAttributeCases = {
    {"no_bits_read_as_normal", {File("a.txt")}, "a.txt", true, 0, FsStatus::Ok, true, kAttrNormal},
    {"hidden_alone", {File("a.txt")}, "a.txt", true, kAttrHidden, FsStatus::Ok, true, kAttrHidden},
    {"directory_bit_not_set_on_file", {File("a.txt")}, "a.txt", true, kAttrDirectory | kAttrReadOnly, FsStatus::Ok,
     true, kAttrReadOnly},
};
INSTANTIATE_TEST_SUITE_P(MemoryWindowsOnly, FileSystemAttributes, ::testing::ValuesIn(kWindowsOnlyAttributeCases),
                         fs_cases::CaseName<fs_cases::AttributeCase>);

const std::vector<fs_cases::FolderCase> kWindowsOnlyFolderCases = {
    {"on_missing_drive", {}, "Q:\\New", FsStatus::PathNotFound, Kind::Nothing, nullptr},
};
INSTANTIATE_TEST_SUITE_P(MemoryWindowsOnly, FileSystemCreateFolder, ::testing::ValuesIn(kWindowsOnlyFolderCases),
                         fs_cases::CaseName<fs_cases::FolderCase>);

// Wine 8's GetEnvironmentVariableA cuts a value with double-byte characters
// short (it counts characters where bytes are meant), so a Chinese APPDATA is
// held to Windows' rule here only.
const std::vector<fs_cases::EnvironmentCase> kWindowsOnlyEnvironmentCases = {
    {"double_byte", true, "C:\\Users\\张三\\乗", fs_cases::kVariable},
};
INSTANTIATE_TEST_SUITE_P(MemoryWindowsOnly, FileSystemEnvironment, ::testing::ValuesIn(kWindowsOnlyEnvironmentCases),
                         fs_cases::CaseName<fs_cases::EnvironmentCase>);

std::vector<std::string> Names(MemoryFileSystem& fs, const std::string& folder) {
    std::vector<DirEntry> entries;
    EXPECT_TRUE(fs.ListFolder(folder, entries)) << folder;
    std::vector<std::string> names;
    for (const DirEntry& entry : entries) names.push_back(entry.name);
    return names;
}

// The order Windows gives depends on the file system; here it is fixed, so
// that tests of the engine can rely on it.
TEST(MemoryFileSystem, ListsInCreationOrderWithNamesAsCreated) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Setup\\b.TXT", "1");
    fs.AddFolder("C:\\setup\\a");
    fs.AddFile("C:\\SETUP\\C.txt", "2");
    ASSERT_EQ(fs.CopyFile("C:\\Setup\\C.txt", "C:\\Setup\\0.txt"), FsStatus::Ok);
    ASSERT_EQ(fs.CopyFile("C:\\Setup\\C.txt", "C:\\Setup\\B.txt"), FsStatus::Ok);  // replaced in place

    EXPECT_EQ(Names(fs, "c:\\setup"), (std::vector<std::string>{".", "..", "b.TXT", "a", "C.txt", "0.txt"}));
    EXPECT_EQ(Names(fs, "C:"), (std::vector<std::string>{"Setup"}));
}

TEST(MemoryFileSystem, UnlistableFolderStillHoldsFiles) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Locked\\a.txt", "x");
    fs.SetUnlistable("C:\\locked");
    std::vector<DirEntry> entries{{"stale", 0}};
    EXPECT_FALSE(fs.ListFolder("C:\\Locked", entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(fs.Exists("C:\\Locked\\a.txt"));
    EXPECT_EQ(fs.CopyFile("C:\\Locked\\a.txt", "C:\\Locked\\b.txt"), FsStatus::Ok);
}

TEST(MemoryFileSystem, StartsWithDriveCOnlyAndNoEnvironment) {
    MemoryFileSystem fs;
    EXPECT_EQ(fs.ProgramPath(), "C:\\Setup\\SetUp.exe");
    EXPECT_EQ(fs.CurrentFolder(), "C:\\");
    EXPECT_TRUE(fs.PathsBelow("C:\\").empty());
    std::string value;
    EXPECT_FALSE(fs.GetEnvironment("APPDATA", value));
    EXPECT_EQ(fs.CreateFolder("D:\\x"), FsStatus::PathNotFound);

    fs.AddFolder("D:\\");
    EXPECT_EQ(fs.CreateFolder("D:\\x"), FsStatus::Ok);
    EXPECT_EQ(Names(fs, "D:"), (std::vector<std::string>{"x"}));
}

TEST(MemoryFileSystem, SettersChangeWhatTheEngineReads) {
    MemoryFileSystem fs;
    fs.SetProgramPath("D:\\Media\\SETUP.EXE");
    EXPECT_EQ(fs.ProgramPath(), "D:\\Media\\SETUP.EXE");
    fs.SetCurrentFolder("C:\\Work");
    EXPECT_EQ(fs.CurrentFolder(), "C:\\Work");
    EXPECT_THROW(fs.SetCurrentFolder("Work"), std::invalid_argument);

    fs.SetEnvironment("AppData", "C:\\Users\\u\\AppData\\Roaming");
    std::string value;
    ASSERT_TRUE(fs.GetEnvironment("APPDATA", value));
    EXPECT_EQ(value, "C:\\Users\\u\\AppData\\Roaming");
    fs.UnsetEnvironment("appdata");
    EXPECT_FALSE(fs.GetEnvironment("APPDATA", value));
}

// Paths without a drive resolve against the current folder, as the user
// configuration folder "\Tavrin" does when APPDATA is not set.
struct ResolveCase {
    const char* name;
    const char* path;
    const char* created;  // full path of the new folder, as listed below C:
};

void PrintTo(const ResolveCase& c, std::ostream* out) { *out << c.name; }

class MemoryResolve : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(MemoryResolve, CreatesWhereWindowsWould) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Work\\Here");
    fs.SetCurrentFolder("C:\\Work\\Here");
    ASSERT_EQ(fs.CreateFolder(GetParam().path), FsStatus::Ok);
    const std::vector<std::string> paths = fs.PathsBelow("C:\\");
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths.back(), GetParam().created);
}

INSTANTIATE_TEST_SUITE_P(Memory, MemoryResolve,
                         ::testing::Values(ResolveCase{"root_of_current_drive", "\\Tavrin", "C:\\Tavrin"},
                                           ResolveCase{"below_current_folder", "New", "C:\\Work\\Here\\New"},
                                           ResolveCase{"dot_dot", "..\\Up", "C:\\Work\\Up"},
                                           ResolveCase{"dot", "C:\\Work\\.\\Dot", "C:\\Work\\Dot"},
                                           ResolveCase{"forward_slashes", "c:/work/Slash", "C:\\Work\\Slash"}),
                         fs_cases::CaseName<ResolveCase>);

TEST(MemoryFileSystem, AddFileReplacesContentAndKeepsSpelling) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\S\\Ab.txt", "1");
    fs.AddFile("C:\\s\\AB.TXT", "2", kAttrReadOnly);
    EXPECT_EQ(fs.ReadContent("c:\\s\\ab.txt"), std::optional<std::string>("2"));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(fs.GetAttributes("C:\\S\\Ab.txt", attributes));
    EXPECT_EQ(attributes, static_cast<std::uint32_t>(kAttrReadOnly));
    EXPECT_EQ(fs.PathsBelow("C:\\"), (std::vector<std::string>{"C:\\S", "C:\\S\\Ab.txt"}));
}

TEST(MemoryFileSystem, HelpersRefuseWhatCannotBePlaced) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\S\\a.txt");
    EXPECT_THROW(fs.AddFile("C:\\S\\a.txt\\b.txt"), std::invalid_argument);
    EXPECT_THROW(fs.AddFolder("C:\\S\\A.TXT"), std::invalid_argument);
    EXPECT_THROW(fs.AddFile("C:\\S"), std::invalid_argument);
    EXPECT_THROW(fs.AddFile("C:\\S\\a?.txt"), std::invalid_argument);
    EXPECT_THROW(fs.SetUnlistable("C:\\S\\a.txt"), std::invalid_argument);
}

TEST(MemoryFileSystem, ReadContentOnlyOfFiles) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\S\\empty.txt");
    EXPECT_EQ(fs.ReadContent("C:\\S\\empty.txt"), std::optional<std::string>(""));
    EXPECT_EQ(fs.ReadContent("C:\\S"), std::nullopt);
    EXPECT_EQ(fs.ReadContent("C:\\S\\none.txt"), std::nullopt);
}

TEST(MemoryFileSystem, PathsBelowFollowsTheTreeNotTheBytes) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\乗\\x.txt");          // 81 5C: the folder's name ends in byte "\"
    fs.AddFile("C:\\乗x\\y.txt");         // same leading bytes, another folder
    fs.AddFile("C:\\Setup2\\z.txt");
    fs.AddFolder("C:\\乗\\Deep\\er");
    EXPECT_EQ(fs.PathsBelow("c:\\乗"),
              (std::vector<std::string>{"C:\\乗\\x.txt", "C:\\乗\\Deep", "C:\\乗\\Deep\\er"}));
    EXPECT_TRUE(fs.PathsBelow("C:\\Setup").empty());
    EXPECT_TRUE(fs.PathsBelow("C:\\乗\\x.txt").empty());
}

TEST(MemoryFileSystem, InUseMarkOnMissingPathHasNoEffect) {
    MemoryFileSystem fs;
    fs.SetInUse("C:\\S\\a.txt");
    fs.AddFile("C:\\S\\a.txt", "x");
    EXPECT_EQ(fs.CopyFile("C:\\S\\a.txt", "C:\\S\\b.txt"), FsStatus::Ok);
}

TEST(MemoryFileSystem, RecordsCopiesAndCountsCalls) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\S\\a.txt", "x");
    fs.CopyFile("C:\\S\\a.txt", "C:\\T\\a.txt");
    fs.CreateFolder("C:\\T");
    fs.CopyFile("C:\\S\\a.txt", "C:\\T\\a.txt");
    fs.SetAttributes("C:\\T\\a.txt", kAttrArchive);
    std::uint32_t attributes = 0;
    fs.GetAttributes("C:\\T\\a.txt", attributes);
    fs.Exists("C:\\T");
    std::vector<DirEntry> entries;
    fs.ListFolder("C:\\T", entries);
    std::string value;
    fs.GetEnvironment("APPDATA", value);
    fs.ProgramPath();
    fs.CurrentFolder();

    ASSERT_EQ(fs.Copies().size(), 2u);
    EXPECT_EQ(fs.Copies()[0].destination, "C:\\T\\a.txt");
    EXPECT_EQ(fs.Copies()[0].status, FsStatus::PathNotFound);
    EXPECT_EQ(fs.Copies()[1].source, "C:\\S\\a.txt");
    EXPECT_EQ(fs.Copies()[1].status, FsStatus::Ok);
    const MemoryFileSystem::CallCounts& calls = fs.Calls();
    EXPECT_EQ(calls.copyFile, 2);
    EXPECT_EQ(calls.createFolder, 1);
    EXPECT_EQ(calls.setAttributes, 1);
    EXPECT_EQ(calls.getAttributes, 2);
    EXPECT_EQ(calls.listFolder, 1);
    EXPECT_EQ(calls.getEnvironment, 1);
    EXPECT_EQ(calls.programPath, 1);
    EXPECT_EQ(calls.currentFolder, 1);
}

}  // namespace
}  // namespace tavrin

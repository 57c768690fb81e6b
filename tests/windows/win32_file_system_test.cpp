// The Win32 file-system backend on real files, under Wine: the shared case
// tables (the same the in-memory file system passes natively) and what only
// the running process can show. Each case gets its own scratch folder below
// the temp folder, removed again when the case ends.
#include <windows.h>
// <windows.h> makes CopyFile a macro for CopyFileA; the interface has a
// member of that name.
#undef CopyFile

#include "win32_file_system.h"

#include "cp936.h"
#include "file_system_cases.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tavrin {
namespace {

using testing::OpenFile;
using testing::RemoveTree;
using OwnedHandle = testing::FileHandle;

class Win32Bench : public fs_cases::Bench {
public:
    Win32Bench() {
        static int serial = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "tavrin-fs-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial);
        EXPECT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << root_ << " error " << GetLastError();
    }
    ~Win32Bench() override {
        ReleaseAll();
        for (const std::string& name : variables_) SetEnvironmentVariableA(name.c_str(), nullptr);
        RemoveTree(root_);
    }

    FileSystem& Fs() override { return fs_; }
    std::string Root() override { return root_; }

    void AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) override {
        {
            OwnedHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_NEW);
            ASSERT_TRUE(file) << path << " error " << GetLastError();
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
        }
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    }
    void AddFolder(const std::string& path) override {
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " error " << GetLastError();
    }
    void HoldOpen(const std::string& path) override {
        OwnedHandle file = OpenFile(path, GENERIC_READ, 0, OPEN_EXISTING);
        ASSERT_TRUE(file) << path << " error " << GetLastError();
        held_.push_back(std::move(file));
    }
    void ReleaseAll() override { held_.clear(); }
    bool ReadContent(const std::string& path, std::string& content) override {
        OwnedHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        if (!file) return false;
        content.clear();
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) content.append(buffer, got);
        return true;
    }
    void SetEnvironment(const std::string& name, const std::string& value) override {
        variables_.push_back(name);
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    void UnsetEnvironment(const std::string& name) override { SetEnvironmentVariableA(name.c_str(), nullptr); }

private:
    Win32FileSystem fs_;
    std::string root_;
    std::vector<OwnedHandle> held_;
    std::vector<std::string> variables_;
};

}  // namespace

namespace fs_cases {
std::unique_ptr<Bench> MakeBench() { return std::make_unique<Win32Bench>(); }
}  // namespace fs_cases

namespace {

using fs_cases::FileSystemAttributes;
using fs_cases::FileSystemCopy;
using fs_cases::FileSystemCreateFolder;
using fs_cases::FileSystemEnvironment;
using fs_cases::FileSystemList;

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemCopy, ::testing::ValuesIn(fs_cases::kCopyCases),
                         fs_cases::CaseName<fs_cases::CopyCase>);
INSTANTIATE_TEST_SUITE_P(Win32, FileSystemCreateFolder, ::testing::ValuesIn(fs_cases::kFolderCases),
                         fs_cases::CaseName<fs_cases::FolderCase>);
INSTANTIATE_TEST_SUITE_P(Win32, FileSystemList, ::testing::ValuesIn(fs_cases::kListCases),
                         fs_cases::CaseName<fs_cases::ListCase>);
INSTANTIATE_TEST_SUITE_P(Win32, FileSystemAttributes, ::testing::ValuesIn(fs_cases::kAttributeCases),
                         fs_cases::CaseName<fs_cases::AttributeCase>);
INSTANTIATE_TEST_SUITE_P(Win32, FileSystemEnvironment, ::testing::ValuesIn(fs_cases::kEnvironmentCases),
                         fs_cases::CaseName<fs_cases::EnvironmentCase>);

// The shared missing-drive case needs a drive letter that this machine lacks.
TEST(Win32FileSystem, MissingDriveOfTheCasesIsMissingHere) {
    const char letter = fs_cases::kMissingDrive[0];
    EXPECT_EQ(GetLogicalDrives() & (1u << (letter - 'A')), 0u) << letter;
}

TEST(Win32FileSystem, ProgramPathNamesThisProgram) {
    Win32FileSystem fs;
    const std::string path = fs.ProgramPath();
    const std::size_t cut = cp936::FindLastBackslash(path);
    ASSERT_NE(cut, std::string::npos) << path;
    EXPECT_TRUE(cp936::EqualsNoCase(path.substr(cut + 1), "engine_tests_win.exe")) << path;
    EXPECT_EQ(path[1], ':') << path;
}

TEST(Win32FileSystem, CurrentFolderFollowsTheProcess) {
    Win32FileSystem fs;
    const std::string before = fs.CurrentFolder();
    ASSERT_FALSE(before.empty());
    const std::unique_ptr<fs_cases::Bench> bench = fs_cases::MakeBench();
    ASSERT_TRUE(SetCurrentDirectoryA(bench->Root().c_str()));
    EXPECT_TRUE(cp936::EqualsNoCase(fs.CurrentFolder(), bench->Root())) << fs.CurrentFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(before.c_str()));
    EXPECT_EQ(fs.CurrentFolder(), before);
}

// Wine gives every user an APPDATA, as Windows does; the payload copy reads it.
TEST(Win32FileSystem, ReadsAppDataOfTheProcess) {
    Win32FileSystem fs;
    std::string value;
    ASSERT_TRUE(fs.GetEnvironment("APPDATA", value));
    char expected[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("APPDATA", expected, MAX_PATH), 0u);
    EXPECT_EQ(value, expected);
}

}  // namespace
}  // namespace tavrin

// The rules every FileSystem backend must keep alike, as tables of cases: the
// in-memory file system runs them natively, the Win32 one under Wine on real
// files, so passing both shows that the in-memory one behaves as Windows.
//
// Include this header in exactly one test source of a program. That source
// defines MakeBench() and instantiates the suites below for its backend
// (with `using fs_cases::FileSystemCopy;` and so on in scope):
//   INSTANTIATE_TEST_SUITE_P(Memory, FileSystemCopy,
//                            ::testing::ValuesIn(fs_cases::kCopyCases), fs_cases::CaseName<fs_cases::CopyCase>);
// and so on for FileSystemCreateFolder, FileSystemList, FileSystemAttributes
// and FileSystemEnvironment.
//
// Paths in the tables are below the case's scratch folder unless they start
// with a drive ("C:\"). Narrow texts, code page 936: "乗" is the bytes 81 5C
// (its trail byte is "\"), "丄" and "乤" are 81 41 and 81 61 (trail bytes "A"
// and "a": different characters, whatever the letter case rules).
#pragma once

#include "cp936.h"
#include "file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tavrin {
namespace fs_cases {

// A backend with an empty scratch folder for one case, and the means to set
// up and inspect it that go around the FileSystem interface. The bench
// removes whatever it made when it is destroyed.
class Bench {
public:
    virtual ~Bench() = default;
    virtual FileSystem& Fs() = 0;
    // The case's scratch folder, without a trailing backslash.
    virtual std::string Root() = 0;
    // Parent folders are made by earlier items of the table.
    virtual void AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) = 0;
    virtual void AddFolder(const std::string& path) = 0;
    // Another program opens the file without sharing, until ReleaseAll.
    virtual void HoldOpen(const std::string& path) = 0;
    virtual void ReleaseAll() = 0;
    // The file's bytes; false when no file is there.
    virtual bool ReadContent(const std::string& path, std::string& content) = 0;
    virtual void SetEnvironment(const std::string& name, const std::string& value) = 0;
    virtual void UnsetEnvironment(const std::string& name) = 0;
};

// Defined by the test program that includes this header.
std::unique_ptr<Bench> MakeBench();

// A drive letter that no bench machine has.
constexpr const char* kMissingDrive = "Q:";

// Stands for "fails, with whichever code" where Windows versions (and Wine)
// disagree on the code.
constexpr FsStatus kAnyFailure = static_cast<FsStatus>(0xFFFFFFFFul);

// A file or folder that a case puts into its scratch folder first.
struct Item {
    const char* path;
    const char* content;  // nullptr: a folder
    std::uint32_t attributes;
};
inline Item File(const char* path, const char* content = "", std::uint32_t attributes = kAttrArchive) {
    return {path, content, attributes};
}
inline Item Folder(const char* path) { return {path, nullptr, 0}; }

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

inline std::string PathIn(Bench& bench, const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path;
    return path.empty() ? bench.Root() : bench.Root() + "\\" + path;
}

inline void Arrange(Bench& bench, const std::vector<Item>& items) {
    for (const Item& item : items) {
        if (item.content == nullptr) {
            bench.AddFolder(PathIn(bench, item.path));
        } else {
            bench.AddFile(PathIn(bench, item.path), item.content, item.attributes);
        }
    }
}

// Compared as numbers: the Win32 error codes they carry.
inline void ExpectStatus(FsStatus actual, FsStatus expected, const std::string& what) {
    if (expected == kAnyFailure) {
        EXPECT_NE(actual, FsStatus::Ok) << what;
    } else {
        EXPECT_EQ(static_cast<unsigned long>(actual), static_cast<unsigned long>(expected)) << what;
    }
}

// The spelling that the listing of the path's folder shows for its name, or
// "" when the listing has no such name.
inline std::string ListedName(Bench& bench, std::string path) {
    cp936::RemoveTrailingBackslash(path);
    const std::size_t cut = cp936::FindLastBackslash(path);
    const std::string name = path.substr(cut + 1);
    std::vector<DirEntry> entries;
    bench.Fs().ListFolder(path.substr(0, cut), entries);
    for (const DirEntry& entry : entries) {
        if (cp936::EqualsNoCase(entry.name, name)) return entry.name;
    }
    return std::string();
}

// --- CopyFile ---------------------------------------------------------------

struct CopyCase {
    const char* name;
    std::vector<Item> given;
    const char* inUse;  // held open without sharing during the copy, or nullptr
    const char* source;
    const char* destination;
    FsStatus expected;
    // The destination afterwards: its content (nullptr: no file there), its
    // attribute bits and its name as the listing spells it.
    const char* content;
    std::uint32_t attributes;
    const char* listedAs;
};

inline void PrintTo(const CopyCase& c, std::ostream* out) { *out << c.name; }

inline const std::vector<CopyCase> kCopyCases = {
    {"new_destination", {File("a.txt", "new")}, nullptr, "a.txt", "b.txt", FsStatus::Ok, "new", kAttrArchive, "b.txt"},
    {"replaces_existing", {File("a.txt", "new"), File("b.txt", "old")}, nullptr, "a.txt", "b.txt", FsStatus::Ok,
     "new", kAttrArchive, "b.txt"},
    {"keeps_destination_spelling", {File("a.txt", "new"), File("B.Txt", "old")}, nullptr, "a.txt", "b.TXT",
     FsStatus::Ok, "new", kAttrArchive, "B.Txt"},
    {"source_in_other_case", {File("a.txt", "new")}, nullptr, "A.TXT", "b.txt", FsStatus::Ok, "new", kAttrArchive,
     "b.txt"},
    {"read_only_destination", {File("a.txt", "new"), File("b.txt", "old", kAttrReadOnly | kAttrArchive)}, nullptr,
     "a.txt", "b.txt", FsStatus::AccessDenied, "old", kAttrReadOnly | kAttrArchive, "b.txt"},
    {"takes_read_only_bit_of_source", {File("a.txt", "new", kAttrReadOnly | kAttrArchive)}, nullptr, "a.txt",
     "b.txt", FsStatus::Ok, "new", kAttrReadOnly | kAttrArchive, "b.txt"},
    {"missing_source", {}, nullptr, "none.txt", "b.txt", FsStatus::FileNotFound, nullptr, 0, nullptr},
    {"missing_source_folder", {}, nullptr, "no\\a.txt", "b.txt", FsStatus::PathNotFound, nullptr, 0, nullptr},
    {"source_is_folder", {Folder("d")}, nullptr, "d", "b.txt", FsStatus::AccessDenied, nullptr, 0, nullptr},
    {"missing_destination_folder", {File("a.txt", "new")}, nullptr, "a.txt", "no\\b.txt", FsStatus::PathNotFound,
     nullptr, 0, nullptr},
    {"destination_below_a_file", {File("a.txt", "new")}, nullptr, "a.txt", "a.txt\\b.txt", FsStatus::PathNotFound,
     nullptr, 0, nullptr},
    {"destination_is_folder", {File("a.txt", "new"), Folder("d")}, nullptr, "a.txt", "D", FsStatus::AccessDenied,
     nullptr, 0, nullptr},
    {"source_in_use", {File("a.txt", "new")}, "a.txt", "a.txt", "b.txt", FsStatus::SharingViolation, nullptr, 0,
     nullptr},
    {"destination_in_use", {File("a.txt", "new"), File("b.txt", "old")}, "b.txt", "a.txt", "b.txt",
     FsStatus::SharingViolation, "old", kAttrArchive, "b.txt"},
    {"onto_itself", {File("a.txt", "new")}, nullptr, "a.txt", "A.txt", FsStatus::SharingViolation, "new",
     kAttrArchive, "a.txt"},
    {"into_trail_byte_5C_folder", {File("a.txt", "new"), Folder("乗")}, nullptr, "a.txt", "乗\\b.txt", FsStatus::Ok,
     "new", kAttrArchive, "b.txt"},
    {"double_byte_names", {File("批打印.cfg", "new")}, nullptr, "批打印.cfg", "软件.cfg", FsStatus::Ok, "new",
     kAttrArchive, "软件.cfg"},
};

inline void RunCopyCase(Bench& bench, const CopyCase& c) {
    Arrange(bench, c.given);
    if (c.inUse != nullptr) bench.HoldOpen(PathIn(bench, c.inUse));
    const std::string destination = PathIn(bench, c.destination);
    ExpectStatus(bench.Fs().CopyFile(PathIn(bench, c.source), destination), c.expected, "CopyFile");
    bench.ReleaseAll();

    std::string content;
    const bool isFile = bench.ReadContent(destination, content);
    if (c.content == nullptr) {
        EXPECT_FALSE(isFile) << "a file at " << destination;
        return;
    }
    ASSERT_TRUE(isFile) << "no file at " << destination;
    EXPECT_EQ(content, c.content);
    std::uint32_t attributes = 0;
    ASSERT_TRUE(bench.Fs().GetAttributes(destination, attributes));
    EXPECT_EQ(attributes, c.attributes);
    EXPECT_EQ(ListedName(bench, destination), c.listedAs);
}

class FileSystemCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(FileSystemCopy, BehavesAsOnWindows) {
    const std::unique_ptr<Bench> bench = MakeBench();
    RunCopyCase(*bench, GetParam());
}

// The failed-copy dialog's Retry: the copy that failed while another program
// held the file succeeds once that program lets go.
TEST(FileSystemShared, CopySucceedsOnceHeldFileIsReleased) {
    for (const char* held : {"a.txt", "b.txt"}) {
        SCOPED_TRACE(held);
        const std::unique_ptr<Bench> bench = MakeBench();
        Arrange(*bench, {File("a.txt", "new"), File("b.txt", "old")});
        const std::string source = PathIn(*bench, "a.txt");
        const std::string destination = PathIn(*bench, "b.txt");
        bench->HoldOpen(PathIn(*bench, held));
        ExpectStatus(bench->Fs().CopyFile(source, destination), FsStatus::SharingViolation, "held");
        bench->ReleaseAll();
        ExpectStatus(bench->Fs().CopyFile(source, destination), FsStatus::Ok, "released");
        std::string content;
        ASSERT_TRUE(bench->ReadContent(destination, content));
        EXPECT_EQ(content, "new");
    }
}

// --- CreateFolder -----------------------------------------------------------

enum class Kind { Nothing, Folder, File };

struct FolderCase {
    const char* name;
    std::vector<Item> given;
    const char* path;
    FsStatus expected;
    Kind afterwards;       // what is there under the path afterwards
    const char* listedAs;  // its name in its folder's listing, nullptr: not checked
};

inline void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.name; }

inline const std::vector<FolderCase> kFolderCases = {
    {"new_folder", {}, "New", FsStatus::Ok, Kind::Folder, "New"},
    {"trailing_backslash", {}, "New\\", FsStatus::Ok, Kind::Folder, "New"},
    {"doubled_backslash", {Folder("Sub")}, "Sub\\\\New", FsStatus::Ok, Kind::Folder, "New"},
    {"existing_folder", {Folder("Sub")}, "Sub", FsStatus::AlreadyExists, Kind::Folder, "Sub"},
    {"existing_folder_other_case", {Folder("Sub")}, "SUB", FsStatus::AlreadyExists, Kind::Folder, "Sub"},
    {"existing_file", {File("f.txt")}, "F.TXT", FsStatus::AlreadyExists, Kind::File, "f.txt"},
    {"missing_parent", {}, "no\\New", FsStatus::PathNotFound, Kind::Nothing, nullptr},
    {"parent_is_a_file", {File("f.txt")}, "f.txt\\New", FsStatus::PathNotFound, Kind::Nothing, nullptr},
    {"invalid_name", {}, "a?b", FsStatus::Failed, Kind::Nothing, nullptr},
    {"drive_root", {}, "C:\\", FsStatus::AlreadyExists, Kind::Folder, nullptr},
    // Windows says PathNotFound, Wine FileNotFound.
    {"missing_drive", {}, "Q:\\New", kAnyFailure, Kind::Nothing, nullptr},
    {"trail_byte_5C_is_no_separator", {}, "乗", FsStatus::Ok, Kind::Folder, "乗"},
    {"inside_trail_byte_5C_folder", {Folder("乗")}, "乗\\Sub", FsStatus::Ok, Kind::Folder, "Sub"},
    {"trail_byte_is_no_letter", {Folder("丄")}, "乤", FsStatus::Ok, Kind::Folder, "乤"},
};

inline void RunFolderCase(Bench& bench, const FolderCase& c) {
    Arrange(bench, c.given);
    const std::string path = PathIn(bench, c.path);
    ExpectStatus(bench.Fs().CreateFolder(path), c.expected, "CreateFolder");
    std::uint32_t attributes = 0;
    const bool exists = bench.Fs().GetAttributes(path, attributes);
    switch (c.afterwards) {
    case Kind::Nothing:
        EXPECT_FALSE(exists);
        break;
    case Kind::Folder:
        ASSERT_TRUE(exists);
        EXPECT_NE(attributes & kAttrDirectory, 0u);
        break;
    case Kind::File:
        ASSERT_TRUE(exists);
        EXPECT_EQ(attributes & kAttrDirectory, 0u);
        break;
    }
    if (c.listedAs != nullptr) {
        EXPECT_EQ(ListedName(bench, path), c.listedAs);
    }
}

class FileSystemCreateFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FileSystemCreateFolder, BehavesAsOnWindows) {
    const std::unique_ptr<Bench> bench = MakeBench();
    RunFolderCase(*bench, GetParam());
}

// --- ListFolder -------------------------------------------------------------

struct Entry {
    std::string name;
    std::uint32_t attributes;
    bool operator<(const Entry& other) const { return name < other.name; }
    bool operator==(const Entry& other) const { return name == other.name && attributes == other.attributes; }
};

inline void PrintTo(const Entry& entry, std::ostream* out) { *out << entry.name << " " << std::hex << entry.attributes; }

struct ListCase {
    const char* name;
    std::vector<Item> given;
    const char* folder;
    bool listed;                 // false: the folder cannot be listed
    std::vector<Entry> entries;  // after "." and "..", in any order
};

inline void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

inline const std::vector<ListCase> kListCases = {
    {"dots_then_flat_entries",
     {File("a.txt"), Folder("Sub"), File("Sub\\inner.txt"), File("B.TXT"),
      File("ro.txt", "", kAttrReadOnly | kAttrArchive), Folder("乗"), File("批打印.cfg")},
     "",
     true,
     {{"a.txt", kAttrArchive},
      {"Sub", kAttrDirectory},
      {"B.TXT", kAttrArchive},
      {"ro.txt", kAttrReadOnly | kAttrArchive},
      {"乗", kAttrDirectory},
      {"批打印.cfg", kAttrArchive}}},
    {"empty_folder", {Folder("e")}, "e", true, {}},
    {"folder_in_other_case", {Folder("Sub"), File("Sub\\x.txt")}, "SUB", true, {{"x.txt", kAttrArchive}}},
    {"trail_byte_5C_folder", {Folder("乗"), File("乗\\y.txt")}, "乗", true, {{"y.txt", kAttrArchive}}},
    {"missing_folder", {}, "none", false, {}},
    {"a_file", {File("a.txt")}, "a.txt", false, {}},
};

inline void RunListCase(Bench& bench, const ListCase& c) {
    Arrange(bench, c.given);
    std::vector<DirEntry> listing;
    const bool listed = bench.Fs().ListFolder(PathIn(bench, c.folder), listing);
    ASSERT_EQ(listed, c.listed);
    if (!listed) {
        EXPECT_TRUE(listing.empty());
        return;
    }
    ASSERT_GE(listing.size(), 2u);
    EXPECT_EQ(listing[0].name, ".");
    EXPECT_EQ(listing[1].name, "..");
    EXPECT_NE(listing[0].attributes & kAttrDirectory, 0u);
    EXPECT_NE(listing[1].attributes & kAttrDirectory, 0u);
    std::vector<Entry> rest;
    for (std::size_t i = 2; i < listing.size(); ++i) rest.push_back({listing[i].name, listing[i].attributes});
    std::vector<Entry> expected = c.entries;
    std::sort(rest.begin(), rest.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rest, expected);
}

class FileSystemList : public ::testing::TestWithParam<ListCase> {};

TEST_P(FileSystemList, BehavesAsOnWindows) {
    const std::unique_ptr<Bench> bench = MakeBench();
    RunListCase(*bench, GetParam());
}

TEST(FileSystemShared, DriveRootListsNoDotEntries) {
    const std::unique_ptr<Bench> bench = MakeBench();
    std::vector<DirEntry> listing;
    ASSERT_TRUE(bench->Fs().ListFolder("C:", listing));
    ASSERT_FALSE(listing.empty());
    for (const DirEntry& entry : listing) {
        EXPECT_NE(entry.name, ".");
        EXPECT_NE(entry.name, "..");
    }
}

// --- GetAttributes and SetAttributes ----------------------------------------

struct AttributeCase {
    const char* name;
    std::vector<Item> given;
    const char* path;
    bool set;              // SetAttributes(path, setTo) first
    std::uint32_t setTo;
    FsStatus setStatus;
    bool exists;           // GetAttributes afterwards finds something
    std::uint32_t expected;
};

inline void PrintTo(const AttributeCase& c, std::ostream* out) { *out << c.name; }

inline const std::vector<AttributeCase> kAttributeCases = {
    {"file", {File("a.txt")}, "a.txt", false, 0, FsStatus::Ok, true, kAttrArchive},
    {"folder", {Folder("d")}, "d", false, 0, FsStatus::Ok, true, kAttrDirectory},
    {"name_in_other_case", {File("a.txt")}, "A.TXT", false, 0, FsStatus::Ok, true, kAttrArchive},
    {"missing", {}, "none.txt", false, 0, FsStatus::Ok, false, 0},
    {"missing_folder", {}, "no\\a.txt", false, 0, FsStatus::Ok, false, 0},
    {"trail_byte_is_no_letter", {File("丄.txt")}, "乤.txt", false, 0, FsStatus::Ok, false, 0},
    {"set_read_only", {File("a.txt")}, "a.txt", true, kAttrReadOnly | kAttrArchive, FsStatus::Ok, true,
     kAttrReadOnly | kAttrArchive},
    {"clear_read_only", {File("a.txt", "", kAttrReadOnly | kAttrArchive)}, "A.txt", true, kAttrArchive,
     FsStatus::Ok, true, kAttrArchive},
    {"folder_stays_folder", {Folder("d")}, "d", true, 0, FsStatus::Ok, true, kAttrDirectory},
    {"set_on_missing", {}, "none.txt", true, kAttrArchive, FsStatus::FileNotFound, false, 0},
    {"set_on_missing_folder", {}, "no\\a.txt", true, kAttrArchive, FsStatus::PathNotFound, false, 0},
};

inline void RunAttributeCase(Bench& bench, const AttributeCase& c) {
    Arrange(bench, c.given);
    const std::string path = PathIn(bench, c.path);
    if (c.set) {
        ExpectStatus(bench.Fs().SetAttributes(path, c.setTo), c.setStatus, "SetAttributes");
    }
    std::uint32_t attributes = 0;
    ASSERT_EQ(bench.Fs().GetAttributes(path, attributes), c.exists);
    if (c.exists) {
        EXPECT_EQ(attributes, c.expected);
    }
}

class FileSystemAttributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(FileSystemAttributes, BehaveAsOnWindows) {
    const std::unique_ptr<Bench> bench = MakeBench();
    RunAttributeCase(*bench, GetParam());
}

// --- GetEnvironment ---------------------------------------------------------

constexpr const char* kVariable = "TAVRIN_FS_CASE";

struct EnvironmentCase {
    const char* name;
    bool set;           // false: the variable is not set
    std::string value;  // bytes
    const char* readAs;
};

inline void PrintTo(const EnvironmentCase& c, std::ostream* out) { *out << c.name; }

inline const std::vector<EnvironmentCase> kEnvironmentCases = {
    {"set", true, "C:\\Users\\a\\AppData\\Roaming", kVariable},
    {"name_in_other_case", true, "abc", "tavrin_Fs_case"},
    {"not_set", false, "", kVariable},
    {"empty_value", true, "", kVariable},
    {"fills_a_path_buffer", true, std::string(259, 'x'), kVariable},
    {"one_byte_too_long_for_it", true, std::string(260, 'y'), kVariable},
    {"far_longer", true, std::string(1000, 'z') + "end", kVariable},
};

inline void RunEnvironmentCase(Bench& bench, const EnvironmentCase& c) {
    if (c.set) {
        bench.SetEnvironment(kVariable, c.value);
    } else {
        bench.UnsetEnvironment(kVariable);
    }
    std::string value = "untouched";
    ASSERT_EQ(bench.Fs().GetEnvironment(c.readAs, value), c.set);
    EXPECT_EQ(value, c.set ? c.value : "untouched");
}

class FileSystemEnvironment : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(FileSystemEnvironment, BehavesAsOnWindows) {
    const std::unique_ptr<Bench> bench = MakeBench();
    RunEnvironmentCase(*bench, GetParam());
}

}  // namespace fs_cases
}  // namespace tavrin

#include "path_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_file_system.h"

namespace tavrin {
namespace {

// Double-byte characters of code page 936 whose trail byte is "\" (0x5C) or
// "|" (0x7C): read byte by byte they would split a name or be refused.
const std::string kTrail5C = "昞";
const std::string kTrail7C = "晐";

TEST(PathRules, SourceTextsAreCodePage936) {
    ASSERT_EQ(kTrail5C, std::string("\x95\x5C"));
    ASSERT_EQ(kTrail7C, std::string("\x95\x7C"));
}

TEST(PathRules, IsValidPathPart) {
    struct Case {
        const char* name;
        std::string part;
        bool valid;
    };
    const Case cases[] = {
        {"plain", "Tavrin", true},
        {"inner_space_and_dot", "a b.c", true},
        {"chinese", "批打印软件", true},
        {"empty", "", false},
        {"leading_space", " a", false},
        {"trailing_space", "a ", false},
        {"leading_tab", "\ta", false},
        {"trailing_tab", "a\t", false},
        {"leading_dot", ".a", false},
        {"trailing_dot", "a.", false},
        {"dots_only", "..", false},
        {"quote", "a\"b", false},
        {"star", "a*b", false},
        {"slash", "a/b", false},
        {"colon", "a:b", false},
        {"less", "a<b", false},
        {"greater", "a>b", false},
        {"question", "a?b", false},
        {"backslash", "a\\b", false},
        {"pipe", "a|b", false},
        {"trail_byte_5c_is_no_backslash", kTrail5C, true},
        {"trail_byte_7c_is_no_pipe", "a" + kTrail7C + "b", true},
        {"double_byte_last", "a" + kTrail5C, true},
        {"lone_lead_byte_at_end", "a\x95", true},
        {"pipe_after_double_byte", kTrail5C + "|", false},
        {"space_after_double_byte", kTrail5C + " ", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidPathPart(c.part), c.valid) << c.name;
}

TEST(PathRules, CheckOnlyNeverTouchesTheFileSystem) {
    struct Case {
        const char* name;
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {"drive_root", "C:\\", kPathGood},
        {"lower_case_drive", "c:\\x", kPathGood},
        {"missing_drive", "Q:\\x\\y", kPathGood},
        {"two_levels", "C:\\New\\Sub", kPathGood},
        {"no_path", "", kPathMalformed},
        {"too_short", "C:", kPathMalformed},
        {"no_drive_letter", "abc", kPathMalformed},
        {"digit_drive", "1:\\a", kPathMalformed},
        {"slash_after_colon", "C:/a", kPathMalformed},
        {"relative_on_drive", "C:a", kPathMalformed},
        {"double_backslash", "C:\\a\\\\b", kPathMalformed},
        {"trailing_backslash", "C:\\a\\", kPathMalformed},
        {"root_twice", "C:\\\\", kPathMalformed},
        {"question_mark", "C:\\a\\b?", kPathMalformed},
        {"part_starts_with_space", "C:\\ a", kPathMalformed},
        {"part_ends_with_dot", "C:\\a.", kPathMalformed},
        // Byte by byte these split into "\x95" and an empty part.
        {"trail_5c_one_level", "C:\\" + kTrail5C, kPathGood},
        {"trail_5c_two_levels", "C:\\a" + kTrail5C + "b\\" + kTrail5C, kPathGood},
        // Byte by byte this holds a "|".
        {"trail_7c", "C:\\" + kTrail7C, kPathGood},
        {"trail_5c_then_backslash_at_end", "C:\\" + kTrail5C + "\\", kPathMalformed},
        {"longest", "C:\\" + std::string(kMaxChosenPathBytes - 3, 'a'), kPathGood},
        {"one_byte_too_long", "C:\\" + std::string(kMaxChosenPathBytes - 2, 'a'), kPathMalformed},
    };
    for (const Case& c : cases) {
        MemoryFileSystem fs;
        EXPECT_EQ(ValidateOrCreatePath(fs, c.path, PathMode::CheckOnly), c.expected) << c.name;
        EXPECT_EQ(fs.Calls().getAttributes + fs.Calls().createFolder, 0) << c.name;
    }
}

TEST(PathRules, CreateDriveRootOnlyLooks) {
    MemoryFileSystem fs;
    EXPECT_EQ(ValidateOrCreatePath(fs, "C:\\", PathMode::Create), kPathGood);
    EXPECT_EQ(ValidateOrCreatePath(fs, "Q:\\", PathMode::Create), kPathCannotCreate);
    EXPECT_EQ(fs.Calls().createFolder, 0);
}

TEST(PathRules, CreateMalformedCreatesNothing) {
    MemoryFileSystem fs;
    // The first level is well-formed; the check of the whole path comes first.
    EXPECT_EQ(ValidateOrCreatePath(fs, "C:\\a\\b?", PathMode::Create), kPathMalformed);
    EXPECT_EQ(ValidateOrCreatePath(fs, "C:\\a\\", PathMode::Create), kPathMalformed);
    EXPECT_EQ(fs.Calls().createFolder, 0);
    EXPECT_TRUE(fs.PathsBelow("C:\\").empty());
}

// A file system on which one path cannot be created (no access there).
class DenyingFileSystem : public MemoryFileSystem {
public:
    std::string denied;
    FsStatus CreateFolder(const std::string& path) override {
        if (path == denied) return FsStatus::AccessDenied;
        return MemoryFileSystem::CreateFolder(path);
    }
};

// The three message boxes, answered from a script.
class ScriptedPrompt : public PathPrompt {
public:
    bool answerYes = true;
    std::vector<std::string> questions;
    std::vector<std::string> warnings;

    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
};

std::string Question(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}
std::string Invalid(const std::string& path) { return "The folder:\n\n" + path + "\n\nis invalid. Please reenter."; }
std::string CannotCreate(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

TEST(PathRules, ConfirmChosenPath) {
    enum Warning { kNoWarning, kInvalid, kCannotCreate };
    struct Case {
        const char* name;
        std::string path;
        bool answerYes;
        std::string denied;  // a path whose creation is refused
        int expected;
        bool asked;
        Warning warning;
        std::vector<std::string> created;  // new paths, in creation order
    };
    const Case cases[] = {
        {"drive_root", "C:\\", true, "", kPathGood, false, kNoWarning, {}},
        {"existing_folder", "C:\\Old", true, "", kPathGood, false, kNoWarning, {}},
        {"existing_file", "C:\\Old\\file.txt", true, "", kPathGood, false, kNoWarning, {}},
        {"existing_other_case", "c:\\OLD", true, "", kPathGood, false, kNoWarning, {}},
        {"new_levels_yes", "C:\\New\\Sub", true, "", kPathGood, true, kNoWarning, {"C:\\New", "C:\\New\\Sub"}},
        {"new_level_below_existing", "C:\\Old\\Sub", true, "", kPathGood, true, kNoWarning, {"C:\\Old\\Sub"}},
        {"new_levels_no", "C:\\New\\Sub", false, "", kPathDeclined, true, kNoWarning, {}},
        {"double_backslash", "C:\\a\\\\b", true, "", kPathMalformed, false, kInvalid, {}},
        {"trailing_backslash", "C:\\a\\", true, "", kPathMalformed, false, kInvalid, {}},
        {"question_mark", "C:\\a\\b?", true, "", kPathMalformed, false, kInvalid, {}},
        {"leading_space", "C:\\ a", true, "", kPathMalformed, false, kInvalid, {}},
        {"trailing_dot", "C:\\a.", true, "", kPathMalformed, false, kInvalid, {}},
        {"no_drive", "abc", true, "", kPathMalformed, false, kInvalid, {}},
        {"missing_drive", "Q:\\x", true, "", kPathCannotCreate, true, kCannotCreate, {}},
        {"missing_drive_root", "Q:\\", true, "", kPathCannotCreate, true, kCannotCreate, {}},
        {"file_in_the_way", "C:\\Old\\file.txt\\x", true, "", kPathCannotCreate, true, kCannotCreate, {}},
        {"no_access_earlier_levels_stay", "C:\\New\\Locked\\x", true, "C:\\New\\Locked", kPathCannotCreate, true,
         kCannotCreate, {"C:\\New"}},
        // Byte by byte the first is malformed (an empty part after "\x95")
        // and the second refused for its "|".
        {"trail_5c_created_whole", "C:\\" + kTrail5C + "\\x", true, "", kPathGood, true, kNoWarning,
         {"C:\\" + kTrail5C, "C:\\" + kTrail5C + "\\x"}},
        {"trail_7c_created", "C:\\" + kTrail7C, true, "", kPathGood, true, kNoWarning, {"C:\\" + kTrail7C}},
    };
    for (const Case& c : cases) {
        DenyingFileSystem fs;
        fs.AddFile("C:\\Old\\file.txt");
        fs.denied = c.denied;
        const std::vector<std::string> before = fs.PathsBelow("C:\\");
        ScriptedPrompt prompt;
        prompt.answerYes = c.answerYes;

        EXPECT_EQ(ConfirmChosenPath(fs, prompt, c.path), c.expected) << c.name;

        const std::vector<std::string> noQuestion;
        EXPECT_EQ(prompt.questions, c.asked ? std::vector<std::string>{Question(c.path)} : noQuestion) << c.name;
        std::vector<std::string> warnings;
        if (c.warning == kInvalid) warnings.push_back(Invalid(c.path));
        if (c.warning == kCannotCreate) warnings.push_back(CannotCreate(c.path));
        EXPECT_EQ(prompt.warnings, warnings) << c.name;

        std::vector<std::string> expectedPaths = before;
        expectedPaths.insert(expectedPaths.end(), c.created.begin(), c.created.end());
        EXPECT_EQ(fs.PathsBelow("C:\\"), expectedPaths) << c.name;
    }
}

TEST(PathRules, MessagesKeepThePathAsIs) {
    // A "%" in the path is text, not a format.
    EXPECT_EQ(FormatPathMessage(kFolderInvalidFormat, "C:\\100%s\\%d"), Invalid("C:\\100%s\\%d"));
    const std::string longPath = "C:\\" + std::string(400, 'x');
    EXPECT_EQ(FormatPathMessage(kFolderCannotCreateFormat, longPath), CannotCreate(longPath));
}

TEST(PathRules, CutToBytes) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t maxBytes;
        std::string expected;
    };
    const Case cases[] = {
        {"shorter", "C:\\a", 259, "C:\\a"},
        {"exact", "C:\\a", 4, "C:\\a"},
        {"single_bytes_cut", "C:\\abc", 4, "C:\\a"},
        {"double_byte_fits", "C:\\" + kTrail5C, 5, "C:\\" + kTrail5C},
        // Never half a character: the lead byte goes with its trail byte.
        {"double_byte_straddles", "C:\\" + kTrail5C, 4, "C:\\"},
        {"zero", "C:\\", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CutToBytes(c.text, c.maxBytes), c.expected) << c.name;
}

}  // namespace
}  // namespace tavrin

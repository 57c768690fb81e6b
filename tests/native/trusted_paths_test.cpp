#include "trusted_paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "memory_registry.h"
#include "reg_file.h"

namespace tavrin {
namespace {

const std::string kFolder = "C:\\Tavrin\\Tavrin批打印软件";
const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD";

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// The old value's fate, entry by entry: the install folder counts as present
// only as a whole entry, the user's text is never re-cased, and only the
// placeholders AutoCAD reads as "nothing" are replaced.
TEST(MergeTrustedPaths, KeepsTheOldValueAndAddsTheFolderOnlyWhenNoEntryNamesIt) {
    const std::string F = kFolder;
    struct Case {
        const char* name;
        std::string folder, old;
        bool write;
        std::string result;  // when written
    };
    const Case cases[] = {
        {"empty", F, "", true, F},
        {"a dot", F, ".", true, F},
        {"two double quotes", F, "\"\"", true, F},
        {"blanks only", F, "   ", true, F},
        {"tab and blank", F, "\t ", true, F},
        {"a drive of two characters", F, "C:", true, "C:;" + F},
        {"one letter", F, "D", true, "D;" + F},
        {"user's case kept", F, "d:\\Tools\\Lisp", true, "d:\\Tools\\Lisp;" + F},
        {"two entries", F, "D:\\A;e:\\b", true, "D:\\A;e:\\b;" + F},
        {"trailing separator", F, "D:\\A;", true, "D:\\A;" + F},
        {"dot among entries", F, ".;D:\\A", true, ".;D:\\A;" + F},
        {"look-alike with a suffix", F, F + "Old", true, F + "Old;" + F},
        {"subfolder of it", F, F + "\\Sub", true, F + "\\Sub;" + F},
        {"parent with its subfolders", F, "C:\\Tavrin\\...", true, "C:\\Tavrin\\...;" + F},
        {"inside a longer entry", F, "X" + F, true, "X" + F + ";" + F},
        {"two trailing backslashes", F, F + "\\\\", true, F + "\\\\;" + F},
        {"present as typed", F, F, false, ""},
        {"present in other case", F, "c:\\TAVRIN\\tavrin批打印软件", false, ""},
        {"present with a trailing backslash", F, "D:\\A;" + F + "\\;E:\\B", false, ""},
        {"present with its subfolders", F, F + "\\...", false, ""},
        {"present, other case, subfolders, last", F, "D:\\A;c:\\tavrin\\TAVRIN批打印软件\\...", false, ""},
        {"present with a trailing separator", F, F + ";", false, ""},
        // A folder ending in a character whose trail byte is 0x5C ("乗").
        {"0x5C trail byte, present", "D:\\乗", "E:\\X;D:\\乗", false, ""},
        {"0x5C trail byte, present with backslash", "D:\\乗", "D:\\乗\\", false, ""},
        {"0x5C trail byte, present with subfolders", "D:\\乗", "D:\\乗\\...", false, ""},
        {"0x5C trail byte, absent", "D:\\乗", "D:\\乘", true, "D:\\乘;D:\\乗"},
        // "乤" and "丄" differ only in a trail byte that reads as "a" or "A".
        {"trail byte letters are not folded", "D:\\乤", "D:\\丄", true, "D:\\丄;D:\\乤"},
        // Found by fuzzing: the ";" put after the old value must be one of its
        // own, or the folder becomes part of the last entry.
        {"ends in a lone lead byte", F, "D:\\A\xCE", true, "D:\\A\xCE;;" + F},
        {"ends in a ';' that is a trail byte", F, "D:\\A\xCE;", true, "D:\\A\xCE;;" + F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TrustedPathsMerge merge = MergeTrustedPaths(c.old, c.folder);
        EXPECT_EQ(merge.write, c.write);
        if (c.write) {
            EXPECT_EQ(merge.text, c.result);
        }
        EXPECT_EQ(HoldsTrustedPath(c.old, c.folder), !c.write && !c.old.empty());
    }
}

TEST(MergeTrustedPaths, VeryLongValuesAreKeptWhole) {
    std::string old;
    while (old.size() < 100000) old += "D:\\Projects\\图纸" + std::to_string(old.size()) + ";";
    old.pop_back();

    const TrustedPathsMerge added = MergeTrustedPaths(old, kFolder);
    EXPECT_TRUE(added.write);
    EXPECT_EQ(added.text, old + ";" + kFolder);

    EXPECT_FALSE(MergeTrustedPaths(old + ";" + kFolder, kFolder).write);
}

// A small current-user tree: values and keys as AutoCAD leaves them.
class TrustedPathsTest : public ::testing::Test {
protected:
    TrustedPathsTest() { context.InstallFolder = kFolder; }

    void Load(const std::string& text) {
        RegFileError error;
        ASSERT_TRUE(LoadRegText("REGEDIT4\n\n" + text, registry, error)) << error.Text();
    }
    void Seed(const std::string& variables, std::uint32_t type, const std::string& data) {
        ASSERT_TRUE(registry.SetValue(RegRoot::CurrentUser, variables, "TRUSTEDPATHS", type, data));
    }
    std::optional<RegValue> Trusted(const std::string& variables) const {
        return registry.GetValue(RegRoot::CurrentUser, variables, "TRUSTEDPATHS");
    }

    MemoryRegistry registry;
    InstallContext context;
};

TEST_F(TrustedPathsTest, EveryProfileOfEveryProductIsServedAndNothingElseIsTouched) {
    Load(R"([HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R17.1\ACAD-6001:804\Profiles\<<未命名配置>>\Variables]
"TRUSTEDPATHS"="D:\\Lisp"
"OTHER"="x"
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R17.1\ACAD-6001:804\Profiles\Second]
"Keep"=dword:00000001
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R24.0\ACAD-4101:409\Profiles\P\Variables]
"TRUSTEDPATHS"="."
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R24.0\ACAD-4101:804\General]
"X"="no profiles here"
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R99.0\ACAD-F001:804\Profiles\Future]
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R18.0\ACAD-8001:804\Profiles\Hidden]
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R19.0\ACAD-B001:804\Profiles\Hidden]
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R19.1\ACAD-D001:804\Profiles\Hidden]
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R20.0\ACAD-E001:804\Profiles\Locked\Variables]
"TRUSTEDPATHS"="D:\\Old"
[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R20.0\ACAD-E001:804\Profiles\Open\Variables]
"TRUSTEDPATHS"="c:\\tavrin\\tavrin批打印软件"
[HKEY_CURRENT_USER\SOFTWARE\Other]
"TRUSTEDPATHS"=""
)");
    // Keys the user cannot open are skipped with everything below them.
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::CurrentUser, kAcad + "\\R18.0"));
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::CurrentUser, kAcad + "\\R19.0\\ACAD-B001:804"));
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::CurrentUser, kAcad + "\\R19.1\\ACAD-D001:804\\Profiles\\Hidden"));
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::CurrentUser, kAcad + "\\R20.0\\ACAD-E001:804\\Profiles\\Locked\\Variables"));

    AddTrustedPath(context, registry);

    const std::string F = kFolder;
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser),
              "SOFTWARE\n"
              "SOFTWARE\\Autodesk\n"
              "SOFTWARE\\Autodesk\\AutoCAD\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\<<未命名配置>>\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\<<未命名配置>>\\Variables\n"
              "  \"TRUSTEDPATHS\"=sz:D:\\Lisp;" + F + "\n"
              "  \"OTHER\"=sz:x\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\Second\n"
              "  \"Keep\"=dword:1\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Profiles\\Second\\Variables\n"
              "  \"TRUSTEDPATHS\"=sz:" + F + "\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R18.0 [unopenable]\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804\\Profiles\\Hidden\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.0\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\ACAD-B001:804 [unopenable]\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\ACAD-B001:804\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\ACAD-B001:804\\Profiles\\Hidden\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.1\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.1\\ACAD-D001:804\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.1\\ACAD-D001:804\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R19.1\\ACAD-D001:804\\Profiles\\Hidden [unopenable]\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804\\Profiles\\Locked\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804\\Profiles\\Locked\\Variables [unopenable]\n"
              "  \"TRUSTEDPATHS\"=sz:D:\\Old\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804\\Profiles\\Open\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R20.0\\ACAD-E001:804\\Profiles\\Open\\Variables\n"
              "  \"TRUSTEDPATHS\"=sz:c:\\tavrin\\tavrin批打印软件\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:409\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:409\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:409\\Profiles\\P\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:409\\Profiles\\P\\Variables\n"
              "  \"TRUSTEDPATHS\"=sz:" + F + "\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\General\n"
              "  \"X\"=sz:no profiles here\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R99.0\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R99.0\\ACAD-F001:804\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R99.0\\ACAD-F001:804\\Profiles\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R99.0\\ACAD-F001:804\\Profiles\\Future\n"
              "SOFTWARE\\Autodesk\\AutoCAD\\R99.0\\ACAD-F001:804\\Profiles\\Future\\Variables\n"
              "  \"TRUSTEDPATHS\"=sz:" + F + "\n"
              "SOFTWARE\\Other\n"
              "  \"TRUSTEDPATHS\"=sz:\n");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// What the old value was and what the profile holds after the run. The
// written value is REG_SZ with exactly one terminating zero.
TEST_F(TrustedPathsTest, EachKindOfOldValueEndsAsTheMergeRuleSays) {
    const std::string variables = kAcad + "\\R23.1\\ACAD-3001:804\\Profiles\\<<未命名配置>>\\Variables";
    std::string longValue;
    while (longValue.size() < 100000) longValue += "E:\\Very\\Long\\Trusted\\Folder\\" + std::to_string(longValue.size()) + ";";
    struct Case {
        const char* name;
        bool present;               // the value exists
        std::uint32_t type;
        std::string data;           // as stored
        std::uint32_t expectedType;
        std::string expectedData;
    };
    const std::string F = kFolder;
    const Case cases[] = {
        {"absent", false, kRegSz, "", kRegSz, Sz(F)},
        {"empty", true, kRegSz, Sz(""), kRegSz, Sz(F)},
        {"no data at all", true, kRegSz, "", kRegSz, Sz(F)},
        {"dot", true, kRegSz, Sz("."), kRegSz, Sz(F)},
        {"two double quotes", true, kRegSz, Sz("\"\""), kRegSz, Sz(F)},
        {"blanks", true, kRegSz, Sz("  "), kRegSz, Sz(F)},
        {"a drive", true, kRegSz, Sz("C:"), kRegSz, Sz("C:;" + F)},
        {"lower case kept", true, kRegSz, Sz("d:\\lisp"), kRegSz, Sz("d:\\lisp;" + F)},
        {"trailing separator", true, kRegSz, Sz("d:\\lisp;"), kRegSz, Sz("d:\\lisp;" + F)},
        {"look-alike", true, kRegSz, Sz(F + "2"), kRegSz, Sz(F + "2;" + F)},
        {"present in other case", true, kRegSz, Sz("D:\\A;C:\\TAVRIN\\tavrin批打印软件"), kRegSz,
         Sz("D:\\A;C:\\TAVRIN\\tavrin批打印软件")},
        {"present with subfolders", true, kRegSz, Sz(F + "\\..."), kRegSz, Sz(F + "\\...")},
        {"100000 characters", true, kRegSz, Sz(longValue), kRegSz, Sz(longValue + F)},
        {"100000 characters holding it at the end", true, kRegSz, Sz(longValue + F), kRegSz, Sz(longValue + F)},
        {"no terminating zero", true, kRegSz, "D:\\A", kRegSz, Sz("D:\\A;" + F)},
        // Not text AutoCAD wrote: left exactly as it is.
        {"a number", true, kRegDword, std::string("\x01\0\0\0", 4), kRegDword, std::string("\x01\0\0\0", 4)},
        {"expandable text", true, kRegExpandSz, Sz("%USERPROFILE%\\Lisp"), kRegExpandSz, Sz("%USERPROFILE%\\Lisp")},
        {"binary", true, kRegBinary, "\x01\x02", kRegBinary, "\x01\x02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry machine;
        ASSERT_TRUE(machine.AddKey(RegRoot::CurrentUser, variables));
        if (c.present) {
            ASSERT_TRUE(machine.SetValue(RegRoot::CurrentUser, variables, "TRUSTEDPATHS", c.type, c.data));
        }

        AddTrustedPath(context, machine);

        const auto value = machine.GetValue(RegRoot::CurrentUser, variables, "TRUSTEDPATHS");
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, c.expectedType);
        EXPECT_EQ(value->data.size(), c.expectedData.size());
        EXPECT_TRUE(value->data == c.expectedData) << value->data.substr(0, 200);
    }
}

TEST_F(TrustedPathsTest, ASecondRunFindsTheFolderAndChangesNothing) {
    const std::string variables = kAcad + "\\R24.1\\ACAD-5101:804\\Profiles\\P\\Variables";
    Seed(variables, kRegSz, Sz("d:\\lisp;E:\\Blocks"));

    AddTrustedPath(context, registry);
    const std::string afterFirst = registry.Dump(RegRoot::CurrentUser);
    AddTrustedPath(context, registry);

    EXPECT_EQ(Trusted(variables)->data, Sz("d:\\lisp;E:\\Blocks;" + kFolder));
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser), afterFirst);
}

TEST_F(TrustedPathsTest, WithoutAutoCADForTheUserNothingIsWritten) {
    Load("[HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\Other]\n\"A\"=\"b\"\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\P\\Variables]\n");
    const std::string user = registry.Dump(RegRoot::CurrentUser);
    const std::string machine = registry.Dump(RegRoot::LocalMachine);

    AddTrustedPath(context, registry);

    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser), user);
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine), machine);
}

TEST_F(TrustedPathsTest, WithoutAnInstallFolderNothingIsWritten) {
    const std::string variables = kAcad + "\\R24.1\\ACAD-5101:804\\Profiles\\P\\Variables";
    Seed(variables, kRegSz, Sz("."));
    context.InstallFolder.clear();

    AddTrustedPath(context, registry);

    EXPECT_EQ(Trusted(variables)->data, Sz("."));
}

TEST_F(TrustedPathsTest, ListOpenableSubkeysAppendsTheOpenableOnesInEnumerationOrder) {
    Load("[HKEY_CURRENT_USER\\Root\\b]\n[HKEY_CURRENT_USER\\Root\\A]\n[HKEY_CURRENT_USER\\Root\\c]\n"
         "[HKEY_CURRENT_USER\\Root\\配置]\n");
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::CurrentUser, "Root\\b"));
    RegKey user(registry);
    ASSERT_EQ(registry.OpenRoot(RegRoot::CurrentUser, user.Receive()), RegStatus::Ok);
    RegKey root(registry);
    ASSERT_EQ(registry.OpenForRead(user.Get(), "Root", root.Receive()), RegStatus::Ok);

    TextList names = {"kept"};
    ListOpenableSubkeys(registry, root.Get(), names);

    EXPECT_EQ(names, (TextList{"kept", "A", "c", "配置"}));
    EXPECT_EQ(registry.OpenHandleCount(), 1u);  // only `root`
}

}  // namespace
}  // namespace tavrin

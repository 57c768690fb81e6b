// The in-memory registry against the rules of the Windows registry that the
// engine can observe. Narrow literals are code page 936 (the build converts
// them), so "乗" below is the two bytes 81 5C: its trail byte is a "\".
#include "memory_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrin {
namespace {

class MemoryRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(registry.OpenRoot(RegRoot::CurrentUser, root), RegStatus::Ok); }

    // Opens `path` below the current-user root with one of the open calls.
    RegStatus OpenWith(int how, const std::string& path) {
        RegKey key(registry);
        switch (how) {
        case 0: return registry.OpenForRead(root, path, key.Receive());
        case 1: return registry.OpenForWrite(root, path, key.Receive());
        default: return registry.CreateKey(root, path, key.Receive());
        }
    }

    std::vector<std::string> SubkeyNames(RegHandle key) {
        std::vector<std::string> names;
        std::uint32_t count = 0;
        EXPECT_EQ(registry.CountSubkeys(key, count), RegStatus::Ok);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string name;
            EXPECT_EQ(registry.SubkeyName(key, i, name), RegStatus::Ok) << "index " << i;
            names.push_back(name);
        }
        return names;
    }

    MemoryRegistry registry;
    RegHandle root = 0;
};

// --- Names and paths -----------------------------------------------------------

struct NameCase {
    const char* name;
    std::string stored;
    std::string lookup;
    RegStatus expected;
};

TEST_F(MemoryRegistryTest, KeyNamesMatchWithoutCaseOfSingleByteLettersOnly) {
    const std::vector<NameCase> cases = {
        {"same_spelling", "Autodesk", "Autodesk", RegStatus::Ok},
        {"ascii_case_differs", "Autodesk", "AUTODESK", RegStatus::Ok},
        {"chinese_same", "简体中文", "简体中文", RegStatus::Ok},
        {"mixed_case_around_chinese", "AutoCAD 中文 R1", "autocad 中文 r1", RegStatus::Ok},
        // 丄 is 81 41 and 乤 is 81 61: trail bytes "A" and "a", two characters.
        {"trail_bytes_not_folded", "丄", "乤", RegStatus::NotFound},
        {"fullwidth_is_not_ascii", "A", "Ａ", RegStatus::NotFound},
        {"prefix_is_not_the_name", "Autodesk", "Auto", RegStatus::NotFound},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry fresh;
        ASSERT_TRUE(fresh.AddKey(RegRoot::CurrentUser, c.stored));
        RegHandle top = 0;
        fresh.OpenRoot(RegRoot::CurrentUser, top);
        RegKey key(fresh);
        EXPECT_EQ(fresh.OpenForRead(top, c.lookup, key.Receive()), c.expected);
        EXPECT_EQ(key.IsOpen(), c.expected == RegStatus::Ok);
    }
}

TEST_F(MemoryRegistryTest, ValueNamesMatchWithoutCase) {
    RegKey key(registry);
    ASSERT_EQ(registry.CreateKey(root, "K", key.Receive()), RegStatus::Ok);
    ASSERT_EQ(registry.SetDword(key.Get(), "LoadCtrls", 1), RegStatus::Ok);
    ASSERT_EQ(registry.SetDword(key.Get(), "LOADCTRLS", 2), RegStatus::Ok);  // the same value
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(registry.QueryValue(key.Get(), "loadctrls", type, nullptr, size), RegStatus::Ok);
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser, "K"), "K\n  \"LoadCtrls\"=dword:2\n");
}

struct PathCase {
    const char* name;
    std::string path;
    RegStatus expected;
};

TEST_F(MemoryRegistryTest, PathFormsOpenTheSameKeyOrFail) {
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "A\\B\\乗"));
    const std::vector<PathCase> cases = {
        {"plain", "A\\B", RegStatus::Ok},
        {"one_trailing_backslash", "A\\B\\", RegStatus::Ok},
        {"other_case", "a\\b", RegStatus::Ok},
        {"two_trailing_backslashes", "A\\B\\\\", RegStatus::Ok},
        {"double_backslash_between_levels", "A\\\\B", RegStatus::Ok},
        {"leading_backslash", "\\A\\B", RegStatus::Failed},
        {"backslash_alone", "\\", RegStatus::Failed},
        {"missing_level", "A\\C", RegStatus::NotFound},
        // The final 5C is the trail byte of 乗, not a backslash to drop.
        {"trail_byte_backslash_kept", "A\\B\\乗", RegStatus::Ok},
        {"trail_byte_then_backslash", "A\\B\\乗\\", RegStatus::Ok},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OpenWith(0, c.path), c.expected) << "OpenForRead";
        EXPECT_EQ(OpenWith(1, c.path), c.expected) << "OpenForWrite";
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(MemoryRegistryTest, EmptyPathOpensTheParentAgainAsANewHandle) {
    RegKey parent(registry);
    ASSERT_EQ(registry.OpenForRead(root, "A", parent.Receive()), RegStatus::NotFound);
    ASSERT_EQ(registry.CreateKey(root, "A", parent.Receive()), RegStatus::Ok);
    registry.SetString(parent.Get(), "v", "x");
    RegKey again(registry);
    ASSERT_EQ(registry.OpenForRead(parent.Get(), "", again.Receive()), RegStatus::Ok);
    EXPECT_NE(again.Get(), parent.Get());
    parent.Reset();  // the second handle lives on its own
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(again.Get(), "v", type, nullptr, size), RegStatus::Ok);
    EXPECT_EQ(size, 2u);
}

TEST_F(MemoryRegistryTest, CreateKeyMakesEveryMissingLevelAndKeepsExistingOnes) {
    ASSERT_TRUE(registry.SetValue(RegRoot::CurrentUser, "A", "keep", kRegSz, std::string("1\0", 2)));
    RegKey key(registry);
    ASSERT_EQ(registry.CreateKey(root, "a\\B\\C\\", key.Receive()), RegStatus::Ok);
    ASSERT_EQ(registry.SetDword(key.Get(), "n", 7), RegStatus::Ok);
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser),
              "A\n  \"keep\"=sz:1\n"
              "A\\B\n"
              "A\\B\\C\n  \"n\"=dword:7\n");
    // Opening the existing key again creates nothing.
    ASSERT_EQ(registry.CreateKey(root, "A\\b", key.Receive()), RegStatus::Ok);
    EXPECT_EQ(SubkeyNames(key.Get()), std::vector<std::string>{"C"});
}

TEST_F(MemoryRegistryTest, TreeDepthIsLimitedTo512Levels) {
    std::string path = "L";
    for (int i = 1; i < 512; ++i) path += "\\L";
    RegKey key(registry);
    EXPECT_EQ(registry.CreateKey(root, path, key.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry.CreateKey(root, path + "\\L", key.Receive()), RegStatus::Failed);
    EXPECT_EQ(registry.CreateKey(key.Get(), "L", key.Receive()), RegStatus::Failed);
    EXPECT_FALSE(registry.AddKey(RegRoot::LocalMachine, path + "\\L"));
}

// --- Enumeration ---------------------------------------------------------------

TEST_F(MemoryRegistryTest, SubkeysEnumerateSortedWithoutCaseWhateverTheOrderOfCreation) {
    for (const char* name : {"b", "Zed", "中文", "a1", "A", "c", "R18.0", "R17.1"}) {
        ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, std::string("K\\") + name));
    }
    RegKey key(registry);
    ASSERT_EQ(registry.OpenForRead(root, "K", key.Receive()), RegStatus::Ok);
    const std::vector<std::string> expected = {"A", "a1", "b", "c", "R17.1", "R18.0", "Zed", "中文"};
    EXPECT_EQ(SubkeyNames(key.Get()), expected);
    std::string name = "unchanged";
    EXPECT_EQ(registry.SubkeyName(key.Get(), 8, name), RegStatus::NoMoreItems);
    EXPECT_EQ(name, "unchanged");
}

TEST_F(MemoryRegistryTest, SubkeyNamesLongerThan255BytesCountButGiveMoreData) {
    std::string chinese128;
    for (int i = 0; i < 128; ++i) chinese128 += "中";  // 256 bytes, 128 characters
    const std::string fits255(255, 'F');
    const std::string mixed255 = "m" + chinese128.substr(2);  // 255 bytes
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K\\" + fits255));
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K\\" + std::string(256, 'G')));
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K\\" + mixed255));
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K\\" + chinese128));
    RegKey key(registry);
    ASSERT_EQ(registry.OpenForRead(root, "K", key.Receive()), RegStatus::Ok);
    std::uint32_t count = 0;
    ASSERT_EQ(registry.CountSubkeys(key.Get(), count), RegStatus::Ok);
    EXPECT_EQ(count, 4u);
    std::string name;
    EXPECT_EQ(registry.SubkeyName(key.Get(), 0, name), RegStatus::Ok);
    EXPECT_EQ(name, fits255);
    EXPECT_EQ(registry.SubkeyName(key.Get(), 1, name), RegStatus::MoreData);
    EXPECT_EQ(registry.SubkeyName(key.Get(), 2, name), RegStatus::Ok);
    EXPECT_EQ(name, mixed255);
    EXPECT_EQ(registry.SubkeyName(key.Get(), 3, name), RegStatus::MoreData);
    // The long key itself opens by its name.
    RegKey longKey(registry);
    EXPECT_EQ(registry.OpenForRead(key.Get(), chinese128, longKey.Receive()), RegStatus::Ok);
}

// --- Values --------------------------------------------------------------------

TEST_F(MemoryRegistryTest, SetStringAndSetDwordStoreWindowsBytes) {
    RegKey key(registry);
    ASSERT_EQ(registry.CreateKey(root, "K", key.Receive()), RegStatus::Ok);
    ASSERT_EQ(registry.SetString(key.Get(), "Loader", "C:\\Tavrin批打印软件\\a.ARX"), RegStatus::Ok);
    ASSERT_EQ(registry.SetString(key.Get(), "", ""), RegStatus::Ok);
    ASSERT_EQ(registry.SetDword(key.Get(), "LoadCtrls", 0x01020304), RegStatus::Ok);

    const auto loader = registry.GetValue(RegRoot::CurrentUser, "K", "LOADER");
    ASSERT_TRUE(loader.has_value());
    EXPECT_EQ(loader->type, kRegSz);
    EXPECT_EQ(loader->data, std::string("C:\\Tavrin批打印软件\\a.ARX") + '\0');
    EXPECT_EQ(loader->data.size(), 26u);  // 9 + 10 (five Chinese characters) + 6 + zero

    const auto byDefault = registry.GetValue(RegRoot::CurrentUser, "K", "");
    ASSERT_TRUE(byDefault.has_value());
    EXPECT_EQ(byDefault->data, std::string(1, '\0'));

    const auto number = registry.GetValue(RegRoot::CurrentUser, "K", "LoadCtrls");
    ASSERT_TRUE(number.has_value());
    EXPECT_EQ(number->type, kRegDword);
    EXPECT_EQ(number->data, std::string("\x04\x03\x02\x01", 4));

    // A value changes its type with a new write.
    ASSERT_EQ(registry.SetString(key.Get(), "LoadCtrls", "2"), RegStatus::Ok);
    EXPECT_EQ(registry.GetValue(RegRoot::CurrentUser, "K", "LoadCtrls")->type, kRegSz);
}

struct QueryCase {
    const char* name;
    bool withBuffer;
    std::uint32_t bufferSize;
    RegStatus expected;
};

TEST_F(MemoryRegistryTest, QueryValueReportsTheSizeAndMoreDataWhenTheBufferIsSmall) {
    const std::string data = std::string("中文AB") + '\0';  // 7 bytes
    ASSERT_TRUE(registry.SetValue(RegRoot::CurrentUser, "K", "v", kRegExpandSz, data));
    RegKey key(registry);
    ASSERT_EQ(registry.OpenForRead(root, "K", key.Receive()), RegStatus::Ok);
    const std::vector<QueryCase> cases = {
        {"size_only", false, 0, RegStatus::Ok},
        {"size_only_ignores_entry_size", false, 3, RegStatus::Ok},
        {"one_byte_short", true, 6, RegStatus::MoreData},
        {"empty_buffer", true, 0, RegStatus::MoreData},
        {"exact", true, 7, RegStatus::Ok},
        {"larger", true, 256, RegStatus::Ok},
    };
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> buffer(256, 0xAA);
        std::uint32_t type = 0;
        std::uint32_t size = c.bufferSize;
        EXPECT_EQ(registry.QueryValue(key.Get(), "V", type, c.withBuffer ? buffer.data() : nullptr, size), c.expected);
        EXPECT_EQ(type, kRegExpandSz);
        EXPECT_EQ(size, 7u);
        if (c.withBuffer && c.expected == RegStatus::Ok) {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 7), data);
            EXPECT_EQ(buffer[7], 0xAA);  // nothing written past the data
        }
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(key.Get(), "missing", type, nullptr, size), RegStatus::NotFound);
    EXPECT_EQ(registry.QueryValue(key.Get(), "", type, nullptr, size), RegStatus::NotFound);
}

struct AccessCase {
    const char* name;
    int how;  // 0 OpenForRead, 1 OpenForWrite, 2 CreateKey, 3 the root
    RegStatus expected;
};

TEST_F(MemoryRegistryTest, OnlyKeysOpenedForWritingTakeValues) {
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K"));
    const std::vector<AccessCase> cases = {
        {"open_for_read", 0, RegStatus::AccessDenied},
        {"open_for_write", 1, RegStatus::Ok},
        {"create_key", 2, RegStatus::Ok},
        {"root", 3, RegStatus::Ok},
    };
    for (const AccessCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegKey key(registry);
        RegStatus opened = RegStatus::Ok;
        if (c.how == 0) opened = registry.OpenForRead(root, "K", key.Receive());
        if (c.how == 1) opened = registry.OpenForWrite(root, "K", key.Receive());
        if (c.how == 2) opened = registry.CreateKey(root, "K", key.Receive());
        ASSERT_EQ(opened, RegStatus::Ok);
        const RegHandle target = c.how == 3 ? root : key.Get();
        EXPECT_EQ(registry.SetString(target, "s", "x"), c.expected);
        EXPECT_EQ(registry.SetDword(target, "d", 1), c.expected);
        EXPECT_EQ(registry.SetValue(target, "b", kRegBinary, "\x01"), c.expected);
        EXPECT_EQ(registry.DeleteValue(target, "s"), c.expected);
    }
    // A read handle still creates and deletes subkeys, as on Windows.
    RegKey reader(registry);
    ASSERT_EQ(registry.OpenForRead(root, "K", reader.Receive()), RegStatus::Ok);
    RegKey child(registry);
    EXPECT_EQ(registry.CreateKey(reader.Get(), "child", child.Receive()), RegStatus::Ok);
    child.Reset();
    EXPECT_EQ(registry.DeleteKey(reader.Get(), "child"), RegStatus::Ok);
}

// --- Deleting keys -------------------------------------------------------------

struct DeleteCase {
    const char* name;
    std::string path;  // below HKCU\K
    RegStatus expected;
    std::string remaining;  // the dump of HKCU\K afterwards
};

TEST_F(MemoryRegistryTest, DeleteKeyRemovesOnlyKeysWithoutSubkeys) {
    const std::string all = "K\nK\\Parent\nK\\Parent\\Leaf\nK\\Values\n  \"v\"=dword:0\n";
    const std::string withoutLeaf = "K\nK\\Parent\nK\\Values\n  \"v\"=dword:0\n";
    const std::vector<DeleteCase> cases = {
        {"leaf", "Parent\\Leaf", RegStatus::Ok, withoutLeaf},
        {"leaf_other_case_trailing_backslash", "parent\\LEAF\\", RegStatus::Ok, withoutLeaf},
        {"double_backslashes", "Parent\\\\Leaf\\\\", RegStatus::Ok, withoutLeaf},
        {"leaf_with_values", "Values", RegStatus::Ok, "K\nK\\Parent\nK\\Parent\\Leaf\n"},
        {"has_subkeys", "Parent", RegStatus::AccessDenied, all},
        {"missing", "Nothing", RegStatus::NotFound, all},
        {"missing_parent", "Nothing\\Leaf", RegStatus::NotFound, all},
        {"leading_backslash", "\\Parent\\Leaf", RegStatus::Failed, all},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry fresh;
        fresh.AddKey(RegRoot::CurrentUser, "K\\Parent\\Leaf");
        fresh.SetValue(RegRoot::CurrentUser, "K\\Values", "v", kRegDword, std::string(4, '\0'));
        RegKey key(fresh);
        RegHandle top = 0;
        fresh.OpenRoot(RegRoot::CurrentUser, top);
        ASSERT_EQ(fresh.OpenForRead(top, "K", key.Receive()), RegStatus::Ok);
        EXPECT_EQ(fresh.DeleteKey(key.Get(), c.path), c.expected);
        EXPECT_EQ(fresh.Dump(RegRoot::CurrentUser, "K"), c.remaining);
    }
}

TEST_F(MemoryRegistryTest, DeleteKeyWithEmptyPathDeletesTheKeyItselfButNeverARoot) {
    RegKey key(registry);
    ASSERT_EQ(registry.CreateKey(root, "K\\Self", key.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry.DeleteKey(key.Get(), ""), RegStatus::Ok);
    EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "K\\Self"));
    RegHandle machine = 0;
    registry.OpenRoot(RegRoot::LocalMachine, machine);
    EXPECT_EQ(registry.DeleteKey(machine, ""), RegStatus::AccessDenied);
}

TEST_F(MemoryRegistryTest, HandleOfADeletedKeyFailsEveryCallButCloses) {
    RegKey parent(registry);
    RegKey gone(registry);
    ASSERT_EQ(registry.CreateKey(root, "K", parent.Receive()), RegStatus::Ok);
    ASSERT_EQ(registry.CreateKey(parent.Get(), "Gone", gone.Receive()), RegStatus::Ok);
    ASSERT_EQ(registry.SetDword(gone.Get(), "v", 1), RegStatus::Ok);
    ASSERT_EQ(registry.DeleteKey(parent.Get(), "Gone"), RegStatus::Ok);

    std::uint32_t count = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string name;
    RegKey other(registry);
    EXPECT_EQ(registry.CountSubkeys(gone.Get(), count), RegStatus::Failed);
    EXPECT_EQ(registry.SubkeyName(gone.Get(), 0, name), RegStatus::Failed);
    EXPECT_EQ(registry.QueryValue(gone.Get(), "v", type, nullptr, size), RegStatus::Failed);
    EXPECT_EQ(registry.SetDword(gone.Get(), "v", 2), RegStatus::Failed);
    EXPECT_EQ(registry.OpenForRead(gone.Get(), "", other.Receive()), RegStatus::Failed);
    EXPECT_EQ(registry.CreateKey(gone.Get(), "x", other.Receive()), RegStatus::Failed);
    EXPECT_EQ(registry.DeleteKey(gone.Get(), ""), RegStatus::Failed);
    EXPECT_FALSE(other.IsOpen());

    // A new key of the same name is another key: the old handle stays dead.
    RegKey again(registry);
    ASSERT_EQ(registry.CreateKey(parent.Get(), "Gone", again.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry.QueryValue(gone.Get(), "v", type, nullptr, size), RegStatus::Failed);
    EXPECT_EQ(registry.QueryValue(again.Get(), "v", type, nullptr, size), RegStatus::NotFound);
    gone.Reset();
    again.Reset();
    parent.Reset();
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(MemoryRegistryTest, DeleteTreeLeavesHandlesBelowItDead) {
    RegKey deep(registry);
    ASSERT_EQ(registry.CreateKey(root, "T\\A\\B", deep.Receive()), RegStatus::Ok);
    ASSERT_TRUE(registry.DeleteTree(RegRoot::CurrentUser, "t"));
    EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "T"));
    std::uint32_t count = 0;
    EXPECT_EQ(registry.CountSubkeys(deep.Get(), count), RegStatus::Failed);
    EXPECT_FALSE(registry.DeleteTree(RegRoot::CurrentUser, "T"));
    EXPECT_FALSE(registry.DeleteTree(RegRoot::CurrentUser, ""));
}

// --- Unopenable keys -----------------------------------------------------------

TEST_F(MemoryRegistryTest, UnopenableKeyRefusesOpeningButEnumeratesInItsParent) {
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K\\Open"));
    ASSERT_TRUE(registry.AddKey(RegRoot::CurrentUser, "K\\Shut\\Below"));
    ASSERT_TRUE(registry.MarkUnopenable(RegRoot::CurrentUser, "K\\Shut"));
    EXPECT_FALSE(registry.MarkUnopenable(RegRoot::CurrentUser, ""));

    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(OpenWith(how, "K\\Shut"), RegStatus::AccessDenied);
        EXPECT_EQ(OpenWith(how, "k\\shut\\"), RegStatus::AccessDenied);
        // Keys below it open by a path through it.
        EXPECT_EQ(OpenWith(how, "K\\Shut\\Below"), RegStatus::Ok);
    }
    // Nothing new can be created inside it.
    EXPECT_EQ(OpenWith(2, "K\\Shut\\New"), RegStatus::AccessDenied);
    EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "K\\Shut\\New"));
    EXPECT_EQ(registry.DeleteKey(root, "K\\Shut\\Below"), RegStatus::Ok);
    EXPECT_EQ(registry.DeleteKey(root, "K\\Shut"), RegStatus::AccessDenied);

    RegKey parent(registry);
    ASSERT_EQ(registry.OpenForRead(root, "K", parent.Receive()), RegStatus::Ok);
    EXPECT_EQ(SubkeyNames(parent.Get()), (std::vector<std::string>{"Open", "Shut"}));
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser, "K"), "K\nK\\Open\nK\\Shut [unopenable]\n");
}

// --- Handles -------------------------------------------------------------------

TEST_F(MemoryRegistryTest, RootHandlesArePredefinedAndSurviveClosing) {
    RegHandle again = 0;
    ASSERT_EQ(registry.OpenRoot(RegRoot::CurrentUser, again), RegStatus::Ok);
    EXPECT_EQ(again, root);
    RegHandle machine = 0;
    ASSERT_EQ(registry.OpenRoot(RegRoot::LocalMachine, machine), RegStatus::Ok);
    EXPECT_NE(machine, root);
    registry.Close(root);
    RegKey key(registry);
    EXPECT_EQ(registry.CreateKey(root, "K", key.Receive()), RegStatus::Ok);
    // The two roots are separate trees.
    EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "K"));
    EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "K"));
    // RegOpenKeyA on a root with no subkey gives the root itself.
    RegHandle same = 0;
    EXPECT_EQ(registry.OpenForWrite(machine, "", same), RegStatus::Ok);
    EXPECT_EQ(same, machine);
}

TEST_F(MemoryRegistryTest, ClosedHandlesFailAndAreNotGivenOutAgain) {
    RegHandle first = 0;
    ASSERT_EQ(registry.CreateKey(root, "A", first), RegStatus::Ok);
    registry.Close(first);
    registry.Close(first);  // closing twice does no harm
    RegHandle second = 0;
    ASSERT_EQ(registry.CreateKey(root, "B", second), RegStatus::Ok);
    EXPECT_NE(second, first);
    std::uint32_t count = 0;
    EXPECT_EQ(registry.CountSubkeys(first, count), RegStatus::Failed);
    EXPECT_EQ(registry.SetDword(first, "v", 1), RegStatus::Failed);
    EXPECT_EQ(registry.CountSubkeys(0, count), RegStatus::Failed);
    registry.Close(second);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(MemoryRegistryTest, RegKeyClosesWhatItHolds) {
    {
        RegKey key(registry);
        ASSERT_EQ(registry.CreateKey(root, "A", key.Receive()), RegStatus::Ok);
        ASSERT_EQ(registry.CreateKey(root, "B", key.Receive()), RegStatus::Ok);  // closes A's handle
        EXPECT_EQ(registry.OpenHandleCount(), 1u);
        RegKey moved(std::move(key));
        EXPECT_FALSE(key.IsOpen());
        EXPECT_EQ(registry.OpenHandleCount(), 1u);
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// --- Inspection ----------------------------------------------------------------

TEST_F(MemoryRegistryTest, DumpShowsEveryKeyAndValueInAStableForm) {
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "", kRegSz, std::string("默认") + '\0');
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "Path", kRegExpandSz, std::string("%A%\\b") + '\0');
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "NoZero", kRegSz, "ab");
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "TwoZeros", kRegSz, std::string("a\0b\0", 4));
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "Count", kRegDword, std::string("\xff\xff\xff\xff", 4));
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "Short", kRegDword, std::string("\x01", 1));
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "Quad", kRegQword, std::string("\x01\0\0\0\0\0\0\x80", 8));
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "Empty", kRegBinary, "");
    registry.AddKey(RegRoot::LocalMachine, "S\\K\\Sub");
    const std::string expected =
        "S\n"
        "S\\K\n"
        "  @=sz:默认\n"
        "  \"Path\"=expand_sz:%A%\\b\n"
        "  \"NoZero\"=hex(1):61,62\n"
        "  \"TwoZeros\"=hex(1):61,00,62,00\n"
        "  \"Count\"=dword:4294967295\n"
        "  \"Short\"=hex(4):01\n"
        "  \"Quad\"=hex(b):01,00,00,00,00,00,00,80\n"
        "  \"Empty\"=hex(3):\n"
        "S\\K\\Sub\n";
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine), expected);
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, "s\\k\\SUB\\"), "S\\K\\Sub\n");
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, "S\\Missing"), "");
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser), "");
}

TEST_F(MemoryRegistryTest, SeedingHelpersSetAndRemoveValues) {
    EXPECT_FALSE(registry.GetValue(RegRoot::CurrentUser, "K", "v").has_value());
    ASSERT_TRUE(registry.SetValue(RegRoot::CurrentUser, "K\\L", "v", 0x1234, "raw"));
    const auto value = registry.GetValue(RegRoot::CurrentUser, "k\\l\\", "V");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->name, "v");
    EXPECT_EQ(value->type, 0x1234u);
    EXPECT_EQ(value->data, "raw");
    EXPECT_TRUE(registry.DeleteValue(RegRoot::CurrentUser, "K\\L", "V"));
    EXPECT_FALSE(registry.DeleteValue(RegRoot::CurrentUser, "K\\L", "v"));
    EXPECT_FALSE(registry.DeleteValue(RegRoot::CurrentUser, "Missing", "v"));
    EXPECT_FALSE(registry.SetValue(RegRoot::CurrentUser, "\\K\\L", "v", kRegSz, ""));
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser), "K\nK\\L\n");
}

}  // namespace
}  // namespace tavrin

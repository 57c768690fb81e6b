// The Win32 registry backend against Wine's real registry, and the in-memory
// registry against the same expectations: every TEST_P below runs on both,
// so the native tests' registry keeps behaving like the real one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "memory_registry.h"
#include "reg_file.h"
#include "win32_registry.h"
#include "wine_registry.h"

namespace tavrin {
namespace {

struct Backend {
    const char* name;
    std::function<std::unique_ptr<Registry>()> make;
};

std::string PrintBackend(const ::testing::TestParamInfo<Backend>& info) { return info.param.name; }

std::vector<std::string> SubkeyNames(Registry& registry, RegHandle key) {
    std::vector<std::string> names;
    std::uint32_t count = 0;
    EXPECT_EQ(registry.CountSubkeys(key, count), RegStatus::Ok);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name = "<unreadable>";
        registry.SubkeyName(key, i, name);
        names.push_back(name);
    }
    return names;
}

// The value's type and bytes, "" with a status when it cannot be read.
std::string ReadValue(Registry& registry, RegHandle key, const std::string& name, std::uint32_t& type) {
    std::uint32_t size = 0;
    const RegStatus sized = registry.QueryValue(key, name, type, nullptr, size);
    if (sized != RegStatus::Ok) return "<status " + std::to_string(static_cast<long>(sized)) + ">";
    std::string data(size, '\0');
    const RegStatus read =
        registry.QueryValue(key, name, type, reinterpret_cast<unsigned char*>(&data[0]), size);
    if (read != RegStatus::Ok) return "<status " + std::to_string(static_cast<long>(read)) + ">";
    data.resize(size);
    return data;
}

class RegistryBackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing::WipeTestKeys());
        registry_ = GetParam().make();
        ASSERT_EQ(registry().OpenRoot(RegRoot::CurrentUser, root_), RegStatus::Ok);
        ASSERT_EQ(registry().CreateKey(root_, std::string(testing::kScratchKey) + "\\Backend", base_), RegStatus::Ok);
    }

    void TearDown() override {
        if (registry_) registry().Close(base_);
        testing::WipeTestKeys();
    }

    Registry& registry() { return *registry_; }
    RegHandle base() const { return base_; }
    RegHandle root() const { return root_; }

    void MakeKey(const std::string& path) {
        RegKey key(registry());
        ASSERT_EQ(registry().CreateKey(base_, path, key.Receive()), RegStatus::Ok) << path;
    }

private:
    std::unique_ptr<Registry> registry_;
    RegHandle root_ = 0;
    RegHandle base_ = 0;
};

struct SizeCase {
    const char* name;
    std::string text;
    std::uint32_t dataSize;  // bytes, the terminating zero included
    RegStatus withBuffer256;
};

TEST_P(RegistryBackendTest, TextValuesAroundTheReadBufferOf256Bytes) {
    std::string chinese127;
    for (int i = 0; i < 127; ++i) chinese127 += "中";
    const std::vector<SizeCase> cases = {
        {"data_255", std::string(254, 'a'), 255, RegStatus::Ok},
        {"data_256", std::string(255, 'b'), 256, RegStatus::Ok},
        {"data_257", std::string(256, 'c'), 257, RegStatus::MoreData},
        {"chinese_data_256", chinese127 + "x", 256, RegStatus::Ok},
        {"chinese_data_257", chinese127 + "xy", 257, RegStatus::MoreData},
        {"empty_text", "", 1, RegStatus::Ok},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(registry().SetString(base(), c.name, c.text), RegStatus::Ok);
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        EXPECT_EQ(registry().QueryValue(base(), c.name, type, nullptr, size), RegStatus::Ok);
        EXPECT_EQ(size, c.dataSize);
        unsigned char buffer[256] = {};
        size = sizeof buffer;
        EXPECT_EQ(registry().QueryValue(base(), c.name, type, buffer, size), c.withBuffer256);
        EXPECT_EQ(size, c.dataSize);
        EXPECT_EQ(type, kRegSz);
        if (c.withBuffer256 == RegStatus::Ok) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), c.text + '\0');
        }
    }
}

TEST_P(RegistryBackendTest, StringAndDwordDataAndNames) {
    ASSERT_EQ(registry().SetString(base(), "LOADER", "C:\\Tavrin\\Tavrin批打印软件\\TV_BatchPlot2010.ARX"),
              RegStatus::Ok);
    ASSERT_EQ(registry().SetDword(base(), "LOADCTRLS", 2), RegStatus::Ok);
    ASSERT_EQ(registry().SetDword(base(), "中文值", 0xA1B2C3D4), RegStatus::Ok);
    std::uint32_t type = 0;
    EXPECT_EQ(ReadValue(registry(), base(), "loader", type),
              std::string("C:\\Tavrin\\Tavrin批打印软件\\TV_BatchPlot2010.ARX") + '\0');
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(ReadValue(registry(), base(), "LoadCtrls", type), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(ReadValue(registry(), base(), "中文值", type), "\xd4\xc3\xb2\xa1");
    std::uint32_t size = 0;
    EXPECT_EQ(registry().QueryValue(base(), "missing", type, nullptr, size), RegStatus::NotFound);
    EXPECT_EQ(registry().QueryValue(base(), "", type, nullptr, size), RegStatus::NotFound);
}

TEST_P(RegistryBackendTest, DeleteKeyRefusesAKeyWithSubkeys) {
    MakeKey("Parent\\Child");
    EXPECT_EQ(registry().DeleteKey(base(), "Parent"), RegStatus::AccessDenied);
    RegKey parent(registry());
    EXPECT_EQ(registry().OpenForRead(base(), "Parent\\Child", parent.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry().DeleteKey(base(), "parent\\child\\"), RegStatus::Ok);
    EXPECT_EQ(registry().DeleteKey(base(), "Parent\\Child"), RegStatus::NotFound);
    EXPECT_EQ(registry().DeleteKey(base(), "Parent"), RegStatus::Ok);
    // An empty path deletes the key the handle stands for.
    RegKey self(registry());
    ASSERT_EQ(registry().CreateKey(base(), "Self", self.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry().DeleteKey(self.Get(), ""), RegStatus::Ok);
    EXPECT_EQ(SubkeyNames(registry(), base()), std::vector<std::string>{});
}

TEST_P(RegistryBackendTest, SubkeysEnumerateSortedWithoutCase) {
    for (const char* name : {"b", "Zed", "中文", "a1", "A", "c", "R18.0", "R17.1"}) MakeKey(name);
    const std::vector<std::string> expected = {"A", "a1", "b", "c", "R17.1", "R18.0", "Zed", "中文"};
    EXPECT_EQ(SubkeyNames(registry(), base()), expected);
    std::string name;
    EXPECT_EQ(registry().SubkeyName(base(), 8, name), RegStatus::NoMoreItems);
}

TEST_P(RegistryBackendTest, SubkeyNamesOver255BytesGiveMoreData) {
    std::string chinese128;
    for (int i = 0; i < 128; ++i) chinese128 += "中";  // 256 bytes
    MakeKey(std::string(255, 'F'));
    MakeKey(chinese128);
    std::uint32_t count = 0;
    ASSERT_EQ(registry().CountSubkeys(base(), count), RegStatus::Ok);
    EXPECT_EQ(count, 2u);
    std::string name;
    EXPECT_EQ(registry().SubkeyName(base(), 0, name), RegStatus::Ok);
    EXPECT_EQ(name, std::string(255, 'F'));
    EXPECT_EQ(registry().SubkeyName(base(), 1, name), RegStatus::MoreData);
}

struct PathCase {
    const char* name;
    std::string path;
    RegStatus expected;
};

TEST_P(RegistryBackendTest, PathFormsOpenTheSameKey) {
    MakeKey("A\\B\\乗");  // 81 5C: a trail byte that is a backslash
    const std::vector<PathCase> cases = {
        {"plain", "A\\B", RegStatus::Ok},
        {"one_trailing_backslash", "A\\B\\", RegStatus::Ok},
        {"two_trailing_backslashes", "A\\B\\\\", RegStatus::Ok},
        {"double_backslash_between_levels", "A\\\\B", RegStatus::Ok},
        {"other_case", "a\\b", RegStatus::Ok},
        {"trail_byte_5c", "A\\B\\乗", RegStatus::Ok},
        {"trail_byte_5c_then_backslash", "A\\B\\乗\\", RegStatus::Ok},
        {"missing", "A\\C", RegStatus::NotFound},
        {"leading_backslash", "\\A", RegStatus::Failed},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegKey key(registry());
        EXPECT_EQ(registry().OpenForRead(base(), c.path, key.Receive()), c.expected);
        EXPECT_EQ(registry().OpenForWrite(base(), c.path, key.Receive()), c.expected);
        if (c.expected == RegStatus::NotFound) continue;
        EXPECT_EQ(registry().CreateKey(base(), c.path, key.Receive()), c.expected);
    }
    // Creating through those forms made no key of its own.
    EXPECT_EQ(SubkeyNames(registry(), base()), std::vector<std::string>{"A"});
}

TEST_P(RegistryBackendTest, EmptyPathGivesAHandleOfItsOwn) {
    ASSERT_EQ(registry().SetDword(base(), "v", 1), RegStatus::Ok);
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        RegHandle again = 0;
        RegStatus status = how == 0   ? registry().OpenForRead(base(), "", again)
                           : how == 1 ? registry().OpenForWrite(base(), "", again)
                                      : registry().CreateKey(base(), "", again);
        ASSERT_EQ(status, RegStatus::Ok);
        EXPECT_NE(again, base());
        registry().Close(again);
        // `base` is still open.
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        EXPECT_EQ(registry().QueryValue(base(), "v", type, nullptr, size), RegStatus::Ok);
    }
}

TEST_P(RegistryBackendTest, KeysOpenedForReadingTakeNoValues) {
    MakeKey("K");
    RegKey reader(registry());
    ASSERT_EQ(registry().OpenForRead(base(), "K", reader.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry().SetString(reader.Get(), "s", "x"), RegStatus::AccessDenied);
    EXPECT_EQ(registry().SetDword(reader.Get(), "d", 1), RegStatus::AccessDenied);
    RegKey writer(registry());
    ASSERT_EQ(registry().OpenForWrite(base(), "K", writer.Receive()), RegStatus::Ok);
    EXPECT_EQ(registry().SetString(writer.Get(), "s", "x"), RegStatus::Ok);
    // Subkeys can still be made through the read handle.
    RegKey child(registry());
    EXPECT_EQ(registry().CreateKey(reader.Get(), "Child", child.Receive()), RegStatus::Ok);
}

TEST_P(RegistryBackendTest, HandleOfADeletedKeyFailsButCloses) {
    RegKey gone(registry());
    ASSERT_EQ(registry().CreateKey(base(), "Gone", gone.Receive()), RegStatus::Ok);
    ASSERT_EQ(registry().SetDword(gone.Get(), "v", 1), RegStatus::Ok);
    ASSERT_EQ(registry().DeleteKey(base(), "Gone"), RegStatus::Ok);
    std::uint32_t count = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string name;
    RegKey other(registry());
    EXPECT_EQ(registry().CountSubkeys(gone.Get(), count), RegStatus::Failed);
    EXPECT_EQ(registry().SubkeyName(gone.Get(), 0, name), RegStatus::Failed);
    EXPECT_EQ(registry().QueryValue(gone.Get(), "v", type, nullptr, size), RegStatus::Failed);
    EXPECT_EQ(registry().SetDword(gone.Get(), "v", 2), RegStatus::Failed);
    EXPECT_EQ(registry().CreateKey(gone.Get(), "x", other.Receive()), RegStatus::Failed);
    gone.Reset();
}

TEST_P(RegistryBackendTest, RootHandleSurvivesClosing) {
    RegHandle again = 0;
    ASSERT_EQ(registry().OpenRoot(RegRoot::CurrentUser, again), RegStatus::Ok);
    EXPECT_EQ(again, root());
    registry().Close(again);
    RegHandle same = 0;
    ASSERT_EQ(registry().OpenForWrite(root(), "", same), RegStatus::Ok);
    EXPECT_EQ(same, root());
    registry().Close(same);
    RegKey key(registry());
    EXPECT_EQ(registry().OpenForRead(root(), testing::kScratchKey, key.Receive()), RegStatus::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Both, RegistryBackendTest,
    ::testing::Values(Backend{"Win32", [] { return std::unique_ptr<Registry>(new Win32Registry); }},
                      Backend{"Memory", [] { return std::unique_ptr<Registry>(new MemoryRegistry); }}),
    PrintBackend);

// --- The real registry alone ----------------------------------------------------

// Every key at and below `path` as the registry interface reads it: names in
// enumeration order, and the values that `names` lists for that key, with
// their types and bytes.
std::string Describe(Registry& registry, RegRoot rootKind, const std::string& path, const MemoryRegistry& names) {
    std::string out;
    RegHandle root = 0;
    registry.OpenRoot(rootKind, root);
    names.ForEachKey(rootKind, path, [&](const std::string& keyPath, const std::vector<RegValue>& values, bool) {
        out += keyPath + "\n";
        RegKey key(registry);
        const RegStatus opened = registry.OpenForRead(root, keyPath, key.Receive());
        if (opened != RegStatus::Ok) {
            out += "  <cannot open>\n";
            return;
        }
        for (const std::string& subkey : SubkeyNames(registry, key.Get())) out += "  key " + subkey + "\n";
        for (const RegValue& value : values) {
            std::uint32_t type = 0;
            const std::string data = ReadValue(registry, key.Get(), value.name, type);
            char hex[4];
            out += "  \"" + value.name + "\" type " + std::to_string(type) + ":";
            for (unsigned char byte : data) {
                std::snprintf(hex, sizeof hex, " %02x", byte);
                out += hex;
            }
            out += "\n";
        }
    });
    return out;
}

std::uint32_t ValueCount(Registry& registry, RegRoot rootKind, const std::string& path) {
    RegHandle root = 0;
    registry.OpenRoot(rootKind, root);
    RegKey key(registry);
    if (registry.OpenForRead(root, path, key.Receive()) != RegStatus::Ok) return 9999;
    DWORD values = 0;
    RegQueryInfoKeyA(reinterpret_cast<HKEY>(key.Get()), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &values, nullptr, nullptr, nullptr, nullptr);
    return values;
}

class Win32RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { testing::WipeTestKeys(); }
    Win32Registry win32;
};

TEST_F(Win32RegistryTest, FixtureReadsTheSameThroughRegeditAsThroughTheLoader) {
    MemoryRegistry memory;
    ASSERT_TRUE(testing::SeedFixture("registry_basics.reg", memory));
    struct Tree {
        RegRoot root;
        const char* path;
    };
    for (const Tree& tree : {Tree{RegRoot::CurrentUser, testing::kScratchKey},
                             Tree{RegRoot::LocalMachine, "SOFTWARE\\Autodesk"},
                             Tree{RegRoot::LocalMachine, "SOFTWARE\\Wow6432Node\\Autodesk"}}) {
        SCOPED_TRACE(tree.path);
        const std::string expected = Describe(memory, tree.root, tree.path, memory);
        EXPECT_NE(expected.find("\" type "), std::string::npos) << "no value compared";
        EXPECT_EQ(Describe(win32, tree.root, tree.path, memory), expected);
        memory.ForEachKey(tree.root, tree.path, [&](const std::string& keyPath, const std::vector<RegValue>& values,
                                                    bool) {
            EXPECT_EQ(ValueCount(win32, tree.root, keyPath), values.size()) << keyPath;
        });
    }
    // What the file removed is gone from both.
    RegHandle user = 0;
    win32.OpenRoot(RegRoot::CurrentUser, user);
    RegKey removed(win32);
    EXPECT_EQ(win32.OpenForRead(user, "SOFTWARE\\TavrinTest\\Removed", removed.Receive()), RegStatus::NotFound);
    EXPECT_FALSE(memory.KeyExists(RegRoot::CurrentUser, "SOFTWARE\\TavrinTest\\Removed"));
}

TEST_F(Win32RegistryTest, Wow6432NodeOpensByItsLiteralPath) {
    MemoryRegistry memory;
    ASSERT_TRUE(testing::SeedFixture("registry_basics.reg", memory));
    RegHandle machine = 0;
    ASSERT_EQ(win32.OpenRoot(RegRoot::LocalMachine, machine), RegStatus::Ok);
    RegKey node(win32);
    ASSERT_EQ(win32.OpenForRead(machine, "SOFTWARE\\Wow6432Node", node.Receive()), RegStatus::Ok);
    RegKey product(win32);
    ASSERT_EQ(win32.OpenForRead(node.Get(), "Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\", product.Receive()),
              RegStatus::Ok);
    std::uint32_t type = 0;
    EXPECT_EQ(ReadValue(win32, product.Get(), "AcadLocation", type),
              std::string("C:\\Program Files (x86)\\AutoCAD 2008") + '\0');
    // The 32-bit view's key is not seen in the native view.
    RegKey native(win32);
    EXPECT_EQ(win32.OpenForRead(machine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1", native.Receive()),
              RegStatus::NotFound);
}

TEST_F(Win32RegistryTest, ImportOfAMissingFileFails) {
    EXPECT_FALSE(testing::ImportRegFile(testing::FixturePath("no_such_file.reg")));
}

}  // namespace
}  // namespace tavrin

#include "wine_registry.h"

#include <windows.h>

#include <vector>

#include "reg_file.h"

namespace tavrin {
namespace testing {

namespace {

struct TestKey {
    HKEY root;
    const char* rootName;
    const char* path;
};

const TestKey kTestKeys[] = {
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Autodesk"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Wow6432Node\\Autodesk"},
    {HKEY_CURRENT_USER, "HKCU", "SOFTWARE\\Autodesk"},
    {HKEY_CURRENT_USER, "HKCU", kScratchKey},
};

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

::testing::AssertionResult WipeTestKeys() {
    for (const TestKey& key : kTestKeys) {
        RegDeleteTreeA(key.root, key.path);
        if (KeyExists(key.root, key.path)) {
            return ::testing::AssertionFailure() << key.rootName << "\\" << key.path << " could not be removed";
        }
    }
    return ::testing::AssertionSuccess();
}

std::string FixturePath(const std::string& name) { return "fixtures\\" + name; }

::testing::AssertionResult ImportRegFile(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return ::testing::AssertionFailure() << "bad path " << path;
    if (GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES) {
        return ::testing::AssertionFailure() << "no file " << full;
    }
    std::string command = "regedit.exe /S \"" + std::string(full) + "\"";
    std::vector<char> commandLine(command.begin(), command.end());
    commandLine.push_back('\0');  // CreateProcessA may write into the command line

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return ::testing::AssertionFailure() << "cannot start regedit, error " << GetLastError();
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0) return ::testing::AssertionFailure() << "regedit did not end";
    if (exitCode != 0) return ::testing::AssertionFailure() << "regedit ended with " << exitCode << " on " << full;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SeedFixture(const std::string& name, MemoryRegistry& memory) {
    ::testing::AssertionResult wiped = WipeTestKeys();
    if (!wiped) return wiped;
    RegFileError error;
    if (!LoadRegFile(FixturePath(name), memory, error)) {
        return ::testing::AssertionFailure() << name << ": " << error.Text();
    }
    return ImportRegFile(FixturePath(name));
}

}  // namespace testing
}  // namespace tavrin

#include "install_machine.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>

namespace tavrin::gui {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

// Creates `folder` and every missing folder on its way.
bool MakeFolders(const std::string& folder) {
    if (folder.empty() || Exists(folder)) return true;
    const size_t slash = folder.find_last_of('\\');
    if (slash != std::string::npos && slash > 2 && !MakeFolders(folder.substr(0, slash))) return false;
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void ReadTreeInto(const std::string& folder, const std::string& relative, FileTree& tree) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[path + "\\"] = "";
            ReadTreeInto(folder + "\\" + name, path, tree);
        } else {
            bool found = false;
            tree[path] = ReadWholeFile(folder + "\\" + name, found);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

struct RootKey {
    HKEY root;
    const char* name;
    const char* path;
};

const RootKey kAutodeskKeys[] = {
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Autodesk"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Wow6432Node\\Autodesk"},
    {HKEY_CURRENT_USER, "HKCU", "SOFTWARE\\Autodesk"},
};

void ReadKeyInto(HKEY parent, const std::string& subkey, const std::string& name, RegistryState& state) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    state[name] = RegEntry{};
    for (DWORD i = 0;; ++i) {
        char valueName[16384];
        DWORD nameLength = sizeof(valueName);
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, i, valueName, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::string data(size, '\0');
        nameLength = sizeof(valueName);
        RegEnumValueA(key, i, valueName, &nameLength, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(size);
        state[ValueName(name, valueName)] = RegEntry{type, data};
    }
    for (DWORD i = 0;; ++i) {
        char child[256];
        DWORD length = sizeof(child);
        if (RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ReadKeyInto(key, child, name + "\\" + child, state);
    }
    RegCloseKey(key);
}

std::string DescribeEntry(const RegEntry& entry) {
    if (entry.type == kKeyEntry) return "(key)";
    if (entry.type == REG_SZ) {
        const bool terminated = !entry.data.empty() && entry.data.back() == '\0';
        const std::string text = terminated ? entry.data.substr(0, entry.data.size() - 1) : entry.data;
        return "REG_SZ \"" + AnsiToUtf8(text) + "\"" + (terminated ? "" : " (no terminating zero)") + ", " +
               std::to_string(entry.data.size()) + " bytes";
    }
    if (entry.type == REG_DWORD && entry.data.size() == 4) {
        DWORD number = 0;
        entry.data.copy(reinterpret_cast<char*>(&number), 4);
        return "REG_DWORD " + std::to_string(number);
    }
    return "type " + std::to_string(entry.type) + ", " + std::to_string(entry.data.size()) + " bytes";
}

}  // namespace

ScratchFolders::ScratchFolders(std::vector<std::string> folders) : folders_(std::move(folders)) {
    Clear();
}

ScratchFolders::~ScratchFolders() {
    Clear();
}

void ScratchFolders::Clear() const {
    for (const std::string& folder : folders_) RemoveTree(folder);
}

AssertionResult MakeFiles(const std::string& folder, const std::vector<FileSpec>& files) {
    for (const FileSpec& file : files) {
        const std::string path = folder + "\\" + file.path;
        if (!file.path.empty() && file.path.back() == '\\') {
            if (!MakeFolders(path.substr(0, path.size() - 1))) {
                return AssertionFailure() << "could not create the folder " << AnsiToUtf8(path);
            }
            continue;
        }
        const size_t slash = path.find_last_of('\\');
        if (!MakeFolders(path.substr(0, slash))) {
            return AssertionFailure() << "could not create the folder of " << AnsiToUtf8(path);
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << file.content;
        if (!out) return AssertionFailure() << "could not write " << AnsiToUtf8(path);
    }
    return AssertionSuccess();
}

FileTree ReadTree(const std::string& folder) {
    FileTree tree;
    ReadTreeInto(folder, "", tree);
    return tree;
}

std::string ReadWholeFile(const std::string& path, bool& found) {
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    if (!found) return {};
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Describe(const FileTree& tree) {
    if (tree.empty()) return "  (nothing)\n";
    std::string text;
    for (const auto& [path, content] : tree) {
        text += "  " + AnsiToUtf8(path);
        if (path.back() != '\\') text += " = \"" + AnsiToUtf8(content) + "\"";
        text += "\n";
    }
    return text;
}

std::string UserConfigFolderPath() {
    char appData[MAX_PATH] = "";
    GetEnvironmentVariableA("APPDATA", appData, sizeof(appData));
    return std::string(appData) + "\\Tavrin";
}

std::string TempFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    std::string path = temp;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

AssertionResult LockedFile::Lock(const std::string& path, const std::string& content) {
    handle_.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle_.IsOpen()) {
        return AssertionFailure() << "could not open " << AnsiToUtf8(path) << ", error " << GetLastError();
    }
    DWORD written = 0;
    if (!WriteFile(handle_.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size()) {
        return AssertionFailure() << "could not write " << AnsiToUtf8(path);
    }
    return AssertionSuccess();
}

RegistryState ReadAutodeskKeys() {
    RegistryState state;
    for (const RootKey& key : kAutodeskKeys) {
        ReadKeyInto(key.root, key.path, std::string(key.name) + "\\" + key.path, state);
    }
    return state;
}

RegEntry TextValue(const std::string& text) {
    return RegEntry{REG_SZ, text + std::string(1, '\0')};
}

RegEntry NumberValue(DWORD number) {
    return RegEntry{REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof(number))};
}

std::string ValueName(const std::string& keyPath, const std::string& name) {
    return keyPath + " :: " + name;
}

AssertionResult SameRegistry(const RegistryState& expected, const RegistryState& actual) {
    std::string differences;
    for (const auto& [name, entry] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end()) {
            differences += "  missing: " + AnsiToUtf8(name) + " = " + DescribeEntry(entry) + "\n";
        } else if (!(found->second == entry)) {
            differences += "  " + AnsiToUtf8(name) + " is " + DescribeEntry(found->second) + ", expected " +
                           DescribeEntry(entry) + "\n";
        }
    }
    for (const auto& [name, entry] : actual) {
        if (expected.count(name) == 0) {
            differences += "  unexpected: " + AnsiToUtf8(name) + " = " + DescribeEntry(entry) + "\n";
        }
    }
    if (differences.empty()) return AssertionSuccess();
    return AssertionFailure() << "the registry differs:\n" << differences;
}

}  // namespace tavrin::gui

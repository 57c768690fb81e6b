// The machine around an install run, as the GUI tests lay it out and read it
// back: files and folders in the Wine drive, the user's configuration folder,
// and the registry keys the wizard reads and writes.
//
// Paths and texts are narrow, code page 936, as the program under test sees
// them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "scratch_files.h"
#include "ui_automation.h"

namespace tavrin::gui {

// --- Files -------------------------------------------------------------------

// A file or folder to lay out below some folder: `path` is relative and
// "\"-separated; a path ending in "\" is a folder (its content is unused).
struct FileSpec {
    std::string path;
    std::string content;
};

using testing::RemoveTree;

// Folders a test writes into: removed with everything in them on
// construction (a leftover of an earlier run) and at scope end.
class ScratchFolders {
public:
    explicit ScratchFolders(std::vector<std::string> folders);
    ~ScratchFolders();
    ScratchFolders(const ScratchFolders&) = delete;
    ScratchFolders& operator=(const ScratchFolders&) = delete;

private:
    void Clear() const;
    std::vector<std::string> folders_;
};

// Creates every file and folder of `files` below `folder`, with the folders
// on their way.
::testing::AssertionResult MakeFiles(const std::string& folder, const std::vector<FileSpec>& files);

// Every file and folder below `folder`: relative path to content, a folder
// with "\" at the end of its path and no content. Empty when `folder` does
// not exist.
using FileTree = std::map<std::string, std::string>;
FileTree ReadTree(const std::string& folder);

// The content of a file; `found` tells whether it could be read.
std::string ReadWholeFile(const std::string& path, bool& found);
bool Exists(const std::string& path);

// A tree for messages: one "path = content" line per entry, in UTF-8.
std::string Describe(const FileTree& tree);

// "%APPDATA%\Tavrin", where the payload copy puts the configuration files.
std::string UserConfigFolderPath();

// The Wine temp folder, without its trailing "\".
std::string TempFolder();

// A file held open for reading and writing with no sharing, as a running
// AutoCAD holds its files: copies onto it fail until it is released.
class LockedFile {
public:
    LockedFile() = default;
    // Creates (or replaces) `path` with `content` and keeps it open.
    ::testing::AssertionResult Lock(const std::string& path, const std::string& content);
    void Release() { handle_.Reset(); }
    bool IsLocked() const { return handle_.IsOpen(); }

private:
    OwnedHandle handle_;
};

// --- Registry ----------------------------------------------------------------

// One entry of the registry: a key (type kKeyEntry, no data) or a value with
// its type and its data bytes as stored (a REG_SZ with its terminating zero).
constexpr DWORD kKeyEntry = 0xFFFFFFFF;
struct RegEntry {
    DWORD type = kKeyEntry;
    std::string data;
    bool operator==(const RegEntry& other) const { return type == other.type && data == other.data; }
};

// Keys as "HKLM\path" and values as "HKLM\path :: name".
using RegistryState = std::map<std::string, RegEntry>;

// Every key and value below the keys the wizard touches: HKLM\SOFTWARE\Autodesk,
// HKLM\SOFTWARE\Wow6432Node\Autodesk and HKCU\SOFTWARE\Autodesk.
RegistryState ReadAutodeskKeys();

RegEntry TextValue(const std::string& text);  // REG_SZ, with its terminating zero
RegEntry NumberValue(DWORD number);           // REG_DWORD, 4 bytes
std::string ValueName(const std::string& keyPath, const std::string& name);

// Passes when `actual` equals `expected`; otherwise lists every entry that
// is missing, unexpected or different, in UTF-8.
::testing::AssertionResult SameRegistry(const RegistryState& expected, const RegistryState& actual);

}  // namespace tavrin::gui

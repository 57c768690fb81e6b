// The registry as the engine sees it: the few ADVAPI32 operations that
// detection, demand-load registration and trusted locations use, behind an
// interface so the same logic runs on Windows and against an in-memory
// registry in the native tests.
//
// Texts are narrow, code page 936. Key paths are relative to the key they are
// opened from and use "\" between levels. Sizes count bytes.
#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

// Result codes carry the values of the Win32 error codes they stand for, so a
// backend over ADVAPI32 can pass them through unchanged.
enum class RegStatus : long {
    Ok = 0,              // ERROR_SUCCESS
    NotFound = 2,        // ERROR_FILE_NOT_FOUND
    AccessDenied = 5,    // ERROR_ACCESS_DENIED
    InvalidParameter = 87,
    MoreData = 234,      // ERROR_MORE_DATA: the value does not fit the buffer
    NoMoreItems = 259,   // ERROR_NO_MORE_ITEMS
    Failed = 1          // any other failure
};

// Registry value types, with their Win32 numbers.
enum RegType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11
};

enum class RegRoot { LocalMachine, CurrentUser };

// An open key of some backend; 0 is "no key". Wrap it in RegKey.
using RegHandle = std::uintptr_t;

// A subkey name holds at most this many characters (RegEnumKeyExA's limit).
constexpr std::size_t kMaxKeyNameChars = 255;

class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyA on the root with no subkey.
    virtual RegStatus OpenRoot(RegRoot root, RegHandle& out) = 0;
    // RegOpenKeyExA with KEY_READ. An empty path opens `parent` again.
    virtual RegStatus OpenForRead(RegHandle parent, const std::string& path, RegHandle& out) = 0;
    // RegOpenKeyA: opens an existing key for reading and writing. One
    // trailing backslash in `path` names the same key as without it.
    virtual RegStatus OpenForWrite(RegHandle parent, const std::string& path, RegHandle& out) = 0;
    // RegCreateKeyA: opens the key, creating every missing level.
    virtual RegStatus CreateKey(RegHandle parent, const std::string& path, RegHandle& out) = 0;
    // RegQueryInfoKeyA, subkey count only.
    virtual RegStatus CountSubkeys(RegHandle key, std::uint32_t& count) = 0;
    // RegEnumKeyExA: the name of subkey `index` (at most 255 characters).
    virtual RegStatus SubkeyName(RegHandle key, std::uint32_t index, std::string& name) = 0;
    // RegQueryValueExA. `size` is the buffer's size in bytes on entry and the
    // size of the data in bytes on return. When the data does not fit, the
    // result is MoreData and the buffer's content is undefined. `buffer` may
    // be null to ask for the size alone.
    virtual RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t& type,
                                 unsigned char* buffer, std::uint32_t& size) = 0;
    // RegSetValueExA with REG_SZ: the data is `text` with its terminating zero.
    virtual RegStatus SetString(RegHandle key, const std::string& name, const std::string& text) = 0;
    // RegSetValueExA with REG_DWORD, 4 bytes.
    virtual RegStatus SetDword(RegHandle key, const std::string& name, std::uint32_t value) = 0;
    // RegDeleteKeyA: fails when the key has subkeys of its own.
    virtual RegStatus DeleteKey(RegHandle parent, const std::string& path) = 0;
    // RegCloseKey.
    virtual void Close(RegHandle key) = 0;
};

// Owns one open key and closes it when it goes out of scope.
class RegKey {
public:
    explicit RegKey(Registry& registry) : registry_(&registry) {}
    ~RegKey() { Reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : registry_(other.registry_), handle_(other.handle_) { other.handle_ = 0; }

    bool IsOpen() const { return handle_ != 0; }
    RegHandle Get() const { return handle_; }
    // The slot an Open/Create call fills; whatever was open is closed first.
    RegHandle& Receive() { Reset(); return handle_; }
    void Reset() {
        if (handle_ != 0) registry_->Close(handle_);
        handle_ = 0;
    }

private:
    Registry* registry_;
    RegHandle handle_ = 0;
};

}  // namespace tavrin

#include "win32_registry.h"

#include <windows.h>

namespace tavrin {

namespace {

HKEY ToHkey(RegHandle handle) { return reinterpret_cast<HKEY>(handle); }
RegHandle ToHandle(HKEY key) { return reinterpret_cast<RegHandle>(key); }

bool IsPredefined(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS ||
           key == HKEY_PERFORMANCE_DATA || key == HKEY_CURRENT_CONFIG || key == HKEY_DYN_DATA;
}

// The Win32 codes that RegStatus names pass through; any other is Failed
// (ERROR_KEY_DELETED, ERROR_INVALID_HANDLE, ERROR_BAD_PATHNAME, ...).
RegStatus ToStatus(LONG code) {
    switch (code) {
    case ERROR_SUCCESS: return RegStatus::Ok;
    case ERROR_FILE_NOT_FOUND: return RegStatus::NotFound;
    case ERROR_ACCESS_DENIED: return RegStatus::AccessDenied;
    case ERROR_INVALID_PARAMETER: return RegStatus::InvalidParameter;
    case ERROR_MORE_DATA: return RegStatus::MoreData;
    case ERROR_NO_MORE_ITEMS: return RegStatus::NoMoreItems;
    default: return RegStatus::Failed;
    }
}

// RegOpenKeyA and RegCreateKeyA may hand back the key they were given;
// callers close every handle they receive, so that one gets a handle of its
// own. The predefined roots are never closed and need none.
RegStatus OwnHandle(HKEY parent, HKEY& key) {
    if (key != parent || IsPredefined(key)) return RegStatus::Ok;
    key = nullptr;
    return ToStatus(RegOpenKeyExA(parent, nullptr, 0, MAXIMUM_ALLOWED, &key));
}

}  // namespace

RegStatus Win32Registry::OpenRoot(RegRoot root, RegHandle& out) {
    HKEY key = nullptr;
    const LONG code = RegOpenKeyA(root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, nullptr, &key);
    out = code == ERROR_SUCCESS ? ToHandle(key) : 0;
    return ToStatus(code);
}

RegStatus Win32Registry::OpenForRead(RegHandle parent, const std::string& path, RegHandle& out) {
    HKEY key = nullptr;
    const LONG code = RegOpenKeyExA(ToHkey(parent), path.c_str(), 0, KEY_READ, &key);
    out = code == ERROR_SUCCESS ? ToHandle(key) : 0;
    return ToStatus(code);
}

RegStatus Win32Registry::OpenForWrite(RegHandle parent, const std::string& path, RegHandle& out) {
    out = 0;
    HKEY key = nullptr;
    const LONG code = RegOpenKeyA(ToHkey(parent), path.c_str(), &key);
    if (code != ERROR_SUCCESS) return ToStatus(code);
    const RegStatus status = OwnHandle(ToHkey(parent), key);
    if (status == RegStatus::Ok) out = ToHandle(key);
    return status;
}

RegStatus Win32Registry::CreateKey(RegHandle parent, const std::string& path, RegHandle& out) {
    out = 0;
    HKEY key = nullptr;
    const LONG code = RegCreateKeyA(ToHkey(parent), path.c_str(), &key);
    if (code != ERROR_SUCCESS) return ToStatus(code);
    const RegStatus status = OwnHandle(ToHkey(parent), key);
    if (status == RegStatus::Ok) out = ToHandle(key);
    return status;
}

RegStatus Win32Registry::CountSubkeys(RegHandle key, std::uint32_t& count) {
    DWORD subkeys = 0;
    const LONG code = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
    if (code == ERROR_SUCCESS) count = subkeys;
    return ToStatus(code);
}

RegStatus Win32Registry::SubkeyName(RegHandle key, std::uint32_t index, std::string& name) {
    char buffer[kMaxKeyNameChars + 1] = "";
    DWORD length = sizeof buffer;  // characters, here bytes
    const LONG code = RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (code == ERROR_SUCCESS) name.assign(buffer, length);
    return ToStatus(code);
}

RegStatus Win32Registry::QueryValue(RegHandle key, const std::string& name, std::uint32_t& type,
                                    unsigned char* buffer, std::uint32_t& size) {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG code = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, buffer, &valueSize);
    if (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
        type = valueType;
        size = valueSize;
    }
    return ToStatus(code);
}

RegStatus Win32Registry::SetString(RegHandle key, const std::string& name, const std::string& text) {
    const auto size = static_cast<DWORD>(text.size() + 1);
    return ToStatus(RegSetValueExA(ToHkey(key), name.c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()), size));
}

RegStatus Win32Registry::SetDword(RegHandle key, const std::string& name, std::uint32_t value) {
    BYTE data[4];
    for (int i = 0; i < 4; ++i) data[i] = static_cast<BYTE>((value >> (8 * i)) & 0xFF);
    return ToStatus(RegSetValueExA(ToHkey(key), name.c_str(), 0, REG_DWORD, data, sizeof data));
}

RegStatus Win32Registry::DeleteKey(RegHandle parent, const std::string& path) {
    return ToStatus(RegDeleteKeyA(ToHkey(parent), path.c_str()));
}

void Win32Registry::Close(RegHandle key) {
    if (key == 0 || IsPredefined(ToHkey(key))) return;
    RegCloseKey(ToHkey(key));
}

}  // namespace tavrin

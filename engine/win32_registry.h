// The registry interface over ADVAPI32's narrow (code page 936) functions,
// with literal paths and no registry-view flags. A RegHandle is the HKEY
// itself; OpenRoot gives the predefined root handle, which Close leaves open.
#pragma once

#include "registry.h"

namespace tavrin {

class Win32Registry : public Registry {
public:
    // RegOpenKeyA on HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER with no subkey.
    RegStatus OpenRoot(RegRoot root, RegHandle& out) override;
    // RegOpenKeyExA with KEY_READ.
    RegStatus OpenForRead(RegHandle parent, const std::string& path, RegHandle& out) override;
    // RegOpenKeyA. For an empty path RegOpenKeyA hands back `parent` itself;
    // a second handle of its own is opened then, so that each handle is
    // closed once.
    RegStatus OpenForWrite(RegHandle parent, const std::string& path, RegHandle& out) override;
    // RegCreateKeyA.
    RegStatus CreateKey(RegHandle parent, const std::string& path, RegHandle& out) override;
    // RegQueryInfoKeyA, asking for the subkey count only.
    RegStatus CountSubkeys(RegHandle key, std::uint32_t& count) override;
    // RegEnumKeyExA into a buffer of 256 characters.
    RegStatus SubkeyName(RegHandle key, std::uint32_t index, std::string& name) override;
    // RegQueryValueExA.
    RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, unsigned char* buffer,
                         std::uint32_t& size) override;
    // RegSetValueExA with REG_SZ and the text's length plus one byte.
    RegStatus SetString(RegHandle key, const std::string& name, const std::string& text) override;
    // RegSetValueExA with REG_DWORD and 4 little-endian bytes.
    RegStatus SetDword(RegHandle key, const std::string& name, std::uint32_t value) override;
    // RegDeleteKeyA.
    RegStatus DeleteKey(RegHandle parent, const std::string& path) override;
    // RegCloseKey, except for the predefined root handles.
    void Close(RegHandle key) override;
};

}  // namespace tavrin

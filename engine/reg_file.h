// REGEDIT4 files for the tests: the same .reg text seeds the in-memory
// registry natively and Wine's registry through regedit.
//
// The text is in code page 936, as regedit reads a REGEDIT4 file under a
// Chinese system. Accepted, line by line (CRLF or LF):
//   REGEDIT4                         first line
//   ; comment                        and blank lines
//   [HKEY_LOCAL_MACHINE\A\B]         the key values go into, created with its
//   [HKEY_CURRENT_USER\A]            missing levels (HKLM and HKCU also do)
//   [-HKEY_CURRENT_USER\A]           removes the key with everything below it
//   "name"="text"                    REG_SZ, the text and a zero; \\ and \"
//   @="text"                         the key's default value
//   "name"=dword:0000002a            REG_DWORD, 1 to 8 hex digits
//   "name"=hex:01,ff                 REG_BINARY
//   "name"=hex(7):61,00,00           any type N, its data bytes as they stand
//   "name"=-                         removes the value
// Hex data continues on the next line after a comma followed by "\".
#pragma once

#include <string>

#include "memory_registry.h"

namespace tavrin {

struct RegFileError {
    int line = 0;  // 1-based; 0 when the file itself could not be read
    std::string reason;

    // "line 12: <reason>", or the reason alone for line 0.
    std::string Text() const;
};

// Applies the text to `registry`, line by line. On malformed input returns
// false with `error` set; the lines before the bad one have been applied.
// A section naming a key marked unopenable fails: mark keys after loading.
bool LoadRegText(const std::string& text, MemoryRegistry& registry, RegFileError& error);

// Reads the file's bytes and applies them as LoadRegText does.
bool LoadRegFile(const std::string& path, MemoryRegistry& registry, RegFileError& error);

// The key at `path` below `root` and everything beneath it as REGEDIT4 text
// (CRLF lines) that LoadRegText and regedit read back to the same keys and
// values. Keys marked unopenable are written as ordinary keys.
std::string ExportRegText(const MemoryRegistry& registry, RegRoot root, const std::string& path);

}  // namespace tavrin

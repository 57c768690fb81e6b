// The folder picker's rules for a typed or selected path: what a well-formed
// drive-letter path is, the creation of a missing folder level by level, and
// the questions and messages around the picker's OK. Plain C++ over the
// FileSystem interface, so the rules run without windows in the native tests.
//
// Paths are narrow texts in code page 936, walked character by character: a
// lead byte 0x81..0xFE takes the next byte with it, so the trail byte of a
// double-byte character is never taken for "\" or "|". Sizes count bytes.
#pragma once

#include <string>

#include "constants.h"
#include "file_system.h"

namespace tavrin {

enum class PathMode { CheckOnly, Create };

// Results of ValidateOrCreatePath and ConfirmChosenPath.
constexpr int kPathGood = 0;
constexpr int kPathMalformed = 1;
constexpr int kPathCannotCreate = 2;
constexpr int kPathDeclined = -1;  // ConfirmChosenPath only: No to the question

// The longest path the picker handles: 259 bytes, room for the terminating
// zero in a 260-byte buffer.
constexpr std::size_t kMaxChosenPathBytes = kMaxPathBytes - 1;

// One folder name between two "\": not empty, no tab, space or "." first or
// last, none of " * / : < > ? \ | as a character of its own. Double-byte
// characters are always allowed.
bool IsValidPathPart(const std::string& part);

// A path "X:\" followed by valid parts separated by single "\", with no
// trailing "\" after a part and at most kMaxChosenPathBytes bytes.
// CheckOnly touches the file system for nothing; Create checks the whole path
// first, then creates every missing level from the root down and stops at the
// first level under which nothing exists afterwards (the levels created
// before it stay). A drive root alone: CheckOnly 0; Create 0 when the root
// exists, else 2.
// Returns kPathGood, kPathMalformed or kPathCannotCreate.
int ValidateOrCreatePath(FileSystem& fs, const std::string& path, PathMode mode);

// The three message boxes of the picker's OK. The texts are complete (the
// path already put in); the caption is the implementer's.
class PathPrompt {
public:
    virtual ~PathPrompt() = default;
    // Yes and No buttons with a question icon; true only for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // OK button with an exclamation icon.
    virtual void ShowWarning(const std::string& text) = 0;
};

// The text of a picker message: `format` holds one "%s", which the path
// replaces.
std::string FormatPathMessage(const char* format, const std::string& path);

// The test of the picker's OK: a malformed path gets the "is invalid"
// message; an existing folder or file is accepted; a missing one is created
// after the user agrees, or gets the "can not be created" message.
// Returns kPathGood, kPathDeclined, kPathMalformed or kPathCannotCreate.
int ConfirmChosenPath(FileSystem& fs, PathPrompt& prompt, const std::string& path);

// `text` cut to at most `maxBytes` bytes without splitting a double-byte
// character.
std::string CutToBytes(const std::string& text, std::size_t maxBytes);

}  // namespace tavrin

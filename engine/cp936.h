// Text rules of code page 936 (GBK): a byte 0x81..0xFE leads a double-byte
// character and takes the next byte with it, whatever that byte is, so a
// trail byte is never read as "\", "|" or a letter. Sizes and offsets count
// bytes.
#pragma once

#include <cstddef>
#include <string>

namespace tavrin {
namespace cp936 {

inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Bytes taken by the character that starts at `offset` (1 or 2; a lead byte
// at the very end of the text counts as one).
std::size_t CharLength(const std::string& text, std::size_t offset);

// Equal without regard to the case of single-byte letters; double-byte
// characters must match exactly (_mbsicmp under code page 936).
bool EqualsNoCase(const std::string& a, const std::string& b);

// Offset of the last "\" that is a character of its own, or npos.
std::size_t FindLastBackslash(const std::string& text);

// True when the text's last character is a "\" of its own (not the trail
// byte of a double-byte character).
bool EndsWithBackslash(const std::string& text);

// Removes one trailing "\" (a character of its own), if there is one.
void RemoveTrailingBackslash(std::string& text);

// Calls fn(offset, length in bytes) for each character, in order.
template <typename Fn>
void ForEachChar(const std::string& text, Fn fn) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        fn(i, n);
        i += n;
    }
}

}  // namespace cp936
}  // namespace tavrin

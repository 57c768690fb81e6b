#include "cp936.h"

namespace tavrin {
namespace cp936 {

std::size_t CharLength(const std::string& text, std::size_t offset) {
    if (IsLeadByte(static_cast<unsigned char>(text[offset])) && offset + 1 < text.size()) return 2;
    return 1;
}

namespace {
unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c; }
}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = CharLength(a, i);
        if (n != CharLength(b, i)) return false;
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += n;
    }
    return true;
}

std::size_t FindLastBackslash(const std::string& text) {
    std::size_t found = std::string::npos;
    ForEachChar(text, [&](std::size_t i, std::size_t n) {
        if (n == 1 && text[i] == '\\') found = i;
    });
    return found;
}

bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && FindLastBackslash(text) == text.size() - 1;
}

void RemoveTrailingBackslash(std::string& text) {
    if (EndsWithBackslash(text)) text.pop_back();
}

}  // namespace cp936
}  // namespace tavrin

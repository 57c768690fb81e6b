#include "cp936.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

// "表" in code page 936 is B1 ED; "\x95\x5C" and "\x95\x7C" are double-byte
// characters whose trail bytes are "\" and "|".
const std::string kTrailBackslash = "\x95\x5C";

TEST(Cp936, EqualsNoCase) {
    struct Case {
        const char* name;
        std::string a, b;
        bool equal;
    };
    const Case cases[] = {
        {"ascii_case_folded", "SetUp.EXE", "setup.exe", true},
        {"different_length", "SetUp.EXE", "SetUp.EX", false},
        {"double_byte_exact", "批打印A", "批打印a", true},
        {"double_byte_differs", "批打印", "批打卬", false},
        // 0xC1 0x61 is one character; folding its trail byte would wrongly
        // make it equal to 0xC1 0x41.
        {"trail_byte_not_folded", "\xC1\x61", "\xC1\x41", false},
    };
    for (const Case& c : cases) EXPECT_EQ(cp936::EqualsNoCase(c.a, c.b), c.equal) << c.name;
}

TEST(Cp936, LastBackslashSkipsTrailBytes) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t expected;
    };
    const Case cases[] = {
        {"plain", "C:\\Setup\\SetUp.exe", 8},
        {"none", "SetUp.exe", std::string::npos},
        {"trail_byte_0x5c_is_no_separator", "C:\\A\\" + kTrailBackslash + "x.exe", 4},
        {"ends_in_trail_byte", "C:\\" + kTrailBackslash, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(cp936::FindLastBackslash(c.text), c.expected) << c.name;
}

TEST(Cp936, RemoveTrailingBackslash) {
    struct Case {
        const char* name;
        std::string text, expected;
    };
    const Case cases[] = {
        {"one_removed", "D:\\Tools\\", "D:\\Tools"},
        {"only_one_removed", "D:\\Tools\\\\", "D:\\Tools\\"},
        {"none", "D:\\Tools", "D:\\Tools"},
        {"trail_byte_kept", "D:\\" + kTrailBackslash, "D:\\" + kTrailBackslash},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        cp936::RemoveTrailingBackslash(text);
        EXPECT_EQ(text, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace tavrin

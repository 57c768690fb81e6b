// The REGEDIT4 loader and writer. Narrow literals are code page 936, as the
// fixture files are after the build converts them: "乗" is 81 5C (its trail
// byte is a "\") and "乚" is 81 5D (its trail byte is a "]").
#include "reg_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavrin {
namespace {

// Both roots of a registry, for comparing whole results.
std::string DumpAll(const MemoryRegistry& registry) {
    return "[LM]\n" + registry.Dump(RegRoot::LocalMachine) + "[CU]\n" + registry.Dump(RegRoot::CurrentUser);
}

struct LoadCase {
    const char* name;
    std::string text;
    std::string expected;  // DumpAll afterwards
};

TEST(RegFileTest, LoadsEveryFormOfKeyAndValue) {
    const std::vector<LoadCase> cases = {
        {"strings_escapes_and_default",
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"C:\\\\Dir\\\\\"\n\"b\"=\"say \\\"hi\\\"\"\n@=\"默认\"\n\"e\"=\"\"\n",
         "[LM]\n[CU]\nK\n  \"a\"=sz:C:\\Dir\\\n  \"b\"=sz:say \"hi\"\n  @=sz:默认\n  \"e\"=sz:\n"},
        {"crlf_line_ends",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"a\"=\"x\"\r\n",
         "[LM]\nK\n  \"a\"=sz:x\n[CU]\n"},
        {"no_final_line_end_and_blanks_after_header",
         "REGEDIT4  \n[HKEY_LOCAL_MACHINE\\K]\n\"a\"=\"x\"",
         "[LM]\nK\n  \"a\"=sz:x\n[CU]\n"},
        {"dword_forms",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"d1\"=dword:0000002a\n\"d2\"=dword:FFFFFFFF\n\"d3\"=dword:7\n",
         "[LM]\n[CU]\nK\n  \"d1\"=dword:42\n  \"d2\"=dword:4294967295\n  \"d3\"=dword:7\n"},
        {"hex_of_any_type",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"bin\"=hex:00,7f,80,FF\n\"exp\"=hex(2):25,41,25,00\n"
         "\"multi\"=hex(7):61,00,d6,d0,00,00\n\"quad\"=hex(b):01,02,03,04,05,06,07,08\n\"none\"=hex(0):\n"
         "\"odd\"=hex(12345678):1,a\n",
         "[LM]\n[CU]\nK\n  \"bin\"=hex(3):00,7f,80,ff\n  \"exp\"=expand_sz:%A%\n  \"multi\"=hex(7):61,00,d6,d0,00,00\n"
         "  \"quad\"=hex(b):01,02,03,04,05,06,07,08\n  \"none\"=hex(0):\n  \"odd\"=hex(12345678):01,0a\n"},
        {"hex_continued_over_lines",
         "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n\"h\"=hex:01,02,\\\r\n  03,04,\\\r\n\t05\r\n\"after\"=dword:1\r\n",
         "[LM]\n[CU]\nK\n  \"h\"=hex(3):01,02,03,04,05\n  \"after\"=dword:1\n"},
        {"hex_trailing_comma_and_blanks",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"h\"=hex: 01 , 02,\n",
         "[LM]\n[CU]\nK\n  \"h\"=hex(3):01,02\n"},
        {"comments_and_blank_lines",
         "REGEDIT4\n; a comment\n   ; indented\n\n \t \n[HKEY_CURRENT_USER\\K]\n; between values\n\"a\"=\"x\"\n",
         "[LM]\n[CU]\nK\n  \"a\"=sz:x\n"},
        {"short_root_names_any_case",
         "REGEDIT4\n[HKLM\\A]\n[hkcu\\B]\n[hkey_local_machine\\C]\n",
         "[LM]\nA\nC\n[CU]\nB\n"},
        {"root_alone_and_trailing_backslash",
         "REGEDIT4\n[HKEY_CURRENT_USER]\n@=\"r\"\n[HKEY_CURRENT_USER\\K\\]\n\"a\"=\"x\"\n",
         "[LM]\n[CU]\n\\\n  @=sz:r\nK\n  \"a\"=sz:x\n"},
        {"value_removed_and_missing_value_removal_ignored",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"x\"\n\"b\"=\"y\"\n\"A\"=-\n\"none\"=-\n",
         "[LM]\n[CU]\nK\n  \"b\"=sz:y\n"},
        {"key_removed_with_everything_below",
         "REGEDIT4\n[HKEY_CURRENT_USER\\A\\B]\n\"v\"=\"1\"\n[HKEY_CURRENT_USER\\A\\C]\n[HKEY_CURRENT_USER\\Keep]\n"
         "[-HKEY_CURRENT_USER\\a]\n[-HKEY_CURRENT_USER\\Missing\\Too]\n",
         "[LM]\n[CU]\nKeep\n"},
        {"sections_merge_and_later_value_wins",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"1\"\n[HKEY_CURRENT_USER\\k]\n\"A\"=dword:2\n\"b\"=\"3\"\n",
         "[LM]\n[CU]\nK\n  \"a\"=dword:2\n  \"b\"=sz:3\n"},
        {"trail_byte_5c_is_no_separator_or_escape",
         "REGEDIT4\n[HKEY_CURRENT_USER\\乗\\表]\n\"乗\"=\"乗\"\n",
         "[LM]\n[CU]\n乗\n乗\\表\n  \"乗\"=sz:乗\n"},
        {"trail_byte_5d_then_closing_bracket",
         "REGEDIT4\n[HKEY_CURRENT_USER\\乚]\n",
         "[LM]\n[CU]\n乚\n"},
        {"blanks_around_equals",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"a\" =\t\"x\"  \n@ = dword:1\n",
         "[LM]\n[CU]\nK\n  \"a\"=sz:x\n  @=dword:1\n"},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        RegFileError error;
        EXPECT_TRUE(LoadRegText(c.text, registry, error)) << error.Text();
        EXPECT_EQ(DumpAll(registry), c.expected);
    }
}

struct ErrorCase {
    const char* name;
    std::string text;
    int line;
    const char* reason;  // a part of the reason
};

TEST(RegFileTest, MalformedInputGivesTheLineAndTheReason) {
    const std::string deep = "REGEDIT4\n[HKEY_CURRENT_USER" + [] {
        std::string levels;
        for (int i = 0; i < 513; ++i) levels += "\\L";
        return levels;
    }() + "]\n";
    const std::vector<ErrorCase> cases = {
        {"empty_text", "", 1, "REGEDIT4"},
        {"version_5_header", "Windows Registry Editor Version 5.00\n", 1, "REGEDIT4"},
        {"header_not_first", "\nREGEDIT4\n", 1, "REGEDIT4"},
        {"value_before_any_key", "REGEDIT4\n\"a\"=\"b\"\n", 2, "outside"},
        {"value_after_key_removal", "REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n\"a\"=\"b\"\n", 3, "outside"},
        {"unknown_root", "REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n", 2, "unknown root"},
        {"unclosed_key", "REGEDIT4\n[HKEY_CURRENT_USER\\A\n", 2, "']'"},
        {"key_closed_only_by_trail_byte", "REGEDIT4\n[HKEY_CURRENT_USER\\乚\n", 2, "']'"},
        {"text_after_key", "REGEDIT4\n[HKEY_CURRENT_USER\\A] x\n", 2, "']'"},
        {"empty_level", "REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n", 2, "empty level"},
        {"root_removal", "REGEDIT4\n[-HKEY_CURRENT_USER]\n", 2, "root"},
        {"too_deep", deep, 2, "too deep"},
        {"too_deep_after_another_key", "REGEDIT4\n[HKCU\\K]\n" + deep.substr(9) + "\"a\"=\"b\"\n", 3, "too deep"},
        {"missing_equals", "REGEDIT4\n[HKCU\\K]\n\"a\" \"b\"\n", 3, "'='"},
        {"unclosed_name", "REGEDIT4\n[HKCU\\K]\n\"abc\n", 3, "closing"},
        {"unclosed_text", "REGEDIT4\n[HKCU\\K]\n\"a\"=\"b\n", 3, "closing"},
        {"backslash_at_end_of_text", "REGEDIT4\n[HKCU\\K]\n\"a\"=\"b\\\n", 3, "closing"},
        {"unknown_escape", "REGEDIT4\n[HKCU\\K]\n\"a\"=\"\\n\"\n", 3, "escape"},
        {"text_after_closing_quote", "REGEDIT4\n[HKCU\\K]\n\"a\"=\"b\" x\n", 3, "after the closing"},
        {"dword_nine_digits", "REGEDIT4\n[HKCU\\K]\n\"a\"=dword:123456789\n", 3, "1 to 8"},
        {"dword_no_digits", "REGEDIT4\n[HKCU\\K]\n\"a\"=dword:\n", 3, "1 to 8"},
        {"dword_then_text", "REGEDIT4\n[HKCU\\K]\n\"a\"=dword:12 zz\n", 3, "after the dword"},
        {"hex_not_a_byte", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:zz\n", 3, "hex byte"},
        {"hex_three_digits", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:123\n", 3, "','"},
        {"hex_no_comma", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:01 02\n", 3, "','"},
        {"hex_continued_past_end", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:01,\\\n", 3, "end of the file"},
        {"hex_text_after_continuation", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:01,\\ x\n", 3, "after '\\'"},
        {"hex_continued_into_empty_line", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:01,\\\n\n", 4, "hex byte"},
        {"hex_type_not_hex", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex(g):01\n", 3, "hex(N)"},
        {"hex_type_too_long", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex(123456789):01\n", 3, "hex(N)"},
        {"hex_type_no_colon", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex(2)01\n", 3, "hex(N)"},
        {"unknown_data", "REGEDIT4\n[HKCU\\K]\n\"a\"=str:\"x\"\n", 3, "unknown value data"},
        {"no_data", "REGEDIT4\n[HKCU\\K]\n\"a\"=\n", 3, "unknown value data"},
        {"removal_then_text", "REGEDIT4\n[HKCU\\K]\n\"a\"=- x\n", 3, "after '-'"},
        {"stray_text", "REGEDIT4\n[HKCU\\K]\nhello\n", 3, "expected a [key]"},
        {"nul_byte", std::string("REGEDIT4\n[HKCU\\K]\n\"a\"=\"x") + '\0' + "y\"\n", 3, "NUL"},
        {"line_counted_after_continuation", "REGEDIT4\n[HKCU\\K]\n\"a\"=hex:01,\\\n 02,\\\n 03\nbad\n", 6,
         "expected a [key]"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        RegFileError error;
        EXPECT_FALSE(LoadRegText(c.text, registry, error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.reason;
        EXPECT_EQ(error.Text().rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << error.Text();
    }
}

TEST(RegFileTest, LoadsTheBasicsFixture) {
    MemoryRegistry registry;
    RegFileError error;
    ASSERT_TRUE(LoadRegFile("fixtures/registry_basics.reg", registry, error)) << error.Text();
    const std::string expected =
        "SOFTWARE\\TavrinTest\n"
        "SOFTWARE\\TavrinTest\\Basics\n"
        "  @=sz:默认值\n"
        "  \"Text\"=sz:C:\\Program Files\\AutoCAD 2008\\\n"
        "  \"Quote\"=sz:say \"hi\"\n"
        "  \"中文名称\"=sz:简体中文 (Simplified Chinese)\n"
        "  \"乗表\"=sz:trail byte 5C in the name\n"
        "  \"Empty\"=sz:\n"
        "  \"Number\"=dword:42\n"
        "  \"Max\"=dword:4294967295\n"
        "  \"Blob\"=hex(3):00,01,7f,80,ff\n"
        "  \"Expand\"=expand_sz:%APPDATA%\\中\n"
        "  \"Multi\"=hex(7):61,00,d6,d0,ce,c4,00,00\n"
        "  \"Quad\"=hex(b):01,02,03,04,05,06,07,08\n"
        "  \"Long\"=hex(3):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,"
        "10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20\n"
        "SOFTWARE\\TavrinTest\\Basics\\A\n"
        "SOFTWARE\\TavrinTest\\Basics\\a1\n"
        "SOFTWARE\\TavrinTest\\Basics\\b\n"
        "SOFTWARE\\TavrinTest\\Basics\\C\n"
        "SOFTWARE\\TavrinTest\\Basics\\中文键\n"
        "  \"值\"=sz:数据\n";
    EXPECT_EQ(registry.Dump(RegRoot::CurrentUser, "SOFTWARE\\TavrinTest"), expected);
    EXPECT_EQ(registry.Dump(RegRoot::LocalMachine, "SOFTWARE\\Wow6432Node"),
              "SOFTWARE\\Wow6432Node\n"
              "SOFTWARE\\Wow6432Node\\Autodesk\n"
              "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\n"
              "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\n"
              "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\n"
              "  \"AcadLocation\"=sz:C:\\Program Files (x86)\\AutoCAD 2008\n"
              "  \"ProductName\"=sz:AutoCAD 2008 - 简体中文 (Simplified Chinese)\n");
    // The file is code page 936: 中 is D6 D0.
    const auto name = registry.GetValue(RegRoot::CurrentUser, "SOFTWARE\\TavrinTest\\Basics", "中文名称");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(name->data.substr(0, 2), "\xbc\xf2");  // 简
}

TEST(RegFileTest, MissingFileIsAnErrorWithoutALine) {
    MemoryRegistry registry;
    RegFileError error;
    EXPECT_FALSE(LoadRegFile("fixtures/no_such_file.reg", registry, error));
    EXPECT_EQ(error.line, 0);
    EXPECT_NE(error.Text().find("no_such_file.reg"), std::string::npos);
}

TEST(RegFileTest, ExportWritesRegedit4Text) {
    MemoryRegistry registry;
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "", kRegSz, std::string("C:\\\"中\"") + '\0');
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "乗", kRegDword, std::string("\x2a\0\0\0", 4));
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "bin", kRegBinary, "\x01\xff");
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "lines", kRegSz, std::string("a\r\nb") + '\0');
    registry.SetValue(RegRoot::LocalMachine, "S\\K", "exp", kRegExpandSz, std::string("%A%") + '\0');
    registry.AddKey(RegRoot::LocalMachine, "S\\K\\Sub");
    EXPECT_EQ(ExportRegText(registry, RegRoot::LocalMachine, "S\\K"),
              "REGEDIT4\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\S\\K]\r\n"
              "@=\"C:\\\\\\\"中\\\"\"\r\n"
              "\"乗\"=dword:0000002a\r\n"
              "\"bin\"=hex:01,ff\r\n"
              "\"lines\"=hex(1):61,0d,0a,62,00\r\n"
              "\"exp\"=hex(2):25,41,25,00\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\S\\K\\Sub]\r\n");
    EXPECT_EQ(ExportRegText(registry, RegRoot::CurrentUser, ""), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n");
}

TEST(RegFileTest, ExportedTextLoadsBackToTheSameKeysAndValues) {
    MemoryRegistry original;
    RegFileError error;
    ASSERT_TRUE(LoadRegFile("fixtures/registry_basics.reg", original, error)) << error.Text();
    original.SetValue(RegRoot::CurrentUser, "SOFTWARE\\TavrinTest\\Odd", "zeros", kRegSz, std::string("a\0b", 3));
    MemoryRegistry copy;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        const std::string text = ExportRegText(original, root, "SOFTWARE");
        ASSERT_TRUE(LoadRegText(text, copy, error)) << error.Text() << "\n" << text;
    }
    EXPECT_EQ(DumpAll(copy), DumpAll(original));
}

// The round trip that tests/fuzz/fuzz_reg_file checks broke here: in quotes,
// a lead byte at the end of the text takes the closing quote with it, so such
// a text goes out as hex.
TEST(RegFileTest, TextEndingInALoneLeadByteIsExportedAsHex) {
    MemoryRegistry registry;
    registry.SetValue(RegRoot::LocalMachine, "K", "v", kRegSz, std::string("a\x81") + '\0');
    const std::string text = ExportRegText(registry, RegRoot::LocalMachine, "K");
    EXPECT_EQ(text, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=hex(1):61,81,00\r\n");
    MemoryRegistry copy;
    RegFileError error;
    ASSERT_TRUE(LoadRegText(text, copy, error)) << error.Text();
    EXPECT_EQ(DumpAll(copy), DumpAll(registry));
}

// Damaged files must end in a clear error or a load, never a crash or a hang,
// and an error must name a line of the file.
TEST(RegFileTest, DamagedFixtureNeverBreaksTheLoader) {
    MemoryRegistry reference;
    RegFileError error;
    ASSERT_TRUE(LoadRegFile("fixtures/registry_basics.reg", reference, error)) << error.Text();
    const std::string text = ExportRegText(reference, RegRoot::CurrentUser, "") +
                             "[HKEY_CURRENT_USER\\乗乚]\n\"x\"=hex:01,\\\n 02\n";
    const int lineCount = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    auto check = [&](const std::string& damaged) {
        MemoryRegistry registry;
        RegFileError result;
        if (LoadRegText(damaged, registry, result)) return;
        EXPECT_GE(result.line, 1);
        EXPECT_LE(result.line, lineCount);
        EXPECT_FALSE(result.reason.empty());
    };
    for (std::size_t cut = 0; cut <= text.size(); ++cut) check(text.substr(0, cut));
    const std::string bytes = std::string("\\\"[]\n\r,=-@;:(", 13) + std::string(1, '\0') + "\x81\xfe";
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (char b : bytes) {
            std::string damaged = text;
            damaged[i] = b;
            check(damaged);
        }
    }
}

}  // namespace
}  // namespace tavrin

// Detection cases shared by the native tests (in-memory registry) and the
// Windows tests (Wine's registry): a fixture and every entry detection must
// record from it, release by release from 2008, each release's entries in
// the order they were recorded.
#pragma once

#include <string>
#include <vector>

namespace tavrin {
namespace testing {

struct DetectedEntry {
    int year;
    std::string key;     // below HKEY_LOCAL_MACHINE, ending in "\"
    std::string folder;  // the AcadLocation text
};

inline bool operator==(const DetectedEntry& a, const DetectedEntry& b) {
    return a.year == b.year && a.key == b.key && a.folder == b.folder;
}

struct DetectionCase {
    const char* name;
    const char* fixture;  // file name below the build's fixtures folder
    std::vector<DetectedEntry> expected;
};

inline std::vector<DetectionCase> DetectionCases() {
    const std::string native = "SOFTWARE\\Autodesk\\AutoCAD\\";
    const std::string wow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";
    return {
        {"no_autocad_at_all", "detect_none.reg", {}},
        {"one_product_key", "detect_basic.reg", {{2011, native + "R1\\P1\\", "C:\\CAD"}}},
        {"both_views_32bit_first_and_2010_refused_from_32bit_view",
         "detect_both_views.reg",
         {{2008, wow + "R17.1\\ACAD-6001:804\\", "C:\\Program Files (x86)\\AutoCAD 2008"},
          {2008, native + "R17.1\\ACAD-6001:804\\", "C:\\Program Files\\AutoCAD 2008"}}},
        {"two_product_keys_for_one_release",
         "detect_two_products.reg",
         {{2011, native + "R18.1\\ACAD-9001:409\\", "C:\\AutoCAD 2011 EN"},
          {2011, native + "R18.1\\ACAD-9001:804\\", "C:\\AutoCAD 2011 中文"}}},
        {"year_at_offset_0_and_lower_year_wins",
         "detect_years_in_name.reg",
         {{2008, native + "R20.0\\P\\", "C:\\D"},
          {2010, native + "R18.0\\P\\", "C:\\A"},
          {2013, native + "R19.0\\P\\", "C:\\B"}}},
        {"value_of_255_chars_taken_256_not",
         "detect_value_sizes.reg",
         {{2016, native + "R20.1\\Fits\\", "C:\\" + std::string(252, 'L')},
          {2017, native + "R21.0\\TooLong\\Below\\", "C:\\Short"}}},
        {"location_on_release_key_name_below", "detect_split_values.reg", {}},
        {"non_text_location_is_no_folder",
         "detect_non_text.reg",
         {{2019, native + "R23.0\\P\\Q\\", "C:\\Q"}}},
    };
}

}  // namespace testing
}  // namespace tavrin

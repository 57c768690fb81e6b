// Counts the GDI objects that the program's own code makes and frees. The
// calls of this program file into gdi32 and user32 that make or free such
// objects go through its import table; Install points those entries at
// counting wrappers, so the system's own drawing (controls, the dialog
// manager) is not counted, only what the wizard's code asks for.
#pragma once

#include <map>
#include <string>

namespace tavrin_test {

class GdiLedger {
public:
    // Redirects the imports, once for the whole run. False when the calls
    // that every page makes (CreateSolidBrush, DeleteObject) are not among
    // the program's imports: then nothing would be counted.
    static bool Install();

    // Objects made by the program's code since Install, all calls together.
    static long Created();
    // Objects made by one call (by its import name, e.g. "CreateFontA").
    static long CreatedBy(const std::string& call);
    // Objects made and not yet freed, each with the call that made it.
    static std::map<void*, std::string> Live();
};

// The objects of `after` that are not in `before`.
std::map<void*, std::string> Added(const std::map<void*, std::string>& before,
                                   const std::map<void*, std::string>& after);

// "300 from CreateFontA, 1 from CreateSolidBrush" for test messages.
std::string Describe(const std::map<void*, std::string>& objects);

}  // namespace tavrin_test

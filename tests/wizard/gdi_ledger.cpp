#include "gdi_ledger.h"

#include <windows.h>

#include <cstring>

namespace tavrin_test {

namespace {

struct Books {
    long created = 0;
    std::map<std::string, long> createdBy;
    std::map<void*, std::string> live;
};

Books& TheBooks() {
    static Books books;
    return books;
}

void NoteCreated(void* handle, const char* call) {
    if (handle == nullptr) return;
    Books& books = TheBooks();
    ++books.created;
    ++books.createdBy[call];
    books.live[handle] = call;
}

void NoteFreed(void* handle) { TheBooks().live.erase(handle); }

// One wrapper per creating call: calls the system, then books the handle.
// `Id` only tells apart calls of the same type. (x64: one calling
// convention, so the plain function type matches the WINAPI one.)
template <int Id, class Fn>
struct Creator;

template <int Id, class R, class... A>
struct Creator<Id, R (*)(A...)> {
    static R (*original)(A...);
    static const char* name;
    static R Call(A... args) {
        R handle = original(args...);
        NoteCreated(reinterpret_cast<void*>(handle), name);
        return handle;
    }
};
template <int Id, class R, class... A>
R (*Creator<Id, R (*)(A...)>::original)(A...) = nullptr;
template <int Id, class R, class... A>
const char* Creator<Id, R (*)(A...)>::name = nullptr;

// Loaded images are the caller's unless they are the system's shared ones.
decltype(&::LoadImageA) g_loadImageA = nullptr;
decltype(&::LoadImageW) g_loadImageW = nullptr;
HANDLE WINAPI CountingLoadImageA(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    HANDLE image = g_loadImageA(module, name, type, cx, cy, flags);
    if ((flags & LR_SHARED) == 0) NoteCreated(image, "LoadImageA");
    return image;
}
HANDLE WINAPI CountingLoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    HANDLE image = g_loadImageW(module, name, type, cx, cy, flags);
    if ((flags & LR_SHARED) == 0) NoteCreated(image, "LoadImageW");
    return image;
}

// The freeing calls: the handle leaves the books when the system agrees.
decltype(&::DeleteObject) g_deleteObject = nullptr;
decltype(&::DeleteDC) g_deleteDC = nullptr;
decltype(&::ReleaseDC) g_releaseDC = nullptr;
decltype(&::DestroyIcon) g_destroyIcon = nullptr;
decltype(&::DestroyCursor) g_destroyCursor = nullptr;
BOOL WINAPI CountingDeleteObject(HGDIOBJ object) {
    const BOOL done = g_deleteObject(object);
    if (done) NoteFreed(object);
    return done;
}
BOOL WINAPI CountingDeleteDC(HDC dc) {
    const BOOL done = g_deleteDC(dc);
    if (done) NoteFreed(dc);
    return done;
}
int WINAPI CountingReleaseDC(HWND window, HDC dc) {
    const int done = g_releaseDC(window, dc);
    if (done) NoteFreed(dc);
    return done;
}
BOOL WINAPI CountingDestroyIcon(HICON icon) {
    const BOOL done = g_destroyIcon(icon);
    if (done) NoteFreed(icon);
    return done;
}
BOOL WINAPI CountingDestroyCursor(HCURSOR cursor) {
    const BOOL done = g_destroyCursor(cursor);
    if (done) NoteFreed(cursor);
    return done;
}

struct Redirect {
    const char* dll;
    const char* call;
    void* wrapper;
    void** original;
    const char** name;  // where a Creator keeps its call's name (may be null)
};

template <class Fn>
Redirect Direct(const char* dll, const char* call, Fn wrapper, Fn* original) {
    return {dll, call, reinterpret_cast<void*>(wrapper), reinterpret_cast<void**>(original), nullptr};
}

#define TAVRIN_CREATOR(dll, fn)                                                                     \
    Redirect {                                                                                      \
        dll, #fn, reinterpret_cast<void*>(&Creator<__LINE__, decltype(&::fn)>::Call),               \
            reinterpret_cast<void**>(&Creator<__LINE__, decltype(&::fn)>::original),                \
            &Creator<__LINE__, decltype(&::fn)>::name                                               \
    }

const Redirect* Redirects(std::size_t* count) {
    static const Redirect redirects[] = {
        TAVRIN_CREATOR("gdi32.dll", CreateSolidBrush),
        TAVRIN_CREATOR("gdi32.dll", CreateBrushIndirect),
        TAVRIN_CREATOR("gdi32.dll", CreateHatchBrush),
        TAVRIN_CREATOR("gdi32.dll", CreatePatternBrush),
        TAVRIN_CREATOR("gdi32.dll", CreateDIBPatternBrushPt),
        TAVRIN_CREATOR("gdi32.dll", CreatePen),
        TAVRIN_CREATOR("gdi32.dll", CreatePenIndirect),
        TAVRIN_CREATOR("gdi32.dll", ExtCreatePen),
        TAVRIN_CREATOR("gdi32.dll", CreateFontA),
        TAVRIN_CREATOR("gdi32.dll", CreateFontW),
        TAVRIN_CREATOR("gdi32.dll", CreateFontIndirectA),
        TAVRIN_CREATOR("gdi32.dll", CreateFontIndirectW),
        TAVRIN_CREATOR("gdi32.dll", CreateBitmap),
        TAVRIN_CREATOR("gdi32.dll", CreateBitmapIndirect),
        TAVRIN_CREATOR("gdi32.dll", CreateCompatibleBitmap),
        TAVRIN_CREATOR("gdi32.dll", CreateDIBitmap),
        TAVRIN_CREATOR("gdi32.dll", CreateDIBSection),
        TAVRIN_CREATOR("gdi32.dll", CreateCompatibleDC),
        TAVRIN_CREATOR("gdi32.dll", CreateDCA),
        TAVRIN_CREATOR("gdi32.dll", CreateDCW),
        TAVRIN_CREATOR("gdi32.dll", CreateRectRgn),
        TAVRIN_CREATOR("gdi32.dll", CreateRectRgnIndirect),
        TAVRIN_CREATOR("gdi32.dll", CreateEllipticRgn),
        TAVRIN_CREATOR("gdi32.dll", CreateRoundRectRgn),
        TAVRIN_CREATOR("gdi32.dll", CreatePolygonRgn),
        TAVRIN_CREATOR("gdi32.dll", ExtCreateRegion),
        TAVRIN_CREATOR("gdi32.dll", CreatePalette),
        TAVRIN_CREATOR("gdi32.dll", CreateHalftonePalette),
        TAVRIN_CREATOR("user32.dll", GetDC),
        TAVRIN_CREATOR("user32.dll", GetDCEx),
        TAVRIN_CREATOR("user32.dll", GetWindowDC),
        TAVRIN_CREATOR("user32.dll", LoadBitmapA),
        TAVRIN_CREATOR("user32.dll", LoadBitmapW),
        TAVRIN_CREATOR("user32.dll", CopyImage),
        TAVRIN_CREATOR("user32.dll", CopyIcon),
        TAVRIN_CREATOR("user32.dll", CreateIconIndirect),
        Direct("user32.dll", "LoadImageA", &CountingLoadImageA, &g_loadImageA),
        Direct("user32.dll", "LoadImageW", &CountingLoadImageW, &g_loadImageW),
        Direct("gdi32.dll", "DeleteObject", &CountingDeleteObject, &g_deleteObject),
        Direct("gdi32.dll", "DeleteDC", &CountingDeleteDC, &g_deleteDC),
        Direct("user32.dll", "ReleaseDC", &CountingReleaseDC, &g_releaseDC),
        Direct("user32.dll", "DestroyIcon", &CountingDestroyIcon, &g_destroyIcon),
        Direct("user32.dll", "DestroyCursor", &CountingDestroyCursor, &g_destroyCursor),
    };
    *count = sizeof(redirects) / sizeof(redirects[0]);
    return redirects;
}

#undef TAVRIN_CREATOR

// Points every import-table entry of `module` for `redirect` at its wrapper;
// returns how many entries there were.
int PointImportsAt(HMODULE module, const Redirect& redirect) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return 0;
    int pointed = 0;
    const IMAGE_IMPORT_DESCRIPTOR* first =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (const IMAGE_IMPORT_DESCRIPTOR* dll = first; dll->Name != 0; ++dll) {
        if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), redirect.dll) != 0) continue;
        if (dll->OriginalFirstThunk == 0) continue;
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const IMAGE_IMPORT_BY_NAME* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), redirect.call) != 0) continue;
            DWORD protection = 0;
            if (!::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection))
                continue;
            *redirect.original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(redirect.wrapper);
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
            ++pointed;
        }
    }
    return pointed;
}

}  // namespace

bool GdiLedger::Install() {
    // A second pass would take the wrappers for the originals.
    static bool tried = false;
    static bool installed = false;
    if (tried) return installed;
    tried = true;
    HMODULE program = ::GetModuleHandleA(nullptr);
    std::size_t count = 0;
    const Redirect* redirects = Redirects(&count);
    bool brushes = false;
    bool deletes = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (redirects[i].name != nullptr) *redirects[i].name = redirects[i].call;
        const int pointed = PointImportsAt(program, redirects[i]);
        if (pointed == 0) continue;
        if (std::strcmp(redirects[i].call, "CreateSolidBrush") == 0) brushes = true;
        if (std::strcmp(redirects[i].call, "DeleteObject") == 0) deletes = true;
    }
    installed = brushes && deletes;
    return installed;
}

long GdiLedger::Created() { return TheBooks().created; }

long GdiLedger::CreatedBy(const std::string& call) {
    const auto found = TheBooks().createdBy.find(call);
    return found == TheBooks().createdBy.end() ? 0 : found->second;
}

std::map<void*, std::string> GdiLedger::Live() { return TheBooks().live; }

std::map<void*, std::string> Added(const std::map<void*, std::string>& before,
                                   const std::map<void*, std::string>& after) {
    std::map<void*, std::string> added;
    for (const auto& object : after) {
        if (before.count(object.first) == 0) added.insert(object);
    }
    return added;
}

std::string Describe(const std::map<void*, std::string>& objects) {
    std::map<std::string, int> byCall;
    for (const auto& object : objects) ++byCall[object.second];
    std::string text;
    for (const auto& call : byCall) {
        if (!text.empty()) text += ", ";
        text += std::to_string(call.second) + " from " + call.first;
    }
    return text.empty() ? "none" : text;
}

}  // namespace tavrin_test

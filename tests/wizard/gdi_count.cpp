#include "gdi_count.h"

#include <windows.h>

#include <winternl.h>

#include <cstdint>

namespace tavrin_test {

namespace {

// One entry of the GDI handle table that the PEB points to (x64 layout, the
// same on Windows and Wine): 24 bytes, Type 0 when the slot is free.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint8_t extType;  // low 7 bits: type with extension; top bit: stock object
    std::uint8_t generation;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(void*) == 8, "the table layout here is the x64 one");
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entries are 24 bytes on x64");

constexpr int kGdiHandleCount = 0x10000;
constexpr std::uint8_t kStockObject = 0x80;
// Offset of GdiSharedHandleTable in the x64 PEB.
constexpr std::size_t kPebGdiTableOffset = 0xF8;

const GdiHandleEntry* GdiHandleTable() {
    // The PEB's address through ntdll (always loaded): reading it from the
    // thread block inline trips the compiler's array-bounds check.
    using QueryFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) return nullptr;
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (query == nullptr || query(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0)
        return nullptr;
    const char* peb = reinterpret_cast<const char*>(info.PebBaseAddress);
    if (peb == nullptr) return nullptr;
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiTableOffset);
}

}  // namespace

long ProcessGdiObjectCount() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    const GdiHandleEntry* table = GdiHandleTable();
    if (table == nullptr) return -1;
    long count = 0;
    for (int i = 0; i < kGdiHandleCount; ++i) {
        if (table[i].type != 0 && (table[i].extType & kStockObject) == 0) ++count;
    }
    return count;
}

}  // namespace tavrin_test

#include "tests/support/ResourceCounts.h"

#include <winternl.h>

#include <cstdint>

namespace {

static_assert(sizeof(void*) == 4, "the GDI handle table is found at its 32-bit place in the process block");

// One entry of the GDI handle table as Wine lays it out (the same layout for
// 32- and 64-bit processes); Type is 0 for a free entry.
struct GdiHandleEntry {
    uint64_t Object;
    uint32_t Owner;
    uint16_t Unique;
    uint8_t Type;
    uint8_t Flags;
    uint64_t UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr int GdiHandleTableSize = 0x10000;
// GdiSharedHandleTable in the 32-bit process environment block.
constexpr size_t GdiSharedHandleTableOffset = 0x94;

DWORD CountGdiTableEntries()
{
    PROCESS_BASIC_INFORMATION info{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return 0;
    const auto* peb = reinterpret_cast<const char*>(info.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + GdiSharedHandleTableOffset);
    if (!table)
        return 0;
    DWORD count = 0;
    for (int i = 0; i < GdiHandleTableSize; ++i)
        if (table[i].Type != 0)
            ++count;
    return count;
}

BOOL CALLBACK CountWindow(HWND, LPARAM data)
{
    ++*reinterpret_cast<DWORD*>(data);
    return TRUE;
}

// A top-level window and all its descendants (EnumChildWindows descends by
// itself).
BOOL CALLBACK CountWindowTree(HWND window, LPARAM data)
{
    CountWindow(window, data);
    EnumChildWindows(window, CountWindow, data);
    return TRUE;
}

DWORD CountThreadWindows()
{
    DWORD count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowTree, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Handle values are multiples of four; the kernel hands out the lowest free
// ones, so the open handles of a test program lie far below the limit.
DWORD CountOpenHandles()
{
    constexpr uintptr_t limit = 0x10000;
    DWORD count = 0;
    for (uintptr_t value = 4; value < limit; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

} // namespace

ResourceCounts CountResources()
{
    ResourceCounts counts;
    HANDLE self = GetCurrentProcess();
    counts.GdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
    if (counts.GdiObjects == 0)
        counts.GdiObjects = CountGdiTableEntries();
    counts.UserObjects = GetGuiResources(self, GR_USEROBJECTS);
    if (counts.UserObjects == 0)
        counts.UserObjects = CountThreadWindows();
    if (!GetProcessHandleCount(self, &counts.Handles) || counts.Handles == 0)
        counts.Handles = CountOpenHandles();
    return counts;
}

std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts)
{
    return out << counts.GdiObjects << " GDI objects, " << counts.UserObjects << " USER objects, " << counts.Handles
               << " handles";
}

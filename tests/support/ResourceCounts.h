// How many of the operating system's resources this process holds: GDI
// objects, USER objects and kernel handles. A test takes the counts before
// and after repeating some work; a leak shows as a count that grew.
#pragma once

#include <windows.h>

#include <ostream>

struct ResourceCounts {
    DWORD GdiObjects = 0;
    DWORD UserObjects = 0;
    DWORD Handles = 0;

    bool operator==(const ResourceCounts&) const = default;
};

// NOTE: the platform's own counters (GetGuiResources, GetProcessHandleCount)
// are asked first. Wine answers 0 to all three, which no running process can
// truly hold; then the resources are counted directly: the process's entries
// in the GDI handle table that Wine shares with the process, the windows of
// the calling thread (the USER objects a window library makes), and the
// handle values the kernel accepts as open.
ResourceCounts CountResources();

std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts);

// Notes the place of every throw by standing in the language runtime's throw
// entry, and finds an exception's place again among the last few throws.
#include "runtime/ThrowSite.h"

#include <windows.h>

#include <array>
#include <cstddef>

namespace {

struct ThrowSite {
    const void* Object = nullptr;
    const void* Address = nullptr;
};

// The most recent throws, so that a handler that raises and catches an
// exception of its own while an earlier one is still on its way does not
// lose the earlier one's place.
std::array<ThrowSite, 8> g_sites;
size_t g_next = 0;

} // namespace

extern "C" {

// The runtime's own throw entry, under the name the linker's --wrap gives it.
// The arguments are only passed on, so their pointer types do not matter.
[[noreturn]] void __real___cxa_throw(void* object, void* type, void* destructor);

[[noreturn]] void __wrap___cxa_throw(void* object, void* type, void* destructor)
{
    g_sites[g_next++ % g_sites.size()] = {object, __builtin_return_address(0)};
    __real___cxa_throw(object, type, destructor);
}

} // extern "C"

uintptr_t ThrowOffset(const void* object)
{
    for (size_t i = 1; i <= g_sites.size(); ++i) {
        const ThrowSite& site = g_sites[(g_next - i) % g_sites.size()];
        if (!site.Address || site.Object != object)
            continue;
        const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
        const auto code = reinterpret_cast<uintptr_t>(image) + nt->OptionalHeader.BaseOfCode;
        const auto address = reinterpret_cast<uintptr_t>(site.Address);
        return address >= code ? address - code : 0;
    }
    return 0;
}

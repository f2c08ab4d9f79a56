// The string table's texts: read from the executable's string resources in the
// Windows program, and taken from the same list compiled in where there are no
// resources.
#include "runtime/ResStrings.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// Finds a string in the module's resources. LoadStringA belongs to the window
// library; the string blocks are plain resources, so the runtime reads them
// with the kernel's resource functions: block (id / 16) + 1 holds sixteen
// counted UTF-16 strings, and entry id % 16 is the one wanted.
bool FindInModule(HMODULE module, unsigned id, std::string& text)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!info)
        return false;
    HGLOBAL block = LoadResource(module, info);
    const auto* p = block ? static_cast<const WCHAR*>(LockResource(block)) : nullptr;
    if (!p)
        return false;
    const WCHAR* end = p + SizeofResource(module, info) / sizeof(WCHAR);
    for (unsigned i = 0; i < (id & 15); ++i) {
        if (p >= end)
            return false;
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return false;
    const int length = *p;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, p + 1, length, nullptr, 0, nullptr, nullptr);
    text.assign(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, p + 1, length, text.data(), bytes, nullptr, nullptr);
    return true;
}

} // namespace

std::string LoadResString(StrId id)
{
    std::string text;
    if (FindInModule(GetModuleHandleA(nullptr), static_cast<unsigned>(id), text))
        return text;
    // NOTE: an executable linked without the program's resource script has no
    // texts; the id still tells a developer which message was meant.
    return "String resource " + std::to_string(static_cast<unsigned>(id)) + " not found";
}

#else

std::string LoadResString(StrId id)
{
    switch (id) {
#define STRING(name, id, text) case StrId::name: return text;
#include "resources/StringTable.def"
#undef STRING
    }
    return "String resource " + std::to_string(static_cast<unsigned>(id)) + " not found";
}

#endif

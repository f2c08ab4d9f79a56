// Where in the program's code an exception was raised. Every throw of the
// program passes through here on its way into the language's runtime (the
// linker hands the runtime's throw entry to this module), which notes the
// place of the throw for the exception object.
#pragma once

#include <cstdint>

// The offset within the program's code of the throw that raised the
// exception object at object (the address of the object being handled), or
// 0 when no throw of it was noted.
uintptr_t ThrowOffset(const void* object);

// Owners for the handles the program opens: each closes its handle
// exactly once, when it is reset or destroyed. Copying is deleted; moving
// hands the handle over.
#pragma once

#include <windows.h>

#include <utility>

// What "no handle" is for a kind of handle: null for most.
template <typename H>
H NoHandle()
{
    return nullptr;
}
// For files and searches it is INVALID_HANDLE_VALUE.
inline HANDLE InvalidHandle()
{
    return INVALID_HANDLE_VALUE;
}

// An owned handle of type H (a GDI object, a registry key, a kernel handle),
// freed through Close; None gives the value that means "no handle" for its
// kind, and a null handle is none either.
template <typename H, auto Close, H (*None)() = NoHandle<H>>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    H Get() const { return m_handle; }
    bool IsValid() const { return m_handle != None() && m_handle != nullptr; }
    explicit operator bool() const { return IsValid(); }

    // Closes the current handle (if any) and takes the new one.
    void Reset(H handle = None())
    {
        if (IsValid())
            Close(m_handle);
        m_handle = handle;
    }

    // Gives up ownership without closing.
    H Release() { return std::exchange(m_handle, None()); }

private:
    H m_handle = None();
};

using FileHandle = UniqueHandle<HANDLE, CloseHandle, InvalidHandle>;
using SearchHandle = UniqueHandle<HANDLE, FindClose, InvalidHandle>;
// A kernel object other than a file (a mutex, an event, a process), for
// which null means none.
using KernelHandle = UniqueHandle<HANDLE, CloseHandle>;
// An open registry key, closed with RegCloseKey exactly once. The predefined
// root keys are never closed, so only keys this program opened belong here.
using RegistryKey = UniqueHandle<HKEY, RegCloseKey>;

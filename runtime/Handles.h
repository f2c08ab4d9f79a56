// Owners for the handles the program opens: each closes its handle
// exactly once, when it is reset or destroyed. Copying is deleted; moving
// hands the handle over.
#pragma once

#include <windows.h>

#include <utility>

// An owned handle of type H (a GDI object, a registry key) that is null when
// there is none, freed through Close.
template <typename H, auto Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }

    H Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(H handle = nullptr)
    {
        if (m_handle)
            Close(m_handle);
        m_handle = handle;
    }

private:
    H m_handle = nullptr;
};

// Closes a kernel handle through the given function; Invalid is the value that
// means "no handle" for that kind (INVALID_HANDLE_VALUE for files and searches).
template <BOOL(WINAPI* CloseFn)(HANDLE)>
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : m_handle(handle) {}
    ~KernelHandle() { Reset(); }

    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, INVALID_HANDLE_VALUE));
        return *this;
    }

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    explicit operator bool() const { return IsValid(); }

    // Closes the current handle (if any) and takes the new one. Returns
    // whether the close succeeded, for callers that report it.
    bool Reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        bool closed = true;
        if (IsValid())
            closed = CloseFn(m_handle) != FALSE;
        m_handle = handle;
        return closed;
    }

    // Gives up ownership without closing.
    HANDLE Release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

using FileHandle = KernelHandle<CloseHandle>;
using SearchHandle = KernelHandle<FindClose>;

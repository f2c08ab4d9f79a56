// An owned reference to a COM interface: released exactly once, when the
// holder is reset or destroyed. Copying is deleted.
#pragma once

#include <utility>

template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }

    I* Get() const { return m_ptr; }
    I* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    // Releases the held reference and gives the address to fill with a new
    // one, for the platform's creating and querying calls.
    void** Put()
    {
        Reset();
        return reinterpret_cast<void**>(&m_ptr);
    }

    void Reset()
    {
        if (m_ptr)
            std::exchange(m_ptr, nullptr)->Release();
    }

private:
    I* m_ptr = nullptr;
};

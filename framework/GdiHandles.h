// Owners for the drawing handles of the window library: each frees or
// releases its handle exactly once, and restores what it replaced. Copying is
// deleted; the destructors have every argument they need.
#pragma once

#include <windows.h>

#include "runtime/Handles.h"

// An owned GDI object (pen, brush, font, bitmap), deleted with DeleteObject.
template <typename H>
using GdiObject = UniqueHandle<H, DeleteObject>;

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;

// An owned icon, destroyed with DestroyIcon.
using Icon = UniqueHandle<HICON, DestroyIcon>;

// A device context of a window (or of the screen, for none) from GetDC.
class ScopedDC {
public:
    explicit ScopedDC(HWND window = nullptr) : m_window(window), m_dc(GetDC(window)) {}
    ~ScopedDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    ScopedDC(const ScopedDC&) = delete;
    ScopedDC& operator=(const ScopedDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A memory device context compatible with another, deleted with DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : m_dc(CreateCompatibleDC(compatible)) {}
    ~MemoryDC()
    {
        if (m_dc)
            DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// Selects an object into a device context and selects the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect()
    {
        if (m_previous)
            SelectObject(m_dc, m_previous);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The painting of one WM_PAINT: BeginPaint and EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~ScopedPaint() { EndPaint(m_window, &m_paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Get() const { return m_dc; }
    const RECT& Area() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc = nullptr;
};

// Saves a device context's state and restores it (clipping, origin, objects).
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
    ~ScopedSaveDC() { RestoreDC(m_dc, m_saved); }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

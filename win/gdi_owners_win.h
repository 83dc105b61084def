#pragma once

#include <windows.h>

// Owners of USER and GDI handles: one owner per handle, never copied, the handle released
// when the owner goes.

// A handle destroyed by `Destroy`, or null.
template <typename Handle, BOOL(WINAPI* Destroy)(Handle)>
class CHandleOwner {
public:
    CHandleOwner() = default;
    explicit CHandleOwner(Handle owned) : handle(owned) {}
    ~CHandleOwner() { Reset(); }
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;

    Handle Get() const { return handle; }
    // Destroys the handle held so far and takes `owned`.
    void Reset(Handle owned = nullptr) {
        if (handle)
            Destroy(handle);
        handle = owned;
    }

private:
    Handle handle = nullptr;
};

using CIconOwner = CHandleOwner<HICON, DestroyIcon>;
using CMenuOwner = CHandleOwner<HMENU, DestroyMenu>;

// A memory device context with one bitmap selected into it for its lifetime.
class CMemoryDC {
public:
    CMemoryDC(HDC compatible, HBITMAP bitmap) : dc(CreateCompatibleDC(compatible)) {
        if (dc)
            previous = SelectObject(dc, bitmap);
    }
    ~CMemoryDC() {
        if (dc) {
            SelectObject(dc, previous);
            DeleteDC(dc);
        }
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return dc; }

private:
    HDC dc;
    HGDIOBJ previous = nullptr;
};

// The display context of a whole window, released when it goes out of scope.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : owner(window), dc(GetWindowDC(window)) {}
    ~CWindowDC() {
        if (dc != nullptr)
            ReleaseDC(owner, dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return dc; }

private:
    HWND owner;
    HDC dc;
};

// Pairs BeginPaint with EndPaint.
class CPaintScope {
public:
    explicit CPaintScope(HWND paintedWindow) : window(paintedWindow), dc(BeginPaint(paintedWindow, &paint)) {}
    ~CPaintScope() { EndPaint(window, &paint); }
    CPaintScope(const CPaintScope&) = delete;
    CPaintScope& operator=(const CPaintScope&) = delete;
    HDC Dc() const { return dc; }

private:
    PAINTSTRUCT paint = {};
    HWND window;
    HDC dc;
};

#pragma once

// The program's small owners: one owner per handle, COM reference, imaging object or scratch
// file, never copied, and released when the owner goes.

#include <windows.h>
#include <objbase.h>
// GDI+ needs the structured-storage types that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include <filesystem>
#include <memory>
#include <utility>

// A handle released by `Destroy`, or null.
template <typename Handle, auto Destroy>
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
using CBitmapOwner = CHandleOwner<HBITMAP, DeleteObject>;
using CLibraryOwner = CHandleOwner<HMODULE, FreeLibrary>;
// A kernel object whose creation answers null on failure, such as a mutex.
using CKernelHandle = CHandleOwner<HANDLE, CloseHandle>;

// An open file, closed when it goes out of scope. CreateFile answers INVALID_HANDLE_VALUE,
// not null, on failure.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE file) : handle(file) {}
    ~CFileHandle() {
        if (IsOpen())
            CloseHandle(handle);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

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

// The display context of a whole window (of the whole screen for a null window), released
// when it goes out of scope.
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

// A buffer that the system allocated with LocalAlloc for the caller (FormatMessage's).
class CLocalText {
public:
    CLocalText() = default;
    ~CLocalText() {
        if (text)
            LocalFree(text);
    }
    CLocalText(const CLocalText&) = delete;
    CLocalText& operator=(const CLocalText&) = delete;

    char** Receive() { return &text; }
    const char* Get() const { return text ? text : ""; }

private:
    char* text = nullptr;
};

// Removes a half-written file unless it is released once the file is complete.
class CTemporaryFile {
public:
    explicit CTemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~CTemporaryFile() {
        if (!path_.empty())
            DeleteFileW(path_.c_str());
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Release() { path_.clear(); }

private:
    std::filesystem::path path_;
};

// Owners of GDI+ objects made through the flat API.
struct GdipImageDeleter {
    void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
struct GdipGraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const { Gdiplus::DllExports::GdipDeleteGraphics(graphics); }
};
struct GdipBrushDeleter {
    void operator()(Gdiplus::GpBrush* brush) const { Gdiplus::DllExports::GdipDeleteBrush(brush); }
};
struct GdipImageAttributesDeleter {
    void operator()(Gdiplus::GpImageAttributes* attributes) const {
        Gdiplus::DllExports::GdipDisposeImageAttributes(attributes);
    }
};

using GdipImagePtr = std::unique_ptr<Gdiplus::GpImage, GdipImageDeleter>;
using GdipBitmapPtr = std::unique_ptr<Gdiplus::GpBitmap, GdipImageDeleter>;
using GdipGraphicsPtr = std::unique_ptr<Gdiplus::GpGraphics, GdipGraphicsDeleter>;
using GdipSolidFillPtr = std::unique_ptr<Gdiplus::GpSolidFill, GdipBrushDeleter>;
using GdipImageAttributesPtr = std::unique_ptr<Gdiplus::GpImageAttributes, GdipImageAttributesDeleter>;

// A GDI+ bitmap's pixels, all `width` x `height` of them, locked in `format` while it lives.
class CLockedBits {
public:
    CLockedBits(Gdiplus::GpBitmap* bitmap, UINT width, UINT height, UINT mode, Gdiplus::PixelFormat format)
        : locked(bitmap) {
        const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &all, mode, format, &bits) != Gdiplus::Ok)
            locked = nullptr;
    }
    ~CLockedBits() {
        if (locked)
            Gdiplus::DllExports::GdipBitmapUnlockBits(locked, &bits);
    }
    CLockedBits(const CLockedBits&) = delete;
    CLockedBits& operator=(const CLockedBits&) = delete;

    bool IsLocked() const { return locked != nullptr; }
    unsigned char* Row(UINT y) const {
        return static_cast<unsigned char*>(bits.Scan0) + static_cast<ptrdiff_t>(y) * bits.Stride;
    }
    INT Stride() const { return bits.Stride; }

private:
    Gdiplus::GpBitmap* locked;
    Gdiplus::BitmapData bits{};
};

// Owns one reference to a COM interface and releases it when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference that a creation function returned.
    explicit ComPtr(T* adopted) : pointer(adopted) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer(other.pointer) { other.pointer = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer = other.pointer;
            other.pointer = nullptr;
        }
        return *this;
    }

    T* Get() const { return pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // The place for a creation function to store a new reference; drops the old one.
    void** PutVoid() {
        Reset();
        return reinterpret_cast<void**>(&pointer);
    }

    void Reset() {
        if (pointer) {
            pointer->Release();
            pointer = nullptr;
        }
    }

private:
    T* pointer = nullptr;
};

// The thread's COM apartment, entered by the constructor and left by the destructor when it
// was entered.
class CComApartment {
public:
    CComApartment() : entered(SUCCEEDED(CoInitialize(nullptr))) {}
    ~CComApartment() {
        if (entered)
            CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool entered;
};

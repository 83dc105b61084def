#pragma once

#include <unknwn.h>

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

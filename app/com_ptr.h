#pragma once

#include <unknwn.h>

// Owns one reference to a COM interface and releases it when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

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

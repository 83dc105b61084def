#pragma once

#include <windows.h>

// An open file, closed when it goes out of scope.
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

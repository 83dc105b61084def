#pragma once

#include <windows.h>

// Shows the system's wait cursor while a blocking operation runs on the user-interface
// thread, and puts the previous cursor back when it goes.
class CWaitCursor {
public:
    CWaitCursor() : previous(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~CWaitCursor() { SetCursor(previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR previous;
};

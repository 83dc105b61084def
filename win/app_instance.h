#pragma once

#include <windows.h>

#include <map>

class CMessagePump;

// The process-wide application object: the module that holds the resources, and the
// message loop of each thread that runs one.
class CAppInstance {
public:
    CAppInstance() = default;
    CAppInstance(const CAppInstance&) = delete;
    CAppInstance& operator=(const CAppInstance&) = delete;

    bool Init(HINSTANCE instance);
    void Term();

    HINSTANCE GetInstance() const { return moduleInstance; }

    bool AddMessageLoop(CMessagePump* pump);
    bool RemoveMessageLoop();
    // The loop registered for a thread (the calling thread by default), or null.
    CMessagePump* GetMessageLoop(DWORD threadId = GetCurrentThreadId()) const;

private:
    HINSTANCE moduleInstance = nullptr;
    std::map<DWORD, CMessagePump*> loops;
};

// The one application object of the process.
CAppInstance& AppInstance();

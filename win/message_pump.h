#pragma once

#include <windows.h>

#include <vector>

// A window or dialog that may consume a message before it is translated and dispatched
// (for example a modeless dialog's keyboard navigation).
class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual bool PreTranslateMessage(MSG* message) = 0;
};

// Work done when the message queue has run empty.
class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    virtual bool OnIdle() = 0;
};

// The message loop of one thread, with its filters and idle handlers. Registered objects
// are borrowed: each removes itself before it is destroyed.
class CMessagePump {
public:
    CMessagePump() = default;
    CMessagePump(const CMessagePump&) = delete;
    CMessagePump& operator=(const CMessagePump&) = delete;

    bool AddFilter(CMessageFilter* filter);
    bool RemoveFilter(CMessageFilter* filter);
    bool AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);

    // Runs until the quit message arrives and returns its exit code.
    int Run();

private:
    bool PreTranslateMessage(MSG* message);
    void RunIdleHandlers();
    static bool ArmsIdleWork(UINT message);

    std::vector<CMessageFilter*> filters;
    std::vector<CIdleHandler*> idleHandlers;
    MSG currentMessage = {};
};

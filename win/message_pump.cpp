#include "win/message_pump.h"

#include <algorithm>

namespace {

template <typename T>
bool AddUnique(std::vector<T*>& list, T* item) {
    if (!item || std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

template <typename T>
bool RemoveItem(std::vector<T*>& list, T* item) {
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end())
        return false;
    list.erase(found);
    return true;
}

// The system timer message that drives caret blinking; it says nothing about the user.
constexpr UINT kSystemTimer = 0x0118;

}  // namespace

bool CMessagePump::AddFilter(CMessageFilter* filter) {
    return AddUnique(filters, filter);
}

bool CMessagePump::RemoveFilter(CMessageFilter* filter) {
    return RemoveItem(filters, filter);
}

bool CMessagePump::AddIdleHandler(CIdleHandler* handler) {
    return AddUnique(idleHandlers, handler);
}

bool CMessagePump::RemoveIdleHandler(CIdleHandler* handler) {
    return RemoveItem(idleHandlers, handler);
}

int CMessagePump::Run() {
    bool idleArmed = true;
    for (;;) {
        while (idleArmed && !PeekMessageA(&currentMessage, nullptr, 0, 0, PM_NOREMOVE)) {
            RunIdleHandlers();
            idleArmed = false;
        }

        const BOOL got = GetMessageA(&currentMessage, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (!got)
            break;

        if (!PreTranslateMessage(&currentMessage)) {
            TranslateMessage(&currentMessage);
            DispatchMessageA(&currentMessage);
        }
        if (ArmsIdleWork(currentMessage.message))
            idleArmed = true;
    }
    return static_cast<int>(currentMessage.wParam);
}

bool CMessagePump::PreTranslateMessage(MSG* message) {
    // Latest registered first; a filter may remove itself while it runs, so work on a copy.
    const std::vector<CMessageFilter*> snapshot(filters.rbegin(), filters.rend());
    for (CMessageFilter* filter : snapshot) {
        if (filter->PreTranslateMessage(message))
            return true;
    }
    return false;
}

void CMessagePump::RunIdleHandlers() {
    const std::vector<CIdleHandler*> snapshot(idleHandlers);
    for (CIdleHandler* handler : snapshot)
        handler->OnIdle();
}

bool CMessagePump::ArmsIdleWork(UINT message) {
    return message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT && message != kSystemTimer;
}

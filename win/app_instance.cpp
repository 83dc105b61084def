#include "win/app_instance.h"

bool CAppInstance::Init(HINSTANCE instance) {
    moduleInstance = instance;
    return instance != nullptr;
}

void CAppInstance::Term() {
    loops.clear();
}

bool CAppInstance::AddMessageLoop(CMessagePump* pump) {
    return pump && loops.emplace(GetCurrentThreadId(), pump).second;
}

bool CAppInstance::RemoveMessageLoop() {
    return loops.erase(GetCurrentThreadId()) != 0;
}

CMessagePump* CAppInstance::GetMessageLoop(DWORD threadId) const {
    const auto found = loops.find(threadId);
    return found == loops.end() ? nullptr : found->second;
}

CAppInstance& AppInstance() {
    static CAppInstance instance;
    return instance;
}

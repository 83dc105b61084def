#include "win/registry_key.h"

#include "win/ansi_text_win.h"

CRegistryKey::~CRegistryKey() {
    Close();
}

bool CRegistryKey::Open(HKEY root, const char* subKey, REGSAM access) {
    Close();
    if (RegOpenKeyExW(root, WideFromAnsi(subKey).c_str(), 0, access, &key) != ERROR_SUCCESS) {
        key = nullptr;
        return false;
    }
    return true;
}

bool CRegistryKey::CreateKey(HKEY root, const char* subKey) {
    Close();
    if (RegCreateKeyExW(root, WideFromAnsi(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        key = nullptr;
        return false;
    }
    return true;
}

bool CRegistryKey::WriteValue(const char* name, DWORD type, const BYTE* data, DWORD size) {
    if (!key || RegSetValueExW(key, WideFromAnsi(name).c_str(), 0, type, data, size) != ERROR_SUCCESS)
        return false;
    RegFlushKey(key);
    return true;
}

bool CRegistryKey::WriteDword(const char* name, DWORD value) {
    return WriteValue(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool CRegistryKey::WriteString(const char* name, const std::string& text) {
    return WriteString(name, WideFromAnsi(text));
}

bool CRegistryKey::WriteString(const char* name, const std::wstring& text) {
    return WriteValue(name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool CRegistryKey::ReadDword(const char* name, DWORD* value) {
    *value = 0;
    // Text, a 64-bit number or bytes of another length are not a number of ours: taking
    // their bytes would turn "1" into 49.
    DWORD type = REG_NONE;
    DWORD stored = 0;
    DWORD size = sizeof stored;
    if (!key ||
        RegQueryValueExW(key, WideFromAnsi(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof stored) {
        return false;
    }
    *value = stored;
    return true;
}

bool CRegistryKey::ReadString(const char* name, std::string* text) {
    text->clear();
    const std::wstring wideName = WideFromAnsi(name);
    DWORD size = 0;
    if (!key || RegGetValueW(key, nullptr, wideName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    // Room for a terminating NUL that the stored text may lack.
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(key, nullptr, wideName.c_str(), RRF_RT_REG_SZ, nullptr, &value[0], &size) != ERROR_SUCCESS)
        return false;
    *text = AnsiFromWide(value.c_str(), lstrlenW(value.c_str()));
    return true;
}

void CRegistryKey::Close() {
    if (key) {
        RegCloseKey(key);
        key = nullptr;
    }
}

#pragma once

#include <windows.h>

#include <string>

// Owns one open registry key; closes it on destruction. Each operation reports success
// by its result and nothing else. Key and value names are ANSI text; every call to the
// registry is the wide one.
class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens an existing key with full access, or with `access` (KEY_READ to read only).
    bool Open(HKEY root, const char* subKey, REGSAM access = KEY_ALL_ACCESS);
    // Opens the key, creating it (non-volatile) when it does not exist.
    bool CreateKey(HKEY root, const char* subKey);

    // Both writers flush the key after a successful write.
    bool WriteDword(const char* name, DWORD value);
    // Stored as REG_SZ with its terminating NUL, as the registry's readers expect.
    bool WriteString(const char* name, const std::string& text);
    // The same for UTF-16 text, such as a path.
    bool WriteString(const char* name, const std::wstring& text);

    // Reads a REG_DWORD of exactly 4 bytes. Any other type or size fails, as does a missing
    // value; `*value` is then 0.
    bool ReadDword(const char* name, DWORD* value);
    // Reads a REG_SZ as text of the ANSI code page; anything else fails, and `*text` is then
    // empty.
    bool ReadString(const char* name, std::string* text);

    void Close();
    bool IsOpen() const { return key != nullptr; }

private:
    bool WriteValue(const char* name, DWORD type, const BYTE* data, DWORD size);

    HKEY key = nullptr;
};

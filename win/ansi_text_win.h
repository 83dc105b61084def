#pragma once

#include <string>

// Conversions between the system's 8-bit text and UTF-16, always through the ANSI code
// page; characters the code page lacks become its default character.
std::string AnsiFromWide(const wchar_t* text, int length);
std::wstring WideFromAnsi(const std::string& text);

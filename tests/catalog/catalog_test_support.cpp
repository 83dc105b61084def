#include "catalog_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

bool CopyTextFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    if (!in || !out)
        return false;
    out << in.rdbuf();
    return static_cast<bool>(out);
}

#ifdef _WIN32

std::string Ansi(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    std::string result(wide.size() * 2, '\0');
    result.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &result[0],
                                                static_cast<int>(result.size()), nullptr, nullptr)));
    return result;
}

std::string MakeNonAsciiDirectory() {
    char temp[MAX_PATH + 1];
    if (!GetTempPathA(sizeof temp, temp))
        return std::string();
    // Prefer a byte whose character is not the one of the same code in Latin-1 (the euro
    // sign in Windows-1252), which a byte-for-byte widening would get wrong.
    char chosen = 0;
    for (int code = 0x80; code <= 0xFF; ++code) {
        const char c = static_cast<char>(code);
        wchar_t wide = 0;
        char back = 0;
        if (IsDBCSLeadByte(static_cast<BYTE>(code)) ||
            MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &c, 1, &wide, 1) != 1 || wide < 0x80 ||
            WideCharToMultiByte(CP_ACP, 0, &wide, 1, &back, 1, nullptr, nullptr) != 1 || back != c)
            continue;
        if (!chosen)
            chosen = c;
        if (wide != static_cast<wchar_t>(code)) {
            chosen = c;
            break;
        }
    }
    if (chosen) {
        const std::string directory =
            std::string(temp) + "qw_catalog_" + std::to_string(GetCurrentProcessId()) + "_" + chosen;
        if (CreateDirectoryA(directory.c_str(), nullptr))
            return directory + "\\";
    }
    return std::string();
}

void RemoveFileAndDirectory(const std::string& file, const std::string& directory) {
    DeleteFileA(file.c_str());
    RemoveDirectoryA(directory.c_str());
}

std::string CorpusPath(const std::string& name) {
    std::string path = "Z:" QW_CATALOG_CORPUS_DIR "/" + name;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

#else

std::string Ansi(const std::string& utf8) {
    return utf8;
}

std::string MakeNonAsciiDirectory() {
    char pattern[] = "/tmp/qw_catalog_\xC3\xA9_XXXXXX";
    if (!mkdtemp(pattern))
        return std::string();
    return std::string(pattern) + "/";
}

void RemoveFileAndDirectory(const std::string& file, const std::string& directory) {
    unlink(file.c_str());
    rmdir(directory.c_str());
}

std::string CorpusPath(const std::string& name) {
    return QW_CATALOG_CORPUS_DIR "/" + name;
}

#endif

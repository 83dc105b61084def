#pragma once

#include <cstddef>
#include <filesystem>

// A file mapped into memory for reading: its pages are the file's, shared with every other
// reader and never a private copy. Unmapped when the object goes.
class CMappedFile {
public:
    CMappedFile() = default;
    ~CMappedFile();
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    // False, leaving nothing mapped, when the file cannot be opened or is empty.
    bool Open(const std::filesystem::path& path);
    const unsigned char* Data() const { return data; }
    size_t Size() const { return size; }

private:
    void Close();

    const unsigned char* data = nullptr;
    size_t size = 0;
};

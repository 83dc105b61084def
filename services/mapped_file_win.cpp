#include "services/mapped_file.h"

#include <windows.h>

#include "win/owners_win.h"

CMappedFile::~CMappedFile() {
    Close();
}

bool CMappedFile::Open(const std::filesystem::path& path) {
    Close();
    const CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length{};
    if (!file.IsOpen() || !GetFileSizeEx(file.Get(), &length) || length.QuadPart <= 0 ||
        static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX)
        return false;
    // The view keeps the mapping alive; neither handle is needed once it exists.
    const CKernelHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.Get())
        return false;
    data = static_cast<const unsigned char*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!data)
        return false;
    size = static_cast<size_t>(length.QuadPart);
    return true;
}

void CMappedFile::Close() {
    if (data)
        UnmapViewOfFile(data);
    data = nullptr;
    size = 0;
}

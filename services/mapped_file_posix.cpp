#include "services/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CMappedFile::~CMappedFile() {
    Close();
}

bool CMappedFile::Open(const std::filesystem::path& path) {
    Close();
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status {};
    void* view = MAP_FAILED;
    if (fstat(file, &status) == 0 && status.st_size > 0)
        view = mmap(nullptr, static_cast<size_t>(status.st_size), PROT_READ, MAP_SHARED, file, 0);
    close(file);
    if (view == MAP_FAILED)
        return false;
    data = static_cast<const unsigned char*>(view);
    size = static_cast<size_t>(status.st_size);
    return true;
}

void CMappedFile::Close() {
    if (data)
        munmap(const_cast<unsigned char*>(data), size);
    data = nullptr;
    size = 0;
}

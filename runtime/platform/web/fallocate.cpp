// The browser's C library declares fallocate but does not provide it; the
// in-memory file system reserves space through posix_fallocate.
#include <cerrno>
#include <fcntl.h>

extern "C" int fallocate(int file, int mode, off_t offset, off_t length)
{
    if (mode != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int result = posix_fallocate(file, offset, length);
    if (result != 0) {
        errno = result;
        return -1;
    }
    return 0;
}

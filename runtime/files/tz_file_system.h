// TzFileSystem: the owner of one open file handle. Holding a handle in one of
// these closes it on every path out of the code that opened it.
#pragma once

#include <cstdio>

class TzFileSystem {
public:
    TzFileSystem() = default;
    explicit TzFileSystem(std::FILE* file) : handle(file) {}
    TzFileSystem(const TzFileSystem&) = delete;
    TzFileSystem& operator=(const TzFileSystem&) = delete;
    ~TzFileSystem() { Close(); }

    // Closes the handle if one is held; afterwards there is none.
    void Close()
    {
        if (handle != nullptr) std::fclose(handle);
        handle = nullptr;
    }

    std::FILE* handle = nullptr;
};

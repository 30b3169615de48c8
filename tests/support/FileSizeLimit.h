#pragma once

#include <sys/resource.h>

// Files written by this process may not grow beyond a size while it lives,
// as on a disk that fills up; writes past it fail instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isActive() const { return _active; }

private:
    rlimit _previous{};
    void (*_previousHandler)(int) = nullptr;
    bool _active = false;
};

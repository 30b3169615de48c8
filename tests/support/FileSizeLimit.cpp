#include "FileSizeLimit.h"

#include <csignal>

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &_previous);
    _previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{bytes, _previous.rlim_max};
    _active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &_previous);
    std::signal(SIGXFSZ, _previousHandler);
}

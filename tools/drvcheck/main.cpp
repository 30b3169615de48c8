// Tells whether the Prolific PL2303 USB-to-serial driver is installed: reads
// the driver list of "driverquery", writes the answer to tvdckdrv.log in the
// current directory and returns it as the exit code.

#include "Platform.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kLineBufferSize = 100;

enum : unsigned {
    kProlific = 4,
    kSerial = 2,
    kPort = 1,
    kAllWords = kProlific | kSerial | kPort,
};

unsigned wordsIn(const char *piece)
{
    char lower[kLineBufferSize] = {};
    std::strncpy(lower, piece, sizeof lower - 1);
    for (char *c = lower; *c; ++c) {
        if (*c >= 'A' && *c <= 'Z')
            *c = static_cast<char>(*c - 'A' + 'a');
    }
    unsigned mask = 0;
    if (std::strstr(lower, "prolific"))
        mask |= kProlific;
    if (std::strstr(lower, "serial"))
        mask |= kSerial;
    if (std::strstr(lower, "port"))
        mask |= kPort;
    return mask;
}

} // namespace

int main()
{
    int matches = 0;
    if (std::FILE *pipe = tvd::platform::openCommandPipe("driverquery")) {
        // A line longer than the buffer arrives as several pieces, each judged alone.
        char piece[kLineBufferSize];
        while (std::fgets(piece, sizeof piece, pipe)) {
            if (wordsIn(piece) == kAllWords)
                ++matches;
        }
        tvd::platform::closeCommandPipe(pipe);
    }

    // Binary mode with explicit CR LF: the same bytes on every platform.
    if (std::FILE *log = std::fopen("tvdckdrv.log", "wb")) {
        std::fprintf(log, "[TVDdrvck]\r\n");
        std::fprintf(log, "PL2303Present=%d\r\n", matches);
        std::fflush(log);
        std::fclose(log);
    }
    return matches != 0 ? 1 : 0;
}

// Tells whether the Prolific PL2303 USB-to-serial driver is installed: reads
// the driver list of "driverquery", writes the answer to tvdckdrv.log in the
// current directory and returns it as the exit code.

#include "Platform.h"
#include "driverMatches.h"

#include <cstdio>

int main()
{
    int matches = 0;
    if (std::FILE *pipe = tvd::platform::openCommandPipe("driverquery")) {
        matches = countDriverMatches(pipe);
        tvd::platform::closeCommandPipe(pipe);
    }

    if (std::FILE *log = tvd::platform::createTextFile("tvdckdrv.log")) {
        std::fprintf(log, "[TVDdrvck]\n");
        std::fprintf(log, "PL2303Present=%d\n", matches);
        std::fflush(log);
        std::fclose(log);
    }
    return matches != 0 ? 1 : 0;
}

#include "driverMatches.h"

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

int countDriverMatches(std::FILE *driverList)
{
    int matches = 0;
    char piece[kLineBufferSize];
    while (std::fgets(piece, sizeof piece, driverList)) {
        if (wordsIn(piece) == kAllWords)
            ++matches;
    }
    return matches;
}

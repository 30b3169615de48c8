// The output of "driverquery", read by tvdckdrv.

#include "driverMatches.h"
#include "fuzzSupport.h"

#include <cstdio>

namespace {
// The pieces a 100-byte line reader delivers: 99 bytes at most, a line feed
// ending a piece.
size_t pieceCount(const uint8_t *data, size_t size)
{
    size_t pieces = 0;
    size_t pieceLength = 0;
    for (size_t i = 0; i < size; ++i) {
        ++pieceLength;
        if (data[i] == '\n' || pieceLength == 99) {
            ++pieces;
            pieceLength = 0;
        }
    }
    return pieces + (pieceLength > 0 ? 1 : 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    std::FILE *driverList = fmemopen(const_cast<uint8_t *>(data), size, "r");
    fuzzCheck(driverList != nullptr, "the input can be read as a stream");
    const int matches = countDriverMatches(driverList);
    std::fclose(driverList);
    fuzzCheck(matches >= 0 && size_t(matches) <= pieceCount(data, size), "the count never exceeds the pieces read");
    return 0;
}

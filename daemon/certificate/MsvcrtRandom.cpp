#include "MsvcrtRandom.h"

MsvcrtRandom::MsvcrtRandom(quint32 seed)
    : _state(seed)
{
}

void MsvcrtRandom::seed(quint32 seed) { _state = seed; }

int MsvcrtRandom::next()
{
    // Unsigned arithmetic wraps modulo 2^32 like the runtime's own state.
    _state = _state * 214013u + 2531011u;
    return static_cast<int>((_state >> 16) & 0x7FFFu);
}

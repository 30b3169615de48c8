#pragma once

#include <QtGlobal>

// The pseudo-random sequence of the Windows C runtime's srand/rand, held per
// object: serial numbers made here match those made on Windows for the same
// inputs.
class MsvcrtRandom
{
public:
    explicit MsvcrtRandom(quint32 seed = 1);

    void seed(quint32 seed);
    // Next value, 0 to 32767, as rand() returns it.
    int next();

private:
    quint32 _state;
};

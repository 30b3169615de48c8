// The requests the certificate service simulator serves.

#include "GetCertificateRequest.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startQtForFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    GetCertificateRequest::parse(fuzzInput(data, size));
    return 0;
}

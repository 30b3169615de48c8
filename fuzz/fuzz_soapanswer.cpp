// The answer of the certificate service, from its bytes to what the dialog
// makes of it.

#include "SoapDialog.h"
#include "SoapResponse.h"
#include "fuzzSupport.h"

#include <limits>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startQtForFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SoapResponse response;
    response.setContent(fuzzInput(data, size));
    const SoapDialog::Outcome outcome = SoapDialog::evaluateResponse(response);

    fuzzCheck((outcome.kind == SoapDialog::Outcome::e_Fault) == response.isFault(), "a fault answer is a fault");
    switch (outcome.kind) {
    case SoapDialog::Outcome::e_Certificate:
        fuzzCheck(outcome.certificateId >= 1 && outcome.certificateId <= quint64(std::numeric_limits<qint32>::max()),
            "a certificate id is 1 to 2147483647");
        fuzzCheck(!outcome.strPdfUrl.isEmpty(), "a certificate has a PDF URL");
        break;
    case SoapDialog::Outcome::e_Error:
        fuzzCheck(outcome.error >= SoapDialog::SDE_CIDZero && outcome.error <= SoapDialog::SDE_SNSFailure,
            "an error has one of the kinds raised");
        break;
    case SoapDialog::Outcome::e_Fault:
    case SoapDialog::Outcome::e_ServiceError:
        break;
    default:
        fuzzCheck(false, "an answer yields one of the outcomes");
    }
    return 0;
}

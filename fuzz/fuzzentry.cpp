// libFuzzer's entry point, bound to one target by FUZZ_TARGET at compile time.
#include "fuzztargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FUZZ_TARGET(data, size);
}

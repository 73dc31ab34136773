// One libFuzzer target; QV_FUZZ_TARGET names the reader it drives.
#include "tests/fuzz/ReaderTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QV_FUZZ_TARGET(data, size);
    return 0;
}

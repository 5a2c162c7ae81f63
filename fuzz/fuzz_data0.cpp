// libFuzzer target: the EQ3/6 data0 reader and the log K fit of what it read.

#include "fuzz_entries.h"
#include "fuzz_quiet.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_quiet::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_entries::data0_one(data, size);
    return 0;
}

// libFuzzer target: the EQ3/6 data0 reader, the log K fit and the database writer
// on what it read.

#include "fuzz_entries.h"
#include "fuzz_quiet.h"

namespace {
QString databaseFile;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    databaseFile = fuzz_quiet::init() + QStringLiteral("/reference.db");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_entries::data0_one(data, size, databaseFile);
    return 0;
}

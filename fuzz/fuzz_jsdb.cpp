// libFuzzer target: the ".jsdb" configuration reader, then the writers on what it read.

#include "fuzz_entries.h"
#include "fuzz_quiet.h"

#include <QString>

namespace {
QString scratchFile;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    scratchFile = fuzz_quiet::init() + QStringLiteral("/input.jsdb");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_entries::jsdb_one(data, size, scratchFile);
    return 0;
}

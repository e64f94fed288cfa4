// Feeds arbitrary bytes to the configuration loader as one ini file.
#include <cstdint>

#include "Tests/fuzz/FuzzConfigTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzConfigTree::Get("fuzz").Load(data, size);
    return 0;
}

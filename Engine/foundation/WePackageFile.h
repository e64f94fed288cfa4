#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// One member of the package file: where its bytes lie in the archive.
class WePackageFile
{
public:
    WeString name;  // as stored, without extension
    int32_t type = 0;
    int64_t offset = 0;  // absolute offset of the first byte in the archive
    int32_t size = 0;
};

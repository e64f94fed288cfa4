#pragma once
#include <cstdint>

// File-type codes of the package file systems and the extension each stands for. Code 0 has the
// empty extension; it also takes loose files whose extension is not in the table.
inline constexpr int32_t WePackageTypeCount = 18;
extern const char* const g_PackageTypeExtensions[WePackageTypeCount];

inline bool IsPackageType(int32_t type)
{
    return type >= 0 && type < WePackageTypeCount;
}

// The code whose extension equals the text exactly (case-sensitive); 0 when none does.
int32_t PackageTypeFromExtension(const char* extension);

#include "Engine/foundation/WeDottedName.h"

WeString DottedNameToPath(const WeString& name)
{
    WeString path;
    const char* text = name.c_str();
    for (int32_t i = 0; i < name.Length(); ++i)
        path += text[i] == '.' ? '\\' : text[i];
    return path;
}

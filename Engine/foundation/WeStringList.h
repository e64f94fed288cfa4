#pragma once
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

// A list of strings: the result of every file-system listing and of the configuration key listing.
class WeStringList : public WeList<WeString>
{
public:
    using WeList<WeString>::PushBack;

    // A new last string, always empty (also when a free node is reused), for the caller to fill.
    WeString& PushBack()
    {
        WeString& text = WeList<WeString>::PushBack();
        text.Clear();
        return text;
    }
};

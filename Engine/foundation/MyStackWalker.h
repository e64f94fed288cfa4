#pragma once
#include "Engine/foundation/StackWalker.h"

// The crash log's walker: every line goes to the crash channel and to the debugger.
class MyStackWalker : public StackWalker
{
protected:
    void OnOutput(const char* text) override;
};

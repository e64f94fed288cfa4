// Feeds arbitrary text to the input script's parser: it either refuses with "name:line: reason" or keeps events
// in frame order whose fields are within their ranges.
//   build/fuzz/bin/fuzz_input_script -max_total_time=60 <corpus folder>
#include <cstdint>
#include <string>

#include "Platform/window/WinInputScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WinInputScript script;
    std::string error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!script.Parse(text, "fuzz", error))
    {
        if (error.rfind("fuzz:", 0) != 0 || !script.GetEvents().empty())
            __builtin_trap();
        return 0;
    }
    int64_t previous = 0;
    for (const WinInputScript::Event& event : script.GetEvents())
    {
        if (event.frame < previous || event.text.size() > 31)
            __builtin_trap();
        if ((event.kind == WinInputScript::KeyDown || event.kind == WinInputScript::KeyUp) &&
            (event.a < 1 || event.a > 255))
            __builtin_trap();
        if ((event.kind == WinInputScript::ButtonDown || event.kind == WinInputScript::ButtonUp) &&
            (event.a < 0 || event.a > 4))
            __builtin_trap();
        previous = event.frame;
    }
    return 0;
}

#pragma once
// The command line every drawing demo takes: [--png FILE] [--frames N] [--size WIDTHxHEIGHT], plus any
// options of its own that take one text value.
#include <initializer_list>

#include "Platform/gfx/D3D9Types.h"

// One more option with a text value: `flag` followed by the value stored in *value.
struct DemoTextOption
{
    const char* flag;
    const char** value;
};

struct DemoOptions
{
    const char* name;   // in front of every message
    const char* usage;  // the whole usage line, printed after "usage: "
    const char* pngPath = nullptr;
    int frames = -1;  // not given: one frame for the PNG, else 300
    UINT width = 640, height = 480;

    // False (having said why on stderr) on a bad command line; the demo exits with 2 then.
    bool parse(int argc, char** argv, std::initializer_list<DemoTextOption> more = {});
};

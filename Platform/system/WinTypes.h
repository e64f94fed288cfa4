#pragma once
// The Win32 base types the platform layers share (graphics, window, input), defined once so that any
// of their headers can be included together.
#include <cstdint>

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef uint32_t UINT;
typedef int32_t INT;
typedef int32_t BOOL;
typedef int32_t LONG;
typedef int32_t HRESULT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// The native window handle. Under OpenGL it is the SDL window the device draws into (null: the device
// makes its own hidden window, as the headless tests do).
typedef struct HWND__* HWND;
typedef struct HMONITOR__* HMONITOR;
typedef struct HINSTANCE__* HINSTANCE;

struct RECT
{
    LONG left, top, right, bottom;
};
struct POINT
{
    LONG x, y;
};

#pragma once
// The window layer: top-level windows, their message queue, the cursor, message boxes, the
// single-instance mutex and the documents folder, with the shape of Win32 over SDL2. Message numbers,
// styles, virtual keys and the packing of wParam/lParam are Win32's, since the engine's handlers decode
// them. An HWND is the SDL_Window* itself, as the graphics layer expects.
//
// The message pump (PeekMessageA) takes SDL's events, hands each to the input layer's feed
// (Platform/input/InputFeed.h) and turns it into messages:
//   window focus gained/lost -> WM_ACTIVATE (WA_ACTIVE / WA_INACTIVE), then WM_SETFOCUS / WM_KILLFOCUS
//   size changed, minimised -> WM_SIZE (SIZE_RESTORED, SIZE_MAXIMIZED, SIZE_MINIMIZED; width, height)
//   exposed                  -> WM_PAINT;  close asked -> WM_CLOSE
//   quit (SIGINT, SIGTERM)   -> WM_CLOSE to every window
//   key down / up            -> WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP while Alt but not
//                               Ctrl is held (and for Alt and F10 themselves); wParam the virtual key, lParam repeat
//                               count 1, scan code in bits 16-23, extended bit 24, Alt bit 29, previous
//                               state bit 30 (set on auto-repeat and on key-up), transition bit 31
//   text input               -> one WM_CHAR (WM_SYSCHAR with Alt, not Ctrl) per UTF-16 code unit
//   mouse motion             -> WM_MOUSEMOVE (MK_ flags; client x, y as low and high word)
//   mouse buttons            -> WM_L/R/MBUTTONDOWN, ...UP, WM_LBUTTONDBLCLK etc. for the second click of a
//                               class with CS_DBLCLKS, WM_XBUTTONDOWN/UP
//   mouse wheel              -> WM_MOUSEWHEEL (delta 120 per notch in the high word of wParam)
// Events without a known window go to the foreground window, else to the first window created.
#include <cstddef>
#include <cstdint>

#include "Platform/system/WinTypes.h"

typedef uint16_t ATOM;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef void* HANDLE;

typedef struct HICON__* HICON;
typedef struct HICON__* HCURSOR;
typedef struct HBRUSH__* HBRUSH;
typedef struct HMENU__* HMENU;

typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct WNDCLASSEXA
{
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
    HICON hIconSm;
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_XBUTTONDOWN = 0x020B;
constexpr UINT WM_XBUTTONUP = 0x020C;
constexpr UINT WM_XBUTTONDBLCLK = 0x020D;
constexpr UINT WM_USER = 0x0400;

constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr WPARAM MK_XBUTTON1 = 0x0020;
constexpr WPARAM MK_XBUTTON2 = 0x0040;
constexpr WORD XBUTTON1 = 1;
constexpr WORD XBUTTON2 = 2;
constexpr int WHEEL_DELTA_PER_NOTCH = 120;

// Class styles, window styles, extended styles.
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// Message boxes.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Errors and results.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
// Spelled as the graphics layer spells them, so that both headers can meet in one file.
#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005u)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057u)
#endif

// Folders.
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr DWORD SHGFP_TYPE_CURRENT = 0;
constexpr int MAX_PATH = 260;

// Virtual keys (the letters and digits are their upper-case ASCII codes).
constexpr WPARAM VK_LBUTTON = 0x01;
constexpr WPARAM VK_RBUTTON = 0x02;
constexpr WPARAM VK_MBUTTON = 0x04;
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_CLEAR = 0x0C;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_PAUSE = 0x13;
constexpr WPARAM VK_CAPITAL = 0x14;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_SNAPSHOT = 0x2C;
constexpr WPARAM VK_INSERT = 0x2D;
constexpr WPARAM VK_DELETE = 0x2E;
constexpr WPARAM VK_LWIN = 0x5B;
constexpr WPARAM VK_RWIN = 0x5C;
constexpr WPARAM VK_APPS = 0x5D;
constexpr WPARAM VK_SLEEP = 0x5F;
constexpr WPARAM VK_NUMPAD0 = 0x60;
constexpr WPARAM VK_MULTIPLY = 0x6A;
constexpr WPARAM VK_ADD = 0x6B;
constexpr WPARAM VK_SEPARATOR = 0x6C;
constexpr WPARAM VK_SUBTRACT = 0x6D;
constexpr WPARAM VK_DECIMAL = 0x6E;
constexpr WPARAM VK_DIVIDE = 0x6F;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F4 = 0x73;
constexpr WPARAM VK_F9 = 0x78;
constexpr WPARAM VK_F10 = 0x79;
constexpr WPARAM VK_F11 = 0x7A;
constexpr WPARAM VK_F12 = 0x7B;
constexpr WPARAM VK_NUMLOCK = 0x90;
constexpr WPARAM VK_SCROLL = 0x91;
constexpr WPARAM VK_OEM_1 = 0xBA;     // ;
constexpr WPARAM VK_OEM_PLUS = 0xBB;  // =
constexpr WPARAM VK_OEM_COMMA = 0xBC;
constexpr WPARAM VK_OEM_MINUS = 0xBD;
constexpr WPARAM VK_OEM_PERIOD = 0xBE;
constexpr WPARAM VK_OEM_2 = 0xBF;  // /
constexpr WPARAM VK_OEM_3 = 0xC0;  // `
constexpr WPARAM VK_OEM_4 = 0xDB;  // [
constexpr WPARAM VK_OEM_5 = 0xDC;  // backslash
constexpr WPARAM VK_OEM_6 = 0xDD;  // ]
constexpr WPARAM VK_OEM_7 = 0xDE;  // '
constexpr WPARAM VK_OEM_102 = 0xE2;
constexpr WPARAM VK_LSHIFT = 0xA0;
constexpr WPARAM VK_RSHIFT = 0xA1;
constexpr WPARAM VK_LCONTROL = 0xA2;
constexpr WPARAM VK_RCONTROL = 0xA3;
constexpr WPARAM VK_LMENU = 0xA4;
constexpr WPARAM VK_RMENU = 0xA5;

constexpr UINT MAPVK_VK_TO_VSC = 0;
constexpr UINT MAPVK_VSC_TO_VK = 1;

constexpr WORD LOWORD(uintptr_t v)
{
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t v)
{
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int low, int high)
{
    return static_cast<LPARAM>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}

// Windows and their classes. A class name may be registered once; CreateWindowExA sends WM_CREATE to
// the class procedure before it returns (the caller has no handle yet), and a procedure returning -1
// there makes it fail. The first window starts SDL's video subsystem, which then stays up.
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
// Sends WM_DESTROY, then destroys the window.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL SetWindowTextA(HWND window, const char* title);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL ClientToScreen(HWND window, POINT* point);
// The window that had the focus last (focus events, or SetForegroundWindow); null when ours have none.
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
int GetSystemMetrics(int index);
// Moves and sizes a window (client area, in screen pixels); the z order never changes here, so
// SWP_NOZORDER is the only flag honoured. Other flags are accepted and ignored.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);

// The message queue of the (only) thread.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Alt+F4 asks to close (WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE); WM_CLOSE destroys the window.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The keyboard as key messages see it, on a US layout. GetKeyboardState fills 256 bytes by virtual key:
// bit 7 held (from what the pump fed the input layer), bit 0 toggled (Caps Lock, Num Lock, Scroll Lock).
// ToUnicode translates a virtual key with such a state into UTF-16 (Ctrl+letter gives its control
// character, Ctrl+Alt gives nothing) and returns the number of code units, 0 for none; bit 31 of
// scanCode (key released) does not change the result. MapVirtualKeyA maps virtual key <-> scan code.
BOOL GetKeyboardState(BYTE* keyState);
int16_t GetKeyState(int virtualKey);
int ToUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, char16_t* buffer, int bufferSize, UINT flags);
UINT MapVirtualKeyA(UINT code, UINT mapType);
// The name of the key whose key code (Platform/input/DIKeyCodes.h) is in bits 16 to 23 of keyParam, as a
// US keyboard shows it; bit 24 (extended) adds 0x80 to the code, bit 25 is ignored. Copies at most size - 1
// characters and a terminating zero; returns the characters copied, 0 (and an empty text) for no name.
int GetKeyNameTextA(LONG keyParam, char* text, int size);

// The cursor. ShowCursor keeps Win32's display count: the cursor shows while the count is 0 or more.
int ShowCursor(BOOL show);
// Screen coordinates; null frees the cursor.
BOOL ClipCursor(const RECT* rect);
BOOL GetClipCursor(RECT* rect);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
HWND SetCapture(HWND window);
BOOL ReleaseCapture();

// A modal message box; without a display the text goes to stderr and the first button's answer is
// returned. A null caption reads "Error".
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// Kernel objects: the named mutex is a lock file under the runtime folder ($XDG_RUNTIME_DIR, else
// /tmp), held with flock for as long as the handle stays open. When another handle holds it,
// CreateMutexA still returns a handle and GetLastError gives ERROR_ALREADY_EXISTS.
HANDLE CreateMutexA(void* attributes, BOOL initialOwner, const char* name);
BOOL CloseHandle(HANDLE handle);
DWORD GetLastError();
void SetLastError(DWORD error);

// CSIDL_PERSONAL is the documents folder ($XDG_DOCUMENTS_DIR, the user-dirs file, else
// $HOME/Documents); CSIDL_LOCAL_APPDATA the data home ($XDG_DATA_HOME when absolute, else
// $HOME/.local/share). subFolder may use '\' as separator. CSIDL_FLAG_CREATE creates what is missing.
HRESULT SHGetFolderPathAndSubDirA(HWND owner, int csidl, HANDLE token, DWORD flags, const char* subFolder, char* path);

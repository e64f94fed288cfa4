#include "Platform/window/WinRegistry.h"

#include <SDL.h>

#include <cstdio>

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    if (text == nullptr)
        text = "";
    if (caption == nullptr)
        caption = "Error";
    UINT buttons = type & 0x0F;
    int first = buttons == MB_YESNO ? IDYES : IDOK;
    int second = buttons == MB_YESNO ? IDNO : IDCANCEL;
    bool two = buttons == MB_YESNO || buttons == MB_OKCANCEL;
    if (!WinHasDisplay())
    {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return first;
    }
    UINT icon = type & 0xF0;
    SDL_MessageBoxButtonData data[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, first, buttons == MB_YESNO ? "Yes" : "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, second, buttons == MB_YESNO ? "No" : "Cancel"},
    };
    if (!two)
        data[0].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    SDL_MessageBoxData box = {};
    box.flags = icon == MB_ICONERROR     ? SDL_MESSAGEBOX_ERROR
                : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                         : SDL_MESSAGEBOX_INFORMATION;
    box.window = g_WinRegistry().Find(owner) != nullptr ? reinterpret_cast<SDL_Window*>(owner) : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = two ? 2 : 1;
    box.buttons = data;
    int pressed = first;
    if (SDL_ShowMessageBox(&box, &pressed) != 0)
    {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return first;
    }
    // Closing the box without a button counts as its escape answer.
    return pressed < 0 ? (two ? second : first) : pressed;
}

#include "Platform/system/SysMessageBox.h"

#include <cstring>
#include <unistd.h>

SysMessageBox::ShowFn SysMessageBox::s_Hook = nullptr;

void SysMessageBox::SetHook(ShowFn hook)
{
    s_Hook = hook;
}

static void WriteAll(const char* text)
{
    size_t left = strlen(text);
    while (left > 0)
    {
        ssize_t done = write(STDERR_FILENO, text, left);
        if (done <= 0)
            return;
        text += done;
        left -= static_cast<size_t>(done);
    }
}

void SysMessageBox::Show(const char* caption, const char* text)
{
    if (caption == nullptr)
        caption = "";
    if (text == nullptr)
        text = "";
    if (s_Hook != nullptr && s_Hook(caption, text))
        return;
    WriteAll(caption);
    WriteAll(": ");
    WriteAll(text);
    WriteAll("\n");
}

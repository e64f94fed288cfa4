#include "Platform/system/SysMessageBox.h"

#include "Platform/system/SysText.h"

SysMessageBox::ShowFn SysMessageBox::s_Hook = nullptr;

void SysMessageBox::SetHook(ShowFn hook)
{
    s_Hook = hook;
}

void SysMessageBox::Show(const char* caption, const char* text)
{
    if (caption == nullptr)
        caption = "";
    if (text == nullptr)
        text = "";
    if (s_Hook != nullptr && s_Hook(caption, text))
        return;
    SysText::WriteStderr(caption);
    SysText::WriteStderr(": ");
    SysText::WriteStderr(text);
    SysText::WriteStderr("\n");
}

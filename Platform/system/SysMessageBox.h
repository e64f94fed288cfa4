#pragma once

// The crash message's box. The window layer installs a real dialog; until it does, and whenever the
// dialog cannot be shown (no display), the text goes to stderr.
class SysMessageBox
{
public:
    // Returns false when it could not show the box, so that stderr is used instead.
    using ShowFn = bool (*)(const char* caption, const char* text);

    static void Show(const char* caption, const char* text);
    static void SetHook(ShowFn hook);

private:
    static ShowFn s_Hook;
};

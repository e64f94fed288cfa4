#pragma once
// The steps of a screens_demo script, and the table of scripts. A later screen adds a source file with its
// script and one row to the table (ScreensDemoScripts.cpp).
#include <functional>
#include <string>
#include <vector>

struct ScreensDemoStep
{
    enum Kind
    {
        WaitPhase,  // until the phase of that class is on top
        WaitShown,  // until the widget is shown and fully faded in
        Click,      // the widget's centre, left button
        KeyPress,   // an SDL scancode, pressed and released
        KeyHold,    // pressed, released `frames` later
        KeyDown,
        KeyUp,
        Wheel,   // notches over a widget
        Type,    // a text
        Seed,    // SysRandom seeded again with --seed
        Png,     // <png-dir>/<text>.png of the frame after the step
        Expect,  // a check: its line printed, or the step fails
        Frames,  // `value` frames pass
        Choose,  // a combo box's item `value` chosen, as a click on its list chooses it
        Drag,    // a scroll bar's thumb dragged to `value` thousandths of its track
        Call,    // the step's check run once; false fails the step (prints nothing of its own)
        Until    // its check once a frame, each line it fills printed, until it answers true
    };
    Kind kind = WaitPhase;
    std::string text;
    int value = 0;
    // For Expect: fills the line to print; false fails the step. For Until: the lines to print this frame
    // (several separated by line feeds, or none); true ends the wait.
    std::function<bool(std::string& line)> check;
};

class ScreensDemoScript
{
public:
    ScreensDemoScript& WaitPhase(const char* className) { return Add(Make(ScreensDemoStep::WaitPhase, className)); }
    ScreensDemoScript& WaitShown(const char* widget) { return Add(Make(ScreensDemoStep::WaitShown, widget)); }
    ScreensDemoScript& Click(const char* widget) { return Add(Make(ScreensDemoStep::Click, widget)); }
    ScreensDemoScript& KeyPress(int scancode) { return Add(Make(ScreensDemoStep::KeyPress, "", scancode)); }
    ScreensDemoScript& KeyHold(int scancode, int frames)
    {
        return Add(Make(ScreensDemoStep::KeyHold, std::to_string(frames), scancode));
    }
    ScreensDemoScript& KeyDown(int scancode) { return Add(Make(ScreensDemoStep::KeyDown, "", scancode)); }
    ScreensDemoScript& KeyUp(int scancode) { return Add(Make(ScreensDemoStep::KeyUp, "", scancode)); }
    ScreensDemoScript& Wheel(const char* widget, int notches)
    {
        return Add(Make(ScreensDemoStep::Wheel, widget, notches));
    }
    ScreensDemoScript& Type(const char* text) { return Add(Make(ScreensDemoStep::Type, text)); }
    ScreensDemoScript& Frames(int frames) { return Add(Make(ScreensDemoStep::Frames, "", frames)); }
    ScreensDemoScript& Choose(const char* combo, int item) { return Add(Make(ScreensDemoStep::Choose, combo, item)); }
    ScreensDemoScript& Drag(const char* scrollBar, int thousandths)
    {
        return Add(Make(ScreensDemoStep::Drag, scrollBar, thousandths));
    }
    ScreensDemoScript& Call(const char* what, std::function<bool(std::string& line)> act)
    {
        ScreensDemoStep s = Make(ScreensDemoStep::Call, what);
        s.check = std::move(act);
        return Add(s);
    }
    ScreensDemoScript& Seed() { return Add(Make(ScreensDemoStep::Seed, "")); }
    ScreensDemoScript& Png(const char* name) { return Add(Make(ScreensDemoStep::Png, name)); }
    ScreensDemoScript& Expect(const char* what, std::function<bool(std::string& line)> check)
    {
        ScreensDemoStep s = Make(ScreensDemoStep::Expect, what);
        s.check = std::move(check);
        return Add(s);
    }

    ScreensDemoScript& Until(const char* what, std::function<bool(std::string& lines)> check)
    {
        ScreensDemoStep s = Make(ScreensDemoStep::Until, what);
        s.check = std::move(check);
        return Add(s);
    }

    std::vector<ScreensDemoStep> m_Steps;

private:
    static ScreensDemoStep Make(ScreensDemoStep::Kind kind, const std::string& text, int value = 0)
    {
        ScreensDemoStep step;
        step.kind = kind;
        step.text = text;
        step.value = value;
        return step;
    }
    ScreensDemoScript& Add(ScreensDemoStep step)
    {
        m_Steps.push_back(std::move(step));
        return *this;
    }
};

struct ScreensDemoScriptEntry
{
    const char* name;
    void (*build)(ScreensDemoScript& script);
};

// Every script, by name; ends with a row of nulls.
extern const ScreensDemoScriptEntry g_ScreensDemoScripts[];

// The scripts, one source file each.
void BuildStartupScript(ScreensDemoScript& script);
void BuildMenusScript(ScreensDemoScript& script);
void BuildOptionsScript(ScreensDemoScript& script);
void BuildShowOptionsScript(ScreensDemoScript& script);
void BuildRaceEndScript(ScreensDemoScript& script);
void BuildPauseScript(ScreensDemoScript& script);
void BuildInstantScript(ScreensDemoScript& script);
void BuildEncyclopediaScript(ScreensDemoScript& script);
void BuildCreditsScript(ScreensDemoScript& script);

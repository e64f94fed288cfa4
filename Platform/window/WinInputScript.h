#pragma once
// Timed input for driving a program as a user would: each event is pushed into SDL's queue at its frame, so it
// takes the user's path through the pump, the input layer and the window messages. One event per line:
//   <frame> key <DirectInput code> down|up      <frame> move <x> <y>          (client pixels)
//   <frame> button <0-4> down|up                <frame> wheel <notches>
//   <frame> text <word>                         <frame> focus lost|gained
//   <frame> close
// Blank lines and lines that start with '#' are comments.
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/window/WinUser.h"

class WinInputScript
{
public:
    enum Kind : int32_t
    {
        KeyDown,
        KeyUp,
        Move,
        ButtonDown,
        ButtonUp,
        Wheel,
        Text,
        FocusLost,
        FocusGained,
        Close
    };
    struct Event
    {
        int64_t frame = 0;
        Kind kind = Close;
        int32_t a = 0;  // key code, button, x or notches
        int32_t b = 0;  // y
        std::string text;
    };

    // Reads a script file. False with "file:line: reason" in error; nothing is kept then.
    bool Load(const std::string& path, std::string& error);
    // The same on a script's text; name stands for the file in the error.
    bool Parse(const std::string& text, const std::string& name, std::string& error);
    // Pushes every event of the frame (and of earlier frames not yet played) for the window.
    void Play(int64_t frame, HWND window);

    const std::vector<Event>& GetEvents() const { return m_Events; }
    bool IsFinished() const { return m_Next >= m_Events.size(); }

private:
    std::vector<Event> m_Events;  // in frame order, equal frames in file order
    size_t m_Next = 0;
    int32_t m_MouseX = 0;
    int32_t m_MouseY = 0;
    uint32_t m_Buttons = 0;
};

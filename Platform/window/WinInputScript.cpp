#include "Platform/window/WinInputScript.h"

#include "Platform/input/InputKeyMap.h"
#include "Platform/system/SysFolder.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace
{
bool ParseInteger(const std::string& word, int64_t minimum, int64_t maximum, int64_t& value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(word.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != 0 || parsed < minimum || parsed > maximum)
        return false;
    value = parsed;
    return true;
}

// The parse of one line; an empty reason means success.
std::string ParseLine(const std::vector<std::string>& words, WinInputScript::Event& event)
{
    int64_t value = 0;
    if (!ParseInteger(words[0], 0, INT64_MAX / 2, value))
        return "the frame \"" + words[0] + "\" is not a number 0 or more";
    event.frame = value;
    if (words.size() < 2)
        return "an event is missing after the frame";
    const std::string& kind = words[1];
    const size_t count = words.size();
    auto upDown = [&](WinInputScript::Kind down, WinInputScript::Kind up) -> std::string
    {
        if (count != 4 || (words[3] != "down" && words[3] != "up"))
            return kind + " takes a code and down or up";
        event.kind = words[3] == "down" ? down : up;
        return "";
    };
    if (kind == "key")
    {
        if (count != 4 || !ParseInteger(words[2], 1, 255, value))
            return "key takes a DirectInput code 1 to 255 and down or up";
        if (InputScancodeFromKeyCode(static_cast<uint8_t>(value)) == 0)
            return "no key has the code " + words[2];
        event.a = static_cast<int32_t>(value);
        return upDown(WinInputScript::KeyDown, WinInputScript::KeyUp);
    }
    if (kind == "button")
    {
        if (count != 4 || !ParseInteger(words[2], 0, 4, value))
            return "button takes a button 0 to 4 and down or up";
        event.a = static_cast<int32_t>(value);
        return upDown(WinInputScript::ButtonDown, WinInputScript::ButtonUp);
    }
    if (kind == "move")
    {
        int64_t y = 0;
        if (count != 4 || !ParseInteger(words[2], -100000, 100000, value) ||
            !ParseInteger(words[3], -100000, 100000, y))
            return "move takes two client coordinates";
        event.kind = WinInputScript::Move;
        event.a = static_cast<int32_t>(value);
        event.b = static_cast<int32_t>(y);
        return "";
    }
    if (kind == "wheel")
    {
        if (count != 3 || !ParseInteger(words[2], -1000, 1000, value))
            return "wheel takes a number of notches";
        event.kind = WinInputScript::Wheel;
        event.a = static_cast<int32_t>(value);
        return "";
    }
    if (kind == "text")
    {
        // SDL carries at most 31 bytes of text in one event.
        if (count != 3 || words[2].size() > 31)
            return "text takes one word of at most 31 bytes";
        event.kind = WinInputScript::Text;
        event.text = words[2];
        return "";
    }
    if (kind == "focus")
    {
        if (count != 3 || (words[2] != "lost" && words[2] != "gained"))
            return "focus takes lost or gained";
        event.kind = words[2] == "lost" ? WinInputScript::FocusLost : WinInputScript::FocusGained;
        return "";
    }
    if (kind == "close")
    {
        if (count != 2)
            return "close takes nothing more";
        event.kind = WinInputScript::Close;
        return "";
    }
    return "unknown event \"" + kind + "\"";
}

void PushWindowEvent(Uint32 windowId, Uint8 which)
{
    SDL_Event sdl = {};
    sdl.type = SDL_WINDOWEVENT;
    sdl.window.windowID = windowId;
    sdl.window.event = which;
    SDL_PushEvent(&sdl);
}

int SdlButton(int32_t button)
{
    static const int Buttons[5] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1, SDL_BUTTON_X2};
    return Buttons[button];
}
}  // namespace

bool WinInputScript::Load(const std::string& path, std::string& error)
{
    std::string text;
    if (!SysFolder::ReadWholeFile(path.c_str(), &text))
    {
        error = path + ":0: cannot read the input script";
        return false;
    }
    return Parse(text, path, error);
}

bool WinInputScript::Parse(const std::string& text, const std::string& name, std::string& error)
{
    m_Events.clear();
    m_Next = 0;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    std::vector<Event> events;
    while (std::getline(lines, line))
    {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream wordStream(line);
        std::vector<std::string> words;
        for (std::string word; wordStream >> word;)
            words.push_back(word);
        if (words.empty() || words[0][0] == '#')
            continue;
        Event event;
        const std::string reason = ParseLine(words, event);
        if (!reason.empty())
        {
            error = name + ":" + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
        events.push_back(event);
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.frame < b.frame; });
    m_Events = std::move(events);
    return true;
}

void WinInputScript::Play(int64_t frame, HWND window)
{
    const Uint32 windowId = window != nullptr ? SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window)) : 0;
    for (; m_Next < m_Events.size() && m_Events[m_Next].frame <= frame; ++m_Next)
    {
        const Event& event = m_Events[m_Next];
        SDL_Event sdl = {};
        switch (event.kind)
        {
        case KeyDown:
        case KeyUp:
        {
            const SDL_Scancode scancode =
                static_cast<SDL_Scancode>(InputScancodeFromKeyCode(static_cast<uint8_t>(event.a)));
            sdl.type = event.kind == KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
            sdl.key.windowID = windowId;
            sdl.key.state = event.kind == KeyDown ? SDL_PRESSED : SDL_RELEASED;
            sdl.key.keysym.scancode = scancode;
            sdl.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
            SDL_PushEvent(&sdl);
            break;
        }
        case Move:
            sdl.type = SDL_MOUSEMOTION;
            sdl.motion.windowID = windowId;
            sdl.motion.state = m_Buttons;
            sdl.motion.x = event.a;
            sdl.motion.y = event.b;
            sdl.motion.xrel = event.a - m_MouseX;
            sdl.motion.yrel = event.b - m_MouseY;
            m_MouseX = event.a;
            m_MouseY = event.b;
            SDL_PushEvent(&sdl);
            break;
        case ButtonDown:
        case ButtonUp:
        {
            const int button = SdlButton(event.a);
            if (event.kind == ButtonDown)
                m_Buttons |= SDL_BUTTON(button);
            else
                m_Buttons &= ~static_cast<uint32_t>(SDL_BUTTON(button));
            sdl.type = event.kind == ButtonDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            sdl.button.windowID = windowId;
            sdl.button.button = static_cast<Uint8>(button);
            sdl.button.state = event.kind == ButtonDown ? SDL_PRESSED : SDL_RELEASED;
            sdl.button.clicks = 1;
            sdl.button.x = m_MouseX;
            sdl.button.y = m_MouseY;
            SDL_PushEvent(&sdl);
            break;
        }
        case Wheel:
            sdl.type = SDL_MOUSEWHEEL;
            sdl.wheel.windowID = windowId;
            sdl.wheel.y = event.a;
            sdl.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
            SDL_PushEvent(&sdl);
            break;
        case Text:
            sdl.type = SDL_TEXTINPUT;
            sdl.text.windowID = windowId;
            std::copy(event.text.begin(), event.text.end(), sdl.text.text);
            SDL_PushEvent(&sdl);
            break;
        case FocusLost: PushWindowEvent(windowId, SDL_WINDOWEVENT_FOCUS_LOST); break;
        case FocusGained: PushWindowEvent(windowId, SDL_WINDOWEVENT_FOCUS_GAINED); break;
        case Close: PushWindowEvent(windowId, SDL_WINDOWEVENT_CLOSE); break;
        }
    }
}

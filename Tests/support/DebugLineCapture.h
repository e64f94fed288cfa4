#pragma once
// Collects what reaches the debug output (the game's diagnostic lines) while the object lives.
#include <string>

#include "Platform/system/SysDebugOutput.h"

class DebugLineCapture
{
public:
    DebugLineCapture() { SysDebugOutput::SetCapture(&DebugLineCapture::Append, this); }
    ~DebugLineCapture() { SysDebugOutput::SetCapture(nullptr, nullptr); }
    DebugLineCapture(const DebugLineCapture&) = delete;
    DebugLineCapture& operator=(const DebugLineCapture&) = delete;

    const std::string& Text() const { return m_Text; }
    bool Contains(const std::string& part) const { return m_Text.find(part) != std::string::npos; }
    void Clear() { m_Text.clear(); }

private:
    static void Append(const char* text, void* context) { static_cast<DebugLineCapture*>(context)->m_Text += text; }
    std::string m_Text;
};

#pragma once
// The content check every screen's content test makes: each widget of the screen (named with one of its
// prefixes) has its layout line, and no text shown anywhere is still a key.
#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <string>
#include <vector>

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"

struct ScreenContentFaults
{
    std::vector<std::string> missing;       // widgets without a layout line
    std::vector<std::string> untranslated;  // "<widget> \"<text>\""
};

class ScreenContentCheck
{
public:
    // Widgets down to `maxDepth` below the root are the screens' own (they lie in the root or in a window);
    // deeper ones are the parts of composite widgets, placed by their owner.
    ScreenContentCheck(std::initializer_list<const char*> prefixes, int maxDepth = 2)
        : m_Prefixes(prefixes), m_MaxDepth(maxDepth)
    {
    }

    ScreenContentFaults Find(WeUIComponent* root) const
    {
        ScreenContentFaults faults;
        Walk(root, 0, faults);
        return faults;
    }
    // Every fault as a test failure; true when there was none.
    bool Report(WeUIComponent* root) const
    {
        const ScreenContentFaults faults = Find(root);
        for (const std::string& m : faults.missing)
            ADD_FAILURE() << "no layout line: " << m;
        for (const std::string& u : faults.untranslated)
            ADD_FAILURE() << "untranslated: " << u;
        return faults.missing.empty() && faults.untranslated.empty();
    }
    bool Report() const { return Report(g_UIMain.m_Root); }

    // The layout line of a widget, or of its base name for a row widget ("<base> <row>").
    static bool HasLayout(const std::string& name)
    {
        if (!WeUIMain::GetLayoutLine(name.c_str()).IsEmpty())
            return true;
        const size_t blank = name.rfind(' ');
        return blank != std::string::npos && !WeUIMain::GetLayoutLine(name.substr(0, blank).c_str()).IsEmpty();
    }
    // An untranslated key shows as itself: "UI: ..." or "<category>: <key>: NAME" (or ": TEXT").
    static bool IsKey(const std::string& text)
    {
        return text.rfind("UI: ", 0) == 0 || text.find(": NAME") != std::string::npos ||
               text.find(": TEXT") != std::string::npos;
    }

private:
    bool IsOurs(const std::string& name) const
    {
        // Parts of composite widgets ("<name>$...") take their places from their owner.
        if (name.find('$') != std::string::npos)
            return false;
        for (const char* p : m_Prefixes)
            if (name.rfind(p, 0) == 0)
                return true;
        return false;
    }
    static std::string Text(WeUIComponent* c)
    {
        if (auto* label = dynamic_cast<WeUILabel*>(c))
            return label->m_Text->m_Text.c_str();
        if (auto* button = dynamic_cast<WeUIButton*>(c))
            return button->m_Caption->m_Text.c_str();
        if (auto* window = dynamic_cast<WeUIWindow*>(c))
            return window->m_Caption->m_Text.c_str();
        return std::string();
    }
    void Walk(WeUIComponent* c, int depth, ScreenContentFaults& faults) const
    {
        const std::string name = c->m_Name.c_str();
        if (depth <= m_MaxDepth && IsOurs(name) && !HasLayout(name))
            faults.missing.push_back(name);
        const std::string text = Text(c);
        if (IsKey(text))
            faults.untranslated.push_back(name + " \"" + text + "\"");
        for (auto* n = c->m_Children.FirstNode(); n != nullptr; n = c->m_Children.NextNode(n))
            Walk(n->payload, depth + 1, faults);
    }

    std::vector<const char*> m_Prefixes;
    int m_MaxDepth;
};

#include "Game/screens/CClassicCreditsDude.h"

#include "Engine/foundation/WeConfig.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CUberText.h"

namespace
{
const float& SingleDuration = GetConfigFloat("game.Credits.SingleDuration", 25.0f);

CUberText* MakeText(const WeString& text, float duration, WeFont* font)
{
    auto* uber = new CUberText(text, 0.5f, 0.5f, 2, 2);
    uber->SetFormat(1);
    uber->SetInTime(duration / 2.0f);
    uber->SetHoldTime(0.0f);
    uber->SetOutTime(duration / 2.0f);
    uber->SetFont(font);
    return uber;
}
}  // namespace

CClassicCreditsDude::CClassicCreditsDude(const WeString& title, const WeString& body)
{
    m_Duration = SingleDuration;
    m_Title = MakeText(title, m_Duration, g_Game.m_Font24);
    int32_t start = 0;
    for (int32_t i = 0; i <= body.Length(); ++i)
    {
        if (i < body.Length() && body[i] != '\n')
            continue;
        m_LineStrings.PushBack(body.Substring(start, i));
        start = i + 1;
    }
    int32_t row = 0;
    for (auto* n = m_LineStrings.FirstNode(); n != nullptr; n = m_LineStrings.NextNode(n), ++row)
    {
        WeString& line = n->payload;
        if (!line.IsEmpty() && line[0] == '@')
            line = line.Substring(1, line.Length());
        WeString shown;
        for (int32_t k = 0; k < row + 2; ++k)
            shown.AppendChar('\n');
        shown.Append(line);
        m_Lines.PushBack(MakeText(shown, m_Duration, g_Game.m_Font16));
    }
}

CClassicCreditsDude::~CClassicCreditsDude()
{
    delete m_Title;
    for (auto* n = m_Lines.FirstNode(); n != nullptr; n = m_Lines.NextNode(n))
        delete n->payload;
    m_Lines.Clear();
}

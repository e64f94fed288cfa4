#include "Game/screens/CClassicCreditsPhase.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIPicture.h"
#include "Game/screens/CClassicCreditsDude.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CUberText.h"

CClassicCreditsPhase g_ClassicCreditsPhase;

namespace
{
const float& StartSpaceDuration = GetConfigFloat("game.Credits.StartSpaceDuration", 2.0f);
const float& SingleDuration = GetConfigFloat("game.Credits.SingleDuration", 25.0f);
const float& SpaceDuration = GetConfigFloat("game.Credits.SpaceDuration", 5.0f);
const float& EndSpaceDuration = GetConfigFloat("game.Credits.EndSpaceDuration", 2.0f);

const WeString* At(const WeStringList& list, int32_t index)
{
    int32_t at = 0;
    for (auto* n = list.FirstNode(); n != nullptr; n = list.NextNode(n), ++at)
        if (at == index)
            return &n->payload;
    return nullptr;
}

// The menu background is a widget of the UI's main layer, which is drawn over what the phases draw: while
// the credits roll it moves to the back layer, under their texts.
void SetBackgroundLayer(int32_t layer)
{
    WeUIComponent* background[] = {g_MenuPhase.m_MovieWidget, g_MenuPhase.m_PictureWidget};
    for (WeUIComponent* c : background)
        if (c != nullptr)
            c->m_Layer = layer;
}

// The pixel height of a text's font: its line height, else the default font size.
float FontPixelHeight(const CUberText* text)
{
    const WeFont* font = text != nullptr ? text->GetFont() : nullptr;
    if (font != nullptr && font->m_LineHeight > 0)
        return float(font->m_LineHeight);
    return float(g_UIMain.m_DefaultFontSize);
}
}  // namespace

CClassicCreditsPhase::~CClassicCreditsPhase()
{
    DestroyEntries();
}

void CClassicCreditsPhase::Enter()
{
    g_UIShowCursor = 0;
    SetBackgroundLayer(-1);
    m_Finished = 0;
    m_Titles.Clear();
    m_Texts.Clear();
    m_EntryCount = 0;
    for (int32_t n = 1; n <= 99; ++n)
    {
        WeString key("TEXT: Credit");
        key.AppendInt(n, 2);
        if (!g_Localization.HasText(key))
            break;
        const WeString text = g_Localization.GetRemappedText(key);
        int32_t feed = 0;
        while (feed < text.Length() && text[feed] != '\n')
            ++feed;
        m_Titles.PushBack(text.Substring(0, feed));
        m_Texts.PushBack(feed < text.Length() ? text.Substring(feed + 1, text.Length()) : WeString());
    }
    m_Titles.PushBack(WeString());
    m_Texts.PushBack(g_Localization.GetText("TEXT: LegalText"));
    m_EntryCount = m_Titles.Count();
    m_CurrentEntry = -1;
    m_Interval = StartSpaceDuration;
    m_Timer = 0.0f;
    g_Game.PlayMusic(CGameGlobals::CreditsMusic);
}

void CClassicCreditsPhase::Update()
{
    const float frameTime = g_Timer.m_FrameDeltaF;
    if (m_CurrentEntry < m_EntryCount)
    {
        m_Timer += frameTime;
        if (m_Timer >= m_Interval)
        {
            ++m_CurrentEntry;
            m_Timer = 0.0f;
            const WeString* title = At(m_Titles, m_CurrentEntry);
            const WeString* body = At(m_Texts, m_CurrentEntry);
            if (title != nullptr && body != nullptr)
            {
                auto* entry = new CClassicCreditsDude(*title, *body);
                m_Entries.PushBack(entry);
                const float screenHeight = g_ScreenSize.height > 0 ? float(g_ScreenSize.height) : 1.0f;
                m_Interval =
                    float(entry->m_Lines.Count()) * FontPixelHeight(entry->m_Title) * SingleDuration / screenHeight +
                    (m_CurrentEntry + 1 < m_EntryCount ? SpaceDuration : EndSpaceDuration);
            }
            else
                m_Interval = EndSpaceDuration;
        }
    }
    if (m_CurrentEntry >= m_EntryCount && m_Entries.IsEmpty())
    {
        m_Finished = 1;
        // A paused music (the window lost the focus) has not ended yet.
        if (!g_AudioDevice.IsMusicPlaying() && !g_AudioDevice.IsMusicPaused())
            g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
    }
    for (auto* n = m_Entries.FirstNode(); n != nullptr;)
    {
        auto* next = m_Entries.NextNode(n);
        CClassicCreditsDude* entry = n->payload;
        if (entry->m_Finished)
        {
            delete entry;
            m_Entries.Remove(n);
        }
        else
        {
            entry->m_Timer += frameTime;
            entry->m_Title->Update();
            for (auto* l = entry->m_Lines.FirstNode(); l != nullptr; l = entry->m_Lines.NextNode(l))
                l->payload->Update();
            if (entry->m_Timer >= entry->m_Duration)
                entry->m_Finished = 1;
        }
        n = next;
    }
}

void CClassicCreditsPhase::Render()
{
    for (auto* n = m_Entries.FirstNode(); n != nullptr; n = m_Entries.NextNode(n))
    {
        n->payload->m_Title->Draw();
        for (auto* l = n->payload->m_Lines.FirstNode(); l != nullptr; l = n->payload->m_Lines.NextNode(l))
            l->payload->Draw();
    }
}

void CClassicCreditsPhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
}

void CClassicCreditsPhase::Leave()
{
    g_UIShowCursor = 1;
    SetBackgroundLayer(0);
    DestroyEntries();
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
}

void CClassicCreditsPhase::DestroyEntries()
{
    for (auto* n = m_Entries.FirstNode(); n != nullptr; n = m_Entries.NextNode(n))
        delete n->payload;
    m_Entries.Clear();
}

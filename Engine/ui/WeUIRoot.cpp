#include "Engine/ui/WeUIRoot.h"

#include "Engine/ui/WeUIMain.h"

WeUIRoot::WeUIRoot(const WeString& name) : WeUIComponent(nullptr, name)
{
    SetRect(0.0f, 0.0f, 1.0f, 1.0f);
}

void WeUIRoot::Update()
{
    for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
        node->payload->Update();
}

void WeUIRoot::Render()
{
    if (!m_Visible)
        return;
    for (auto* node = m_Children.LastNode(); node != nullptr; node = m_Children.PrevNode(node))
        node->payload->Render();
}

void WeUIRoot::DestroyHiddenChildren()
{
    for (;;)
    {
        WeUIComponent* hidden = nullptr;
        for (auto* node = m_Children.FirstNode(); node != nullptr; node = m_Children.NextNode(node))
        {
            if (!node->payload->m_Visible)
            {
                hidden = node->payload;
                break;
            }
        }
        if (hidden == nullptr)
            return;
        g_UIMain.DestroyComponent(hidden);
    }
}

void WeUIRoot::StartQueuedFadeIns()
{
    while (!m_Children.IsEmpty())
    {
        auto* node = m_Children.FirstNode();
        WeUIComponent* c = node->payload;
        m_Children.Remove(node);
        c->StartFadeIn();
    }
}

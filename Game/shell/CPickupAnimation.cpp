#include "Game/shell/CPickupAnimation.h"

#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CUberText.h"

WeList<CPickupAnimation*> g_PickupAnimations;

CPickupAnimation::CPickupAnimation()
{
    g_PickupAnimations.PushBack(this);
}

CPickupAnimation::~CPickupAnimation()
{
    for (auto* node = g_PickupAnimations.FirstNode(); node != nullptr; node = g_PickupAnimations.NextNode(node))
    {
        if (node->payload == this)
        {
            g_PickupAnimations.Remove(node);
            break;
        }
    }
}

void CPickupAnimation::ShowCaption()
{
    CUberText* text = new CUberText(m_Caption, CUberText::RandomStyle, CUberText::RandomStyle, nullptr);
    text->SetColor(m_CaptionColor[0], m_CaptionColor[1], m_CaptionColor[2], m_CaptionColor[3]);
    g_MainGameInterface.AddMessage(text);
}

void CPickupAnimation::UpdateAll()
{
    // The next node is taken first: a finished animation unlinks itself as it is deleted.
    for (auto* node = g_PickupAnimations.FirstNode(); node != nullptr;)
    {
        auto* next = g_PickupAnimations.NextNode(node);
        CPickupAnimation* animation = node->payload;
        animation->Update();
        if (animation->IsFinished())
            delete animation;
        node = next;
    }
}

void CPickupAnimation::RenderAll()
{
    for (CPickupAnimation* animation : g_PickupAnimations)
        animation->Render();
}

void CPickupAnimation::DeleteAll()
{
    while (!g_PickupAnimations.IsEmpty())
        delete g_PickupAnimations.Front();
}

int32_t CPickupAnimation::CountLive()
{
    return g_PickupAnimations.Count();
}

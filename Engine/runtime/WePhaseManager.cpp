#include "Engine/runtime/WePhaseManager.h"

#include "Engine/runtime/WeAbstractPhase.h"

WePhaseManager g_PhaseManager;

void WePhaseManager::RequestPhase(WeAbstractPhase* phase, int32_t operation)
{
    if (operation == PopRequest)
        phase = nullptr;
    else if ((operation != ChangeRequest && operation != PushRequest) || phase == nullptr)
        return;
    WePhaseRequest& request = m_Requests.PushBack();
    request.operation = operation;
    request.phase = phase;
}

void WePhaseManager::ProcessRequests()
{
    WePhaseRequest request;
    // Taken off the queue before it is applied: the phases' calls may append to it.
    while (m_Requests.PopFront(request))
    {
        switch (request.operation)
        {
        case ChangeRequest: ChangePhase(request.phase); break;
        case PushRequest: PushPhase(request.phase); break;
        case PopRequest: PopPhase(); break;
        default: break;
        }
    }
}

void WePhaseManager::Tick()
{
    for (auto* node = m_Stack.LastNode(); node != nullptr; node = m_Stack.PrevNode(node))
        node->payload->HandleInput();
    for (auto* node = m_Stack.FirstNode(); node != nullptr; node = m_Stack.NextNode(node))
        node->payload->Update();
}

void WePhaseManager::Render()
{
    for (auto* node = m_Stack.FirstNode(); node != nullptr; node = m_Stack.NextNode(node))
        node->payload->Render();
}

void WePhaseManager::Shutdown()
{
    while (auto* node = m_Stack.LastNode())
    {
        node->payload->Leave();
        m_Stack.Remove(node);
    }
    m_Requests.Reset();
}

void WePhaseManager::ChangePhase(WeAbstractPhase* phase)
{
    if (phase == nullptr)
        return;
    if (auto* top = m_Stack.LastNode())
    {
        WeAbstractPhase* old = top->payload;
        old->Leave();
        m_Stack.Remove(top);
    }
    m_Stack.PushBack(phase);
    phase->Enter();
}

void WePhaseManager::PushPhase(WeAbstractPhase* phase)
{
    if (phase == nullptr)
        return;
    if (auto* top = m_Stack.LastNode())
        top->payload->OnCovered(phase);
    m_Stack.PushBack(phase);
    phase->Enter();
}

void WePhaseManager::PopPhase()
{
    auto* top = m_Stack.LastNode();
    if (top == nullptr)
        return;
    WeAbstractPhase* removed = top->payload;
    removed->Leave();
    m_Stack.Remove(top);
    if (auto* below = m_Stack.LastNode())
        below->payload->OnUncovered(removed);
}

WeAbstractPhase* WePhaseManager::GetPhaseAt(int32_t index) const
{
    if (index < 0)
        return nullptr;
    for (auto* node = m_Stack.FirstNode(); node != nullptr; node = m_Stack.NextNode(node), --index)
    {
        if (index == 0)
            return node->payload;
    }
    return nullptr;
}

WeAbstractPhase* WePhaseManager::GetTopPhase() const
{
    auto* top = m_Stack.LastNode();
    return top != nullptr ? top->payload : nullptr;
}

// What callers may ask of the display's message queue.
#include "Game/shell/CMainGameInterface.h"

bool CMainGameInterface::HoldsMessage(const CUberText* message) const
{
    if (message == nullptr)
        return false;
    for (auto* n = m_Messages.FirstNode(); n != nullptr; n = m_Messages.NextNode(n))
        if (n->payload == message)
            return true;
    return false;
}

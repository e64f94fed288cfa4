#include "Engine/world/MemoryWriteBuffer.h"

#include <cstring>

#include "Platform/physics/NxUserAllocator.h"

MemoryWriteBuffer::~MemoryWriteBuffer()
{
    if (m_Data)
        NxGetPhysicsSDKAllocator()->free(m_Data);
}

NxStream& MemoryWriteBuffer::storeBuffer(const void* buffer, NxU32 size)
{
    if (size == 0)
        return *this;
    if (m_MaxSize < m_CurrentSize + size)
    {
        m_MaxSize = m_CurrentSize + size + GrowthSlack;
        NxU8* block = static_cast<NxU8*>(NxGetPhysicsSDKAllocator()->malloc(m_MaxSize, NX_MEMORY_PERSISTENT));
        if (m_Data)
        {
            std::memcpy(block, m_Data, m_CurrentSize);
            NxGetPhysicsSDKAllocator()->free(m_Data);
        }
        m_Data = block;
    }
    std::memcpy(m_Data + m_CurrentSize, buffer, size);
    m_CurrentSize += size;
    return *this;
}

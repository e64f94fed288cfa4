#include "Engine/foundation/WeArchiveReader.h"

#include "Engine/foundation/WeFileStream.h"

WeArchiveReader::WeArchiveReader(WeFileStream& stream, int64_t fileSize) : m_Stream(stream), m_FileSize(fileSize) {}

int64_t WeArchiveReader::BytesLeft() const
{
    const int64_t left = m_FileSize - m_Stream.Tell();
    return left > 0 ? left : 0;
}

bool WeArchiveReader::ReadInt32(int32_t& value)
{
    if (BytesLeft() < 4)
        return false;
    value = m_Stream.ReadInt32();
    return true;
}

bool WeArchiveReader::ReadInt64(int64_t& value)
{
    if (BytesLeft() < 8)
        return false;
    value = m_Stream.ReadInt64();
    return true;
}

bool WeArchiveReader::ReadCount(int64_t recordSize, int32_t& count, bool& complete)
{
    count = 0;
    complete = false;
    int32_t stored;
    if (!ReadInt32(stored))
        return false;
    const int64_t fits = BytesLeft() / recordSize;
    count = stored > 0 ? stored : 0;
    complete = count <= fits;
    if (!complete)
        count = static_cast<int32_t>(fits);
    return true;
}

bool WeArchiveReader::ReadName(WeString& name)
{
    if (BytesLeft() < 2)
        return false;
    const int32_t length = m_Stream.ReadUInt16();
    // The text and its terminator must be there before the string is grown to hold it.
    if (length > 0 && BytesLeft() < length + 1)
        return false;
    if (length == 0)
    {
        name.Clear();
        return true;
    }
    name.SetLength(length);
    m_Stream.Read(name.Data(), length);
    char terminator;
    m_Stream.Read(&terminator, 1);
    return true;
}

bool WeArchiveReader::MemberFits(int64_t offset, int32_t size) const
{
    return offset >= 0 && size >= 0 && offset <= m_FileSize && size <= m_FileSize - offset;
}

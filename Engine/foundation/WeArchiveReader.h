#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeFileStream;

// Reads the package file's index and trusts none of it: every string and every count is checked
// against the bytes left in the file before anything is read or allocated, and every member must lie
// inside the file. A failed check ends the index there; what was read before it stays.
class WeArchiveReader
{
public:
    // Smallest stored size of one record of each kind (a string is at least its 2-byte length).
    static constexpr int64_t PackageRecordSize = 2 + 4;
    static constexpr int64_t FolderRecordSize = 2 + 4;
    static constexpr int64_t FileRecordSize = 2 + 4 + 8 + 4;

    WeArchiveReader(WeFileStream& stream, int64_t fileSize);

    int64_t BytesLeft() const;
    // A record count; a count of 0 or less is 0. A count larger than the rest of the file could hold
    // is cut to what fits and complete turns false: the caller reads those records and stops. False
    // when the count itself is cut off.
    bool ReadCount(int64_t recordSize, int32_t& count, bool& complete);
    // A stored string; false when it runs past the end of the file.
    bool ReadName(WeString& name);
    bool ReadInt32(int32_t& value);
    bool ReadInt64(int64_t& value);
    // True when [offset, offset + size) lies inside the file.
    bool MemberFits(int64_t offset, int32_t size) const;

private:
    WeFileStream& m_Stream;
    int64_t m_FileSize;
};

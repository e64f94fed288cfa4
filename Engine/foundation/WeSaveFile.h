#pragma once
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeString.h"

// A save written whole or not at all: the bytes go to "<path>.tmp" (a stale one is replaced), and Commit
// closes it, syncs it to the disk and renames it over the path. On any failure the old file stays as it was,
// the temporary is removed and the caller gets false; a save never committed is removed the same way.
class WeSaveFile
{
public:
    // The step a test makes fail once, to see that the old file survives it.
    enum Failure : int32_t
    {
        NoFailure = 0,
        FailOpen,
        FailWrite,
        FailSync,
        FailRename
    };

    explicit WeSaveFile(const WeString& path);
    ~WeSaveFile();
    WeSaveFile(const WeSaveFile&) = delete;
    WeSaveFile& operator=(const WeSaveFile&) = delete;

    // Creates the temporary; false when it cannot be created.
    bool Open();
    // The temporary's stream, for the writer.
    WeFileStream& GetStream() { return m_Stream; }
    // written: whether every write of the caller succeeded. False, and the temporary removed, when it did
    // not, or when closing, syncing or renaming failed.
    bool Commit(bool written = true);
    // Removes the temporary without touching the path.
    void Abandon();

    const WeString& GetPath() const { return m_Path; }
    const WeString& GetTemporaryPath() const { return m_TemporaryPath; }

    // The next save fails at that step (tests only).
    static void InjectFailure(Failure failure);

private:
    WeString m_Path;
    WeString m_TemporaryPath;
    WeFileStream m_Stream;
    bool m_Open = false;
};

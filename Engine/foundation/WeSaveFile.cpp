#include "Engine/foundation/WeSaveFile.h"

#include "Platform/system/SysFolder.h"

namespace
{
WeSaveFile::Failure g_InjectedFailure = WeSaveFile::NoFailure;

// True once when the failure asked for is this step.
bool Fails(WeSaveFile::Failure step)
{
    if (g_InjectedFailure != step)
        return false;
    g_InjectedFailure = WeSaveFile::NoFailure;
    return true;
}
}  // namespace

void WeSaveFile::InjectFailure(Failure failure)
{
    g_InjectedFailure = failure;
}

WeSaveFile::WeSaveFile(const WeString& path) : m_Path(path), m_TemporaryPath(path + ".tmp") {}

WeSaveFile::~WeSaveFile()
{
    Abandon();
}

bool WeSaveFile::Open()
{
    Abandon();
    if (m_Path.IsEmpty() || Fails(FailOpen))
        return false;
    SysFolder::DeleteFile(m_TemporaryPath.c_str());
    m_Open = m_Stream.Create(m_TemporaryPath);
    return m_Open;
}

bool WeSaveFile::Commit(bool written)
{
    if (!m_Open)
        return false;
    const int64_t size = m_Stream.GetSize();
    m_Stream.Close();
    m_Open = false;
    // Closing flushes the last buffered bytes; a disk that filled up meanwhile shows in the size on disk.
    bool ok = written && !Fails(FailWrite);
    if (ok)
    {
        WeFileStream check;
        ok = check.Open(m_TemporaryPath) && check.GetSize() == size;
    }
    ok = ok && !Fails(FailSync) && SysFolder::SyncFile(m_TemporaryPath.c_str());
    ok = ok && !Fails(FailRename) && SysFolder::Rename(m_TemporaryPath.c_str(), m_Path.c_str());
    if (!ok)
        SysFolder::DeleteFile(m_TemporaryPath.c_str());
    return ok;
}

void WeSaveFile::Abandon()
{
    if (!m_Open)
        return;
    m_Stream.Close();
    m_Open = false;
    SysFolder::DeleteFile(m_TemporaryPath.c_str());
}
